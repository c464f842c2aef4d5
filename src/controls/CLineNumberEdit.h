#pragma once

#include <QPlainTextEdit>
#include <QSize>

class CLineNumberStatic;

// A plain-text edit with a gutter of line numbers along its left edge. The
// numbers count display lines, so a wrapped line takes several.
class CLineNumberEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit CLineNumberEdit(QWidget* parent = nullptr);

    // A printf-style format of one integer, such as "%i" or "%05i".
    void SetNumberFormat(const QString& format);
    // Takes effect from the next layout or range update.
    void SetNumberRange(int first, int count);
    void SetGutterBackground(const QColor& color);
    void RefreshGutterColors(bool enabled);
    void LayoutGutter();
    int MeasureGutterWidth();
    void UpdateShownRange();
    // Selects the display line at that position counted from the first visible one.
    void OnSelectLine(int lineOnScreen);
    // The text, a line per line feed. A document of a million blocks takes
    // seconds to build, so lines are held in blocks of up to LinesPerBlock,
    // parted by line separators; the plain text reads back the same.
    void SetLines(QString text);
    static constexpr int LinesPerBlock = 100;

    QString formatNumber(int number) const;
    int gutterLineAt(int y) const;
    void paintGutter(QPaintEvent* event);
    CLineNumberStatic* gutter() const { return m_gutter; }
    // The numbers the gutter shows now: first and one past the last.
    int firstShown() const;
    int endShown() const;

    bool m_useSysColorsEnabled = false;
    QColor m_textColorEnabled{0, 0, 0};
    QColor m_backColorEnabled{255, 255, 248};
    bool m_useSysColorsDisabled = true;
    QColor m_textColorDisabled;
    QColor m_backColorDisabled;
    QSize m_digitSize;
    int m_maxLines = 0;
    QString m_format = QStringLiteral("%i");
    int m_firstNumber = 0;
    // Without a line limit the gutter is as wide as this many lines need.
    int m_textLimit = 30000;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int lineHeight() const;
    int firstLineTop() const;
    // Blocks not laid out count one line each; a block of many lines then
    // counts them all, so the numbers and the scroll bar cover every line.
    void CountLinesOfUnlaidBlocks();

    CLineNumberStatic* m_gutter;
    int m_gutterWidth = 0;
};
