#pragma once

#include "platform/Rect.h"

#include <QColor>
#include <vector>

class QPainter;

// A short burst of confetti over the draw screen when a prize's winners
// land: pieces fall from above the screen's top edge, spin and fade, for at
// most three seconds. It is drawn over the finished frame, outside the
// names' area, so no name is ever hidden.
class Confetti
{
public:
    static constexpr int DurationMs = 3000;
    static constexpr int Pieces = 160;

    // A burst from now (milliseconds on any steady clock), over a screen of that size.
    void start(qint64 now, const Rect& screen);
    void stop() { m_pieces.clear(); }
    bool active(qint64 now) const { return !m_pieces.empty() && now - m_started < DurationMs; }
    // The burst as it stands at `now`, outside `keepClear`.
    void paint(QPainter& painter, qint64 now, const Rect& keepClear) const;

private:
    struct Piece
    {
        double x = 0;
        double y = 0;
        double vx = 0;
        double vy = 0;
        double spin = 0;
        double width = 0;
        double height = 0;
        QColor color;
    };
    std::vector<Piece> m_pieces;
    qint64 m_started = 0;
    Rect m_screen;
};
