#pragma once

#include "areas/tstring.h"

#include <QFont>
#include <QStaticText>
#include <QString>
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
    // Draws the line with its left end at `left`; only what falls between
    // `clipLeft` and `clipRight` is drawn.
    void draw(QPainter& painter, int left, int top, int clipLeft, int clipRight);

private:
    struct Source
    {
        tstring awardName;
        int winnerCount = 0;
        std::vector<tstring> winners;
    };
    struct Piece
    {
        QString text;
        qreal left = 0;
        qreal width = 0;
        QStaticText layout;
        bool prepared = false;
    };

    bool sameSource(const DrawEngine& engine, const QString& ownText) const;
    void keepSource(const DrawEngine& engine, const QString& ownText);
    void layOut(const QString& shown, bool fontChanged);

    bool m_laidOut = false;
    std::vector<Source> m_source;
    QString m_ownText;
    QFont m_font;
    QString m_text;
    // The text as drawn, without its mnemonics.
    QString m_shown;
    std::vector<Piece> m_pieces;
    int m_width = 0;
};
