#pragma once

#include "platform/Rect.h"

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <memory>

class QPainter;

// The result summary laid out for one font and width: lines broken at word
// boundaries and at the text's own line breaks, centred, an ampersand
// underlining the character after it. Laying out tens of thousands of lines
// takes far longer than a frame, so it happens only when something changed,
// and a paint draws just the lines that can be seen.
class SummaryLayout
{
public:
    // Lays the text out again only when the text, the font or the width differ.
    void prepare(const QString& text, const QFont& font, int width);
    // Draws the lines inside the box, which starts at the first line's top.
    void draw(QPainter& painter, const Rect& box) const;

private:
    QString m_text;
    QFont m_font;
    int m_width = -1;
    std::unique_ptr<QTextLayout> m_layout;
};
