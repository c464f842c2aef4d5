#pragma once

#include "areas/CRectTracker.h"
#include "areas/TextAreas.h"
#include "data/PendingSettings.h"
#include "data/ScreenLayout.h"
#include "platform/EventFolder.h"

#include <array>

// The eight text areas of the draw screen and their editing: the area the
// last right-click chose, what was chosen for it, the frame the operator
// drags, and what "AwardInfo.ini" is still owed. Views translate the mouse
// into these calls and paint what they hold; nothing here draws.
class AreaEditor
{
public:
    enum class Mode
    {
        None = -1,
        EditPosition = 0,
        SetFont = 1,
        HideText = 2,
        EffectFont = 3
    };

    // The areas of the event folder's "AwardInfo.ini".
    explicit AreaEditor(EventFolder folder);

    // The areas as "AwardInfo.ini" holds them.
    void load();
    // After a participant edit the areas are made anew from the file, once it
    // holds every change; when it cannot take them, the areas in memory stay.
    void reload();
    // The layout scaled from the screen it was made for to this one, and
    // written back with whatever else is owed.
    HotZones scaleToScreen(int width, int height);
    // The screen changed size after the start (a projector, a mode switch):
    // the areas and zones are scaled in memory from the layout of the start,
    // so a screen that flaps never wears the layout down; the file keeps that
    // layout, and an area edited here is written back in its coordinates.
    HotZones followScreen(int width, int height);

    const AreaSet& areas() const { return m_areas; }
    const CLottoryArea& area(int index) const { return *m_areas[static_cast<size_t>(index)]; }
    CLottoryArea& area(int index) { return *m_areas[static_cast<size_t>(index)]; }
    PendingSettings& settings() { return m_settings; }
    // Writes all the file is owed; false when it could not be written.
    bool writeSettings();

    int selected() const { return m_selected; }
    bool hasSelection() const { return m_selected >= 0 && m_selected < AreaCount; }
    Mode mode() const { return m_mode; }
    bool editingPosition() const { return m_mode == Mode::EditPosition && hasSelection(); }
    const CRectTracker& tracker() const { return m_tracker; }
    bool dragging() const { return m_tracker.isTracking(); }
    // The lowest area under the point, or -1.
    int areaAt(int x, int y) const;
    // The tracker's handle under the point while a position is edited.
    int hitTest(int x, int y) const;

    // A right-click: the area under the point is selected, or none. The frame
    // belongs to the area it was started for.
    void select(int x, int y);
    void clearSelection();
    void setMode(Mode mode);
    // The frame around the selected area. The area takes the frame's outline
    // (one pixel on every side) and is saved.
    void editPosition();
    // The font dialog's choice for the selected area, saved at once.
    void setFont(const QString& faceName, int size, COLORREF color);

    // While a position is edited: a press inside the area starts a drag,
    // elsewhere it ends the editing. The area follows the drag; its end
    // saves it, Escape puts it back.
    void press(int x, int y);
    void drag(int x, int y);
    void release();
    void cancelDrag();
    // The show ends: a drag still held stays where the operator left it.
    void finish();

private:
    // The area under edit takes the frame's rectangle; it is written once
    // no drag holds it and it moved since the last write was tried.
    void followFrame(bool save);
    // The areas as the file holds them, in the start's screen coordinates.
    void keepFileRects();
    void applyScale();
    // Runs `step` with the areas at their file coordinates.
    template <typename Step> auto atFileRects(Step step);

    EventFolder m_folder;
    AreaSet m_areas;
    PendingSettings m_settings;
    CRectTracker m_tracker;
    int m_selected = -1;
    Mode m_mode = Mode::None;
    std::array<Rect, AreaCount> m_fileRects{};
    std::array<int, AreaCount> m_fileFonts{};
    HotZones m_fileZones;
    int m_fileWidth = 0;
    int m_fileHeight = 0;
    float m_fx = 1.0f;
    float m_fy = 1.0f;
};
