#pragma once

#include "areas/tstring.h"

#include <QFont>
#include <QStaticText>
#include <QString>
#include <cstdint>
#include <vector>

class DrawEngine;
class QPainter;

// The caption's text laid out in pieces, so a frame draws only the few that
// stand in the area. It is laid out again only when the finished prizes, their
// winners, the area's own text or the font change: with tens of thousands of
// winners, building or drawing the whole line on every frame would stall the
// show. A new part is measured a few pieces a frame, ahead of what is shown;
// until it all is, its width is reckoned from what has been measured.
class CaptionLayout
{
public:
    // `shownOfCurrent`: how many of the current prize's winners show; -1 all.
    void update(const DrawEngine& engine, const QString& ownText, const QFont& font, int shownOfCurrent = -1);

    const QString& text() const { return m_text; }
    // Exact once every piece is measured.
    int width() const { return m_width; }
    // How far into the line the last finished prize's part begins.
    int lastPrizeOffset() const;
    // Draws the line with its left end at `left`; only what falls between
    // `clipLeft` and `clipRight` is drawn.
    void draw(QPainter& painter, int left, int top, int clipLeft, int clipRight);

private:
    // A finished prize as the caption last showed it, with its part of the
    // text: a stop or a replacement builds only the part that changed.
    struct Part
    {
        tstring awardName;
        int winnerCount = 0;
        std::vector<tstring> winners;
        QString text;
        QString shown;
    };
    struct Piece
    {
        QString text;
        qreal left = 0;
        qreal width = 0;
        QStaticText layout;
        bool prepared = false;
    };
    // Pieces a frame measures beyond those it shows.
    static constexpr std::size_t PiecesAFrame = 16;

    // Brings the parts up to the finished prizes; true when one changed.
    bool keepParts(const DrawEngine& engine, long long& places, int shownOfCurrent);
    void layOut(const QString& shown, bool fontChanged);
    // Measures the pieces in order until one reaches past `x`, then `more` after it.
    void measureTo(qreal x, std::size_t more = 0);
    qreal measuredRight() const;

    bool m_laidOut = false;
    // Of the draw the line was last brought up to.
    std::uint64_t m_revision = 0;
    std::vector<Part> m_parts;
    QString m_ownText;
    QFont m_font;
    QString m_text;
    // The text as drawn, without its mnemonics.
    QString m_shown;
    std::vector<Piece> m_pieces;
    // The first pieces, whose place and width are known.
    std::size_t m_measured = 0;
    qsizetype m_measuredLength = 0;
    int m_width = 0;
    // Where the last prize's part begins in the text as drawn.
    qsizetype m_lastPart = 0;
};
