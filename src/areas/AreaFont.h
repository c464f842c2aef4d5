#pragma once

#include "platform/Rect.h"

#include <QFont>
#include <QString>

class QPainter;

// Fonts as the event files describe them: a face name and a Windows font
// height, where a positive height is the character cell (ascent plus
// descent), a negative one the character height and 0 the default size.
namespace AreaFont {

// The matching pixel size is searched once per face and height.
QFont font(const QString& faceName, int height);

// One line of text in the rectangle (centred unless told otherwise) and
// clipped to it, with ampersands underlining the next character; the
// background stays as it is.
void drawText(QPainter* painter, const Rect& rect, const QString& faceName, int height, COLORREF color,
              const QString& text, Qt::Alignment alignment = Qt::AlignCenter);

QColor toQColor(COLORREF color);

// The text as a mnemonic-drawing call shows it, without the underline: "&&"
// is one ampersand, a single ampersand disappears.
QString withoutMnemonics(const QString& text);

} // namespace AreaFont
