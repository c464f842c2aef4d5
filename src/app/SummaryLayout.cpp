#include "app/SummaryLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>
#include <algorithm>

namespace {

// As a mnemonic-drawing call shows it: "&&" is one ampersand, "&x" an
// underlined x, a last lone "&" nothing.
QString withUnderlines(const QString& text, QList<QTextLayout::FormatRange>& underlines)
{
    QString shown;
    shown.reserve(text.size());
    QTextCharFormat underline;
    underline.setFontUnderline(true);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (++i == text.size())
                break;
            if (text[i] != QLatin1Char('&'))
                underlines.append({static_cast<int>(shown.size()), 1, underline});
        }
        shown += text[i] == QLatin1Char('\n') ? QChar(QChar::LineSeparator) : text[i];
    }
    return shown;
}

} // namespace

void SummaryLayout::prepare(const QString& text, const QFont& font, int width)
{
    if (m_layout && width == m_width && font == m_font && text == m_text)
        return;
    m_text = text;
    m_font = font;
    m_width = width;

    QList<QTextLayout::FormatRange> underlines;
    m_layout = std::make_unique<QTextLayout>(withUnderlines(text, underlines), font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    m_layout->setTextOption(option);
    // Without its cache the layout itemizes the whole text again on every draw.
    m_layout->setCacheEnabled(true);
    m_layout->setFormats(underlines);
    // The lines stand where a word-wrapping text drawing puts them.
    const qreal leading = std::max(0, QFontMetrics(font).leading());
    qreal height = 0;
    m_layout->beginLayout();
    for (QTextLine line = m_layout->createLine(); line.isValid(); line = m_layout->createLine()) {
        line.setLineWidth(std::max(width, 0));
        height += leading;
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    m_layout->endLayout();
}

void SummaryLayout::draw(QPainter& painter, const Rect& box) const
{
    if (!m_layout || box.isEmpty())
        return;
    const QRect target = box.toQRect();
    const QRectF visible = QRectF(target).intersected(QRectF(painter.window()));
    if (visible.isEmpty())
        return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    m_layout->draw(&painter, target.topLeft(), {}, visible);
    painter.restore();
}
