#pragma once

#include "platform/Rect.h"

#include <optional>

// A text that runs through an area one step per paint: the caption from
// right to left, the result summary from the bottom up like closing credits.
// Its rectangle is set when it enters and then moved, its far end where the
// extent given with each step puts it (a line measured as it runs grows);
// once it has left the area it enters again.
class TextScroll
{
public:
    enum class Axis
    {
        Leftwards,
        Upwards
    };
    static constexpr int Step = 24;

    explicit TextScroll(Axis axis) : m_axis(axis) {}

    // Moves the text one step and returns where to draw it; the extent is its
    // width or its height along the axis.
    Rect advance(const Rect& area, int extent);
    // Places the text so that the point `offset` into it enters the area
    // with the next step; the pass after it starts from the beginning.
    void enterAt(const Rect& area, int extent, int offset);

private:
    Rect entering(const Rect& area, int extent) const;

    Axis m_axis;
    std::optional<Rect> m_rect;
};
