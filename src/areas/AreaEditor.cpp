#include "areas/AreaEditor.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

AreaEditor::AreaEditor(EventFolder folder) : m_folder(std::move(folder))
{
    for (auto& area : m_areas)
        area = std::make_unique<CLottoryArea>();
}

void AreaEditor::load()
{
    CreateAreas(m_folder, m_areas);
    m_settings.areasSaved(m_areas);
    keepFileRects();
    applyScale();
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
    m_fileZones = ScaleScreenLayout(m_folder, m_areas, width, height, m_settings);
    m_fileWidth = width;
    m_fileHeight = height;
    m_fx = m_fy = 1.0f;
    keepFileRects();
    return m_fileZones;
}

namespace {

Rect scaled(const Rect& r, float fx, float fy)
{
    return Rect(ScaleCoordinate(r.left, fx), ScaleCoordinate(r.top, fy), ScaleCoordinate(r.right, fx),
                ScaleCoordinate(r.bottom, fy));
}

int unscaled(int value, float factor)
{
    const double back = std::round(static_cast<double>(value) / static_cast<double>(factor));
    return static_cast<int>(std::clamp(back, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

} // namespace

HotZones AreaEditor::followScreen(int width, int height)
{
    if (width > 0 && height > 0 && m_fileWidth > 0 && m_fileHeight > 0) {
        m_fx = static_cast<float>(static_cast<double>(width) / m_fileWidth);
        m_fy = static_cast<float>(static_cast<double>(height) / m_fileHeight);
        // A frame drawn for the old size would put the area back there.
        if (editingPosition())
            clearSelection();
        applyScale();
    }
    return HotZones{scaled(m_fileZones.start, m_fx, m_fy), scaled(m_fileZones.stop, m_fx, m_fy),
                    scaled(m_fileZones.exit, m_fx, m_fy)};
}

void AreaEditor::keepFileRects()
{
    for (int i = 0; i < AreaCount; ++i) {
        m_fileRects[static_cast<size_t>(i)] = area(i).m_rect;
        m_fileFonts[static_cast<size_t>(i)] = area(i).m_fontSize;
    }
}

// At factors of 1 every coordinate comes back exactly; fonts follow by the
// smaller factor, in memory only.
void AreaEditor::applyScale()
{
    for (int i = 0; i < AreaCount; ++i) {
        area(i).m_rect = scaled(m_fileRects[static_cast<size_t>(i)], m_fx, m_fy);
        area(i).m_fontSize = ScaleFontSize(m_fileFonts[static_cast<size_t>(i)], std::min(m_fx, m_fy));
    }
}

template <typename Step> auto AreaEditor::atFileRects(Step step)
{
    std::array<Rect, AreaCount> shown;
    std::array<int, AreaCount> shownFonts;
    for (int i = 0; i < AreaCount; ++i) {
        shown[static_cast<size_t>(i)] = area(i).m_rect;
        shownFonts[static_cast<size_t>(i)] = area(i).m_fontSize;
        area(i).m_rect = m_fileRects[static_cast<size_t>(i)];
        area(i).m_fontSize = m_fileFonts[static_cast<size_t>(i)];
    }
    const auto result = step();
    for (int i = 0; i < AreaCount; ++i) {
        area(i).m_rect = shown[static_cast<size_t>(i)];
        area(i).m_fontSize = shownFonts[static_cast<size_t>(i)];
    }
    return result;
}

bool AreaEditor::writeSettings()
{
    return atFileRects([this] { return m_settings.write(m_folder, m_areas); });
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
    // Chosen on the screen the show follows now; the file keeps it in its own scale.
    const float factor = std::min(m_fx, m_fy);
    m_fileFonts[static_cast<size_t>(m_selected)] =
        factor == 1.0f || size <= 0 ? size : std::max(1, unscaled(size, factor));
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
    const Rect& r = edited.m_rect;
    m_fileRects[static_cast<size_t>(m_selected)] = Rect(unscaled(r.left, m_fx), unscaled(r.top, m_fy),
                                                        unscaled(r.right, m_fx), unscaled(r.bottom, m_fy));
    if (save && !dragging() &&
        atFileRects([this] { return m_settings.changedSinceLastTry(m_selected, area(m_selected)); }))
        writeSettings();
}
