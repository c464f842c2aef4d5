#pragma once

#include "platform/Rect.h"

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <vector>

class QPainter;

// The result summary laid out for one font and width: lines broken at word
// boundaries and at the text's own line breaks, centred, an ampersand
// underlining the character after it. Tens of thousands of lines take far
// longer than a frame to lay out, so the text is laid out in pieces of a few
// dozen lines, each only once the scroll first brings it into view, and a
// paint draws just the lines that can be seen.
class SummaryLayout
{
public:
    // Takes the text; it is laid out again only when the text, the font or the width differ.
    void prepare(const QString& text, const QFont& font, int width);
    // Draws the lines inside the box, which starts at the first line's top.
    void draw(QPainter& painter, const Rect& box);

private:
    struct Piece
    {
        QString text;
        std::unique_ptr<QTextLayout> layout;
        qreal top = 0;
        qreal height = 0;
    };
    // Lays out the pieces in order until one reaches `bottom`.
    void layOutTo(qreal bottom);

    QString m_text;
    QFont m_font;
    int m_width = -1;
    std::vector<Piece> m_pieces;
    std::size_t m_laidOut = 0;
};
