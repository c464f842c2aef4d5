#pragma once

#include "platform/Rect.h"

#include <optional>

// The line of winners that runs from right to left through the caption area.
// Its rectangle is set once and then only moved, for the whole run.
class CaptionScroll
{
public:
    static constexpr int Step = 24;

    // Moves the caption one step and returns where to draw it. Once it has
    // left the area it starts again at the area's right edge with the width
    // measured now.
    Rect advance(const Rect& area, int textWidth);

private:
    std::optional<Rect> m_rect;
};
