#pragma once

#include "areas/TextAreas.h"
#include "data/PendingSettings.h"
#include "platform/Rect.h"

class EventFolder;

// The three pictured hot zones of the screen.
struct HotZones
{
    Rect start;
    Rect stop;
    Rect exit;
};

// Scales the text areas (their fonts too) and the hot zones from the screen size the
// configuration was made for to the real one, and writes the result back in
// one step with whatever else the settings owe, so the file then describes
// this screen; a write that fails stays owed. A stored size that is missing,
// 0 or negative leaves everything as loaded.
HotZones ScaleScreenLayout(const EventFolder& folder, AreaSet& areas, int width, int height,
                           PendingSettings& settings);

// Truncates toward zero, as the conversion of the original does, and keeps
// the result a valid integer.
int ScaleCoordinate(int value, float factor);
// A font height scaled with its area, by the smaller of the two factors so
// its text still fits; 0 (the system's default) stays, and a font never
// shrinks below a pixel.
int ScaleFontSize(int size, float factor);
