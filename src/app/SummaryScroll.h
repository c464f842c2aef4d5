#pragma once

#include "platform/Rect.h"

#include <optional>

// The result summary that rises through the result screen like closing
// credits. It outlives the result screen, so a second opening continues.
class SummaryScroll
{
public:
    static constexpr int Step = 24;

    // Moves the summary one step up and returns where to draw it; once its
    // last line has left the top it enters again from below.
    Rect advance(const Rect& screen, int textHeight);

private:
    std::optional<Rect> m_rect;
};
