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

// Lines a piece holds, ended by the text's own line breaks.
constexpr int PieceLines = 64;

void SummaryLayout::prepare(const QString& text, const QFont& font, int width)
{
    if (width == m_width && font == m_font && text == m_text)
        return;
    m_text = text;
    m_font = font;
    m_width = width;
    m_pieces.clear();
    m_laidOut = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        for (int line = 0; line < PieceLines && end < text.size(); ++line) {
            const qsizetype next = text.indexOf(QLatin1Char('\n'), end);
            end = next < 0 ? text.size() : next + 1;
        }
        m_pieces.push_back(Piece{text.mid(start, end - start), nullptr, 0, 0});
        start = end;
    }
}

void SummaryLayout::layOutTo(qreal bottom)
{
    // The lines stand where a word-wrapping text drawing puts them.
    const qreal leading = std::max(0, QFontMetrics(m_font).leading());
    for (; m_laidOut < m_pieces.size(); ++m_laidOut) {
        Piece& piece = m_pieces[m_laidOut];
        piece.top = m_laidOut == 0 ? 0 : m_pieces[m_laidOut - 1].top + m_pieces[m_laidOut - 1].height;
        if (piece.top > bottom)
            return;
        // A piece's own last line break would start an empty line.
        QString text = piece.text;
        if (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        QList<QTextLayout::FormatRange> underlines;
        piece.layout = std::make_unique<QTextLayout>(withUnderlines(text, underlines), m_font);
        QTextOption option(Qt::AlignHCenter);
        option.setWrapMode(QTextOption::WordWrap);
        piece.layout->setTextOption(option);
        // Without its cache the layout itemizes the whole text again on every draw.
        piece.layout->setCacheEnabled(true);
        piece.layout->setFormats(underlines);
        qreal height = 0;
        piece.layout->beginLayout();
        for (QTextLine line = piece.layout->createLine(); line.isValid(); line = piece.layout->createLine()) {
            line.setLineWidth(std::max(m_width, 0));
            height += leading;
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        piece.layout->endLayout();
        piece.height = height;
    }
}

void SummaryLayout::draw(QPainter& painter, const Rect& box)
{
    if (m_pieces.empty() || box.isEmpty())
        return;
    const QRect target = box.toQRect();
    const QRectF visible = QRectF(target).intersected(QRectF(painter.window()));
    if (visible.isEmpty())
        return;
    layOutTo(visible.bottom() - target.top());
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    for (std::size_t i = 0; i < m_laidOut; ++i) {
        const Piece& piece = m_pieces[i];
        const QPointF at(target.left(), target.top() + piece.top);
        if (at.y() + piece.height < visible.top() || at.y() > visible.bottom())
            continue;
        piece.layout->draw(&painter, at, {}, visible);
    }
    painter.restore();
}
