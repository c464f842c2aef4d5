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
// winners, building or drawing the whole line on every frame would stall the show.
class CaptionLayout
{
public:
    void update(const DrawEngine& engine, const QString& ownText, const QFont& font);

    const QString& text() const { return m_text; }
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

    // Brings the parts up to the finished prizes; true when one changed.
    bool keepParts(const DrawEngine& engine, long long& places);
    void layOut(const QString& shown, bool fontChanged);

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
    int m_width = 0;
    // Where the last prize's part begins in the text as drawn.
    qsizetype m_lastPart = 0;
};
