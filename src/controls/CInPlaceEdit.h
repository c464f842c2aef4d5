#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

class CComboListCtrl;
class QRect;

// The single-line editor laid over one cell of an editable list. One object
// serves every edit; its window is made for each edit and goes when the
// edit ends, which it does whenever it loses the focus.
class CInPlaceEdit : public QObject
{
    Q_OBJECT
public:
    // The column of winner counts takes digits only.
    static constexpr int CountColumn = 2;

    void open(CComboListCtrl* list, const QRect& rect);
    // Reports the text to the list and closes the window; nothing without one.
    void endEdit();
    QLineEdit* window() const { return m_window; }

    // Applies the character and paste rules; false when the text is refused.
    bool acceptsTyped(const QString& text) const;
    bool acceptsPasted(const QString& text) const;
    void paste(const QString& text);

    int m_row = -1;
    int m_column = -1;
    bool m_cancelled = false;
    QString m_validChars;
    QString m_initialText;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QLineEdit> m_window;
    QPointer<CComboListCtrl> m_list;
};
