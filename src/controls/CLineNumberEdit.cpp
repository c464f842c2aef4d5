#include "controls/CLineNumberEdit.h"

#include "controls/CLineNumberStatic.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

CLineNumberEdit::CLineNumberEdit(QWidget* parent)
    : QPlainTextEdit(parent), m_gutter(new CLineNumberStatic(this))
{
    const QPalette& colors = palette();
    m_textColorDisabled = colors.color(QPalette::Disabled, QPalette::Text);
    m_backColorDisabled = colors.color(QPalette::Active, QPalette::Button);
    m_gutter->m_textColor = m_textColorEnabled;
    m_gutter->m_backColor = m_backColorEnabled;
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect&, int) { UpdateShownRange(); });
    connect(this, &QPlainTextEdit::textChanged, this, &CLineNumberEdit::UpdateShownRange);
    SetNumberFormat(m_format);
}

void CLineNumberEdit::SetNumberFormat(const QString& format)
{
    m_format = format;
    m_gutter->m_format = format;
    m_gutter->update();
    LayoutGutter();
}

void CLineNumberEdit::SetNumberRange(int first, int count)
{
    m_firstNumber = first;
    m_maxLines = count;
}

void CLineNumberEdit::SetGutterBackground(const QColor& color)
{
    m_gutter->m_backColor = color;
    m_gutter->update();
    m_useSysColorsEnabled = false;
    m_backColorEnabled = color;
}

void CLineNumberEdit::RefreshGutterColors(bool enabled)
{
    const QPalette& colors = palette();
    if (m_useSysColorsEnabled) {
        m_textColorEnabled = colors.color(QPalette::Active, QPalette::Text);
        m_backColorEnabled = colors.color(QPalette::Active, QPalette::Base);
    }
    if (m_useSysColorsDisabled) {
        m_textColorDisabled = colors.color(QPalette::Disabled, QPalette::Text);
        m_backColorDisabled = colors.color(QPalette::Active, QPalette::Button);
    }
    m_gutter->m_textColor = enabled ? m_textColorEnabled : m_textColorDisabled;
    m_gutter->m_backColor = enabled ? m_backColorEnabled : m_backColorDisabled;
    m_gutter->update();
}

// Only one integer conversion is honoured ("%i", "%5d", "%05i", with text
// around it); any other format shows the plain number.
QString CLineNumberEdit::formatNumber(int number) const
{
    static const QRegularExpression conversion(QStringLiteral("^([^%]*)%(0?)([1-9][0-9]?)?[id]([^%]*)$"));
    const QRegularExpressionMatch match = conversion.match(m_format);
    if (!match.hasMatch())
        return QString::number(number);
    const int width = match.captured(3).toInt();
    const QChar fill = match.captured(2).isEmpty() ? QLatin1Char(' ') : QLatin1Char('0');
    QString digits = QString::number(number < 0 ? -static_cast<long long>(number) : number);
    if (number < 0)
        digits = (fill == QLatin1Char('0') ? QStringLiteral("-") + digits.rightJustified(width - 1, fill)
                                           : (QStringLiteral("-") + digits).rightJustified(width, fill));
    else
        digits = digits.rightJustified(width, fill);
    return match.captured(1) + digits + match.captured(4);
}

int CLineNumberEdit::MeasureGutterWidth()
{
    const QFontMetrics metrics(font());
    m_digitSize = QSize(metrics.horizontalAdvance(QLatin1Char('0')), metrics.height());
    const long long widest =
        m_maxLines > 0 ? static_cast<long long>(m_maxLines) + m_firstNumber : m_textLimit;
    const int n = static_cast<int>(std::clamp<long long>(widest, INT_MIN, INT_MAX));
    return metrics.horizontalAdvance(formatNumber(n)) + 5;
}

void CLineNumberEdit::LayoutGutter()
{
    m_gutterWidth = MeasureGutterWidth();
    setViewportMargins(m_gutterWidth + 1, 0, 0, 0);
    const QRect c = contentsRect();
    m_gutter->setGeometry(c.left(), c.top(), m_gutterWidth, c.height());
    UpdateShownRange();
}

int CLineNumberEdit::lineHeight() const
{
    const QTextBlock block = document()->firstBlock();
    const QTextLayout* layout = block.layout();
    if (layout && layout->lineCount() > 0)
        return std::max(1, static_cast<int>(layout->lineAt(0).height()));
    return std::max(1, QFontMetrics(font()).height());
}

int CLineNumberEdit::firstShown() const
{
    return m_gutter->m_firstShown;
}

int CLineNumberEdit::endShown() const
{
    return m_gutter->m_endShown;
}

