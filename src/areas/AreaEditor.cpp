#include "areas/AreaEditor.h"

AreaEditor::AreaEditor()
{
    for (auto& area : m_areas)
        area = std::make_unique<CLottoryArea>();
}

void AreaEditor::load()
{
    CreateAreas(m_areas);
    m_settings.areasSaved(m_areas);
}

void AreaEditor::reload()
{
    setMode(Mode::None);
    m_selected = -1;
    if (writeSettings())
        load();
}

HotZones AreaEditor::scaleToScreen(int width, int height)
{
    return ScaleScreenLayout(m_areas, width, height, m_settings);
}

int AreaEditor::areaAt(int x, int y) const
{
    for (int i = 0; i < AreaCount; ++i) {
        if (area(i).m_rect.normalized().contains(x, y))
            return i;
    }
    return -1;
}

int AreaEditor::hitTest(int x, int y) const
{
    return editingPosition() ? m_tracker.HitTest(x, y) : CRectTracker::hitNothing;
}

void AreaEditor::select(int x, int y)
{
    const bool wasDragging = dragging();
    m_tracker.cancelTrack();
    if (wasDragging && editingPosition())
        followFrame(true);
    const int hit = areaAt(x, y);
    if (editingPosition() && hit != m_selected)
        setMode(Mode::None);
    m_selected = hit;
}

void AreaEditor::clearSelection()
{
    setMode(Mode::None);
    m_selected = -1;
}

void AreaEditor::setMode(Mode mode)
{
    m_mode = mode;
    if (!editingPosition())
        m_tracker.cancelTrack();
}

void AreaEditor::editPosition()
{
    if (!hasSelection())
        return;
    setMode(Mode::EditPosition);
    m_tracker.m_rect = area(m_selected).m_rect;
    followFrame(true);
}

void AreaEditor::setFont(const QString& faceName, int size, COLORREF color)
{
    if (!hasSelection())
        return;
    CLottoryArea& chosen = area(m_selected);
    chosen.m_fontSize = size;
    chosen.m_fontColor = color;
    chosen.m_fontName = faceName;
    m_settings.layoutChanged(m_selected);
    writeSettings();
}

void AreaEditor::press(int x, int y)
{
    if (!editingPosition())
        return;
    if (area(m_selected).m_rect.normalized().contains(x, y))
        m_tracker.beginTrack(x, y);
    else
        clearSelection();
}

void AreaEditor::drag(int x, int y)
{
    if (!editingPosition() || !dragging())
        return;
    m_tracker.trackTo(x, y);
    followFrame(false);
}

void AreaEditor::release()
{
    if (!dragging())
        return;
    m_tracker.endTrack();
    if (editingPosition())
        followFrame(true);
}

void AreaEditor::cancelDrag()
{
    if (!dragging())
        return;
    m_tracker.cancelTrack();
    if (editingPosition())
        followFrame(true);
}

void AreaEditor::finish()
{
    if (editingPosition() && dragging()) {
        m_tracker.endTrack();
        followFrame(false);
    }
    writeSettings();
}

void AreaEditor::followFrame(bool save)
{
    CLottoryArea& edited = area(m_selected);
    edited.m_rect = m_tracker.GetTrueRect();
    if (save && !dragging() && m_settings.changedSinceLastTry(m_selected, edited))
        writeSettings();
}
