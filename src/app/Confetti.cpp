#include "app/Confetti.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QRegion>
#include <algorithm>
#include <cmath>

void Confetti::start(qint64 now, const Rect& screen)
{
    static const QColor colours[] = {QColor(255, 215, 0),   QColor(255, 80, 80),   QColor(80, 200, 255),
                                     QColor(120, 230, 120), QColor(255, 140, 220), QColor(255, 255, 255)};
    // How it falls decides nothing: any generator will do.
    QRandomGenerator* random = QRandomGenerator::global();
    const double w = std::max(1, screen.width());
    const double h = std::max(1, screen.height());
    m_screen = screen;
    m_started = now;
    m_pieces.clear();
    m_pieces.reserve(Pieces);
    for (int i = 0; i < Pieces; ++i) {
        Piece piece;
        piece.x = screen.left + random->bounded(w);
        // Staggered above the top edge, so the burst lasts until it fades.
        piece.y = screen.top - random->bounded(h);
        piece.vx = (random->generateDouble() - 0.5) * w / 8;
        piece.vy = h / 10 + random->bounded(h / 7);
        piece.spin = (random->generateDouble() - 0.5) * 720;
        piece.width = h / 90 + random->bounded(h / 120);
        piece.height = piece.width / 2;
        piece.color = colours[random->bounded(int(std::size(colours)))];
        m_pieces.push_back(piece);
    }
}

void Confetti::paint(QPainter& painter, qint64 now, const Rect& keepClear) const
{
    if (!active(now))
        return;
    const double t = (now - m_started) / 1000.0;
    // The last half second fades out.
    const double fade = std::clamp((DurationMs / 1000.0 - t) / 0.5, 0.0, 1.0);
    painter.save();
    painter.setClipRegion(QRegion(m_screen.toQRect()).subtracted(QRegion(keepClear.normalized().toQRect())),
                          Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double gravity = m_screen.height() / 10.0;
    for (const Piece& piece : m_pieces) {
        const double x = piece.x + piece.vx * t + std::sin(t * 3 + piece.spin) * piece.width;
        const double y = piece.y + piece.vy * t + gravity * t * t / 2;
        if (y > m_screen.bottom + piece.width)
            continue;
        QColor colour = piece.color;
        colour.setAlphaF(fade);
        painter.save();
        painter.translate(x, y);
        painter.rotate(piece.spin * t);
        painter.fillRect(QRectF(-piece.width / 2, -piece.height / 2, piece.width, piece.height), colour);
        painter.restore();
    }
    painter.restore();
}
