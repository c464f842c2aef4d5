#pragma once

#include "platform/Rect.h"

#include <QString>

class QPainter;

// One positioned text region of the draw screen with its font, colour and
// own text. The kinds derived from it are frames whose content the draw
// screen paints with the area's font and colour.
class CLottoryArea
{
public:
    virtual ~CLottoryArea();

    // Draws the area's own text centred on one line, clipped to the area; an
    // ampersand underlines the character after it.
    virtual void Draw(QPainter* painter);

    Rect m_rect;
    COLORREF m_fontColor = rgbColor(0, 0, 0);
    int m_fontSize = 0;
    QString m_fontName;
    QString m_titleName;
};
