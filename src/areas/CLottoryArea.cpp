#include "areas/CLottoryArea.h"

#include "areas/AreaFont.h"

#include <QPainter>

CLottoryArea::~CLottoryArea() = default;

void CLottoryArea::Draw(QPainter* painter)
{
    if (m_titleName.isEmpty())
        return;
    AreaFont::drawText(painter, m_rect, m_fontName, m_fontSize, m_fontColor, m_titleName);
}