// Where the first visible display line starts: at the end of the text the
// edit may show the top line cut off.
int CLineNumberEdit::firstLineTop() const
{
    const QTextBlock block = firstVisibleBlock();
    if (!block.isValid())
        return static_cast<int>(document()->documentMargin());
    const int linesAbove = verticalScrollBar()->value() - block.firstLineNumber();
    return static_cast<int>(blockBoundingGeometry(block).translated(contentOffset()).top()) +
           std::max(linesAbove, 0) * lineHeight();
}

void CLineNumberEdit::UpdateShownRange()
{
    const long long lines = std::max(1, document()->lineCount());
    const long long top = static_cast<long long>(verticalScrollBar()->value()) + m_firstNumber;
    const int topMargin = firstLineTop();
    const int visible = (viewport()->height() - topMargin) / lineHeight();
    long long end = std::min(lines + m_firstNumber, top + std::max(visible, 0));
    if (m_maxLines > 0)
        end = std::min(end, static_cast<long long>(m_maxLines) + m_firstNumber);
    const int first = static_cast<int>(std::clamp<long long>(top, INT_MIN, INT_MAX));
    const int last = static_cast<int>(std::clamp<long long>(end, INT_MIN, INT_MAX));
    if (first == m_gutter->m_firstShown && last == m_gutter->m_endShown && topMargin == m_gutter->m_topMargin)
        return;
    m_gutter->m_topMargin = topMargin;
    m_gutter->m_firstShown = first;
    m_gutter->m_endShown = last;
    m_gutter->update();
}

int CLineNumberEdit::gutterLineAt(int y) const
{
    return std::max(0, (y - m_gutter->m_topMargin) / lineHeight());
}

void CLineNumberEdit::OnSelectLine(int lineOnScreen)
{
    const int n = lineOnScreen + verticalScrollBar()->value();
    const QTextBlock block = document()->findBlockByLineNumber(n);
    QTextCursor cursor = textCursor();
    const QTextLayout* layout = block.isValid() ? block.layout() : nullptr;
    const int index = block.isValid() ? n - block.firstLineNumber() : -1;
    if (!layout || index < 0 || index >= layout->lineCount()) {
        // Below the last line there is nothing to select.
        cursor.clearSelection();
        setTextCursor(cursor);
        return;
    }
    const QTextLine line = layout->lineAt(index);
    int length = line.textLength();
    // The name, not the break after it.
    if (length > 0 && block.text().at(line.textStart() + length - 1) == QChar::LineSeparator)
        --length;
    cursor.setPosition(block.position() + line.textStart());
    cursor.setPosition(block.position() + line.textStart() + length, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CLineNumberEdit::SetLines(QString text)
{
    int breaks = 0;
    const qsizetype last = text.lastIndexOf(QLatin1Char('\n'));
    for (qsizetype i = 0; i < last; ++i) {
        if (text[i] == QLatin1Char('\n') && ++breaks % LinesPerBlock != 0)
            text[i] = QChar::LineSeparator;
    }
    setPlainText(text);
    CountLinesOfUnlaidBlocks();
}

void CLineNumberEdit::CountLinesOfUnlaidBlocks()
{
    bool changed = false;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        if (!block.isVisible() || (block.layout() && block.layout()->lineCount() > 0))
            continue;
        const int lines = static_cast<int>(block.text().count(QChar::LineSeparator)) + 1;
        if (block.lineCount() != lines) {
            block.setLineCount(lines);
            changed = true;
        }
    }
    if (changed) {
        // The edit sets its scroll bar's range when the layout reports a new size.
        QAbstractTextDocumentLayout* layout = document()->documentLayout();
        emit layout->documentSizeChanged(layout->documentSize());
    }
}

void CLineNumberEdit::paintGutter(QPaintEvent*)
{
    QPainter painter(m_gutter);
    const QRect r = m_gutter->rect();
    painter.fillRect(r, m_gutter->m_backColor);
    painter.setPen(m_gutter->m_textColor);
    painter.drawLine(r.right(), 0, r.right(), r.bottom());
    if (m_gutter->m_endShown == 0)
        return;
    painter.setFont(font());
    const int h = lineHeight();
    for (int i = m_gutter->m_firstShown; i < m_gutter->m_endShown; ++i) {
        const int y = (i - m_gutter->m_firstShown) * h + m_gutter->m_topMargin;
        painter.drawText(QRect(2, y, r.width() - 3, h), Qt::AlignLeft | Qt::AlignVCenter, formatNumber(i));
    }
}

void CLineNumberEdit::resizeEvent(QResizeEvent* event)
{
    // A new width lays the document out anew and forgets the line counts.
    QPlainTextEdit::resizeEvent(event);
    CountLinesOfUnlaidBlocks();
    LayoutGutter();
}

void CLineNumberEdit::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        CountLinesOfUnlaidBlocks();
        LayoutGutter();
        break;
    case QEvent::EnabledChange:
    case QEvent::PaletteChange:
        RefreshGutterColors(isEnabled());
        break;
    default:
        break;
    }
}
