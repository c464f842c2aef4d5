#include "controls/CInPlaceEdit.h"

#include "controls/CComboListCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

void CInPlaceEdit::open(CComboListCtrl* list, const QRect& rect)
{
    m_list = list;
    auto* edit = new QLineEdit(list->viewport());
    m_window = edit;
    edit->setObjectName(QStringLiteral("inPlaceEdit"));
    edit->setFrame(false);
    edit->setFont(list->font());
    // Pasting goes through the paste rules only, not through the edit's own menu.
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setGeometry(rect);
    edit->installEventFilter(this);
    edit->show();
    edit->setText(m_initialText);
    edit->selectAll();
    edit->setFocus(Qt::OtherFocusReason);
}

void CInPlaceEdit::endEdit()
{
    QLineEdit* edit = m_window;
    if (!edit)
        return;
    // Forgotten first: whatever the report sets off, this edit ends once.
    m_window = nullptr;
    const QString text = m_cancelled ? m_initialText : edit->text();
    edit->removeEventFilter(this);
    edit->hide();
    edit->deleteLater();
    if (m_list)
        m_list->OnEndLabelEdit(m_row, m_column, text);
}

bool CInPlaceEdit::acceptsTyped(const QString& text) const
{
    for (const QChar c : text) {
        if (m_column == CountColumn) {
            // A 0 may follow a digit (10, 20, 100) but cannot start the count.
            const int at = m_window && m_window->hasSelectedText()
                               ? m_window->selectionStart()
                               : (m_window ? m_window->cursorPosition() : 0);
            if (!(c >= QLatin1Char('1') && c <= QLatin1Char('9')) && !(c == QLatin1Char('0') && at > 0))
                return false;
        } else if (!m_validChars.isEmpty() && !m_validChars.contains(c)) {
            return false;
        }
    }
    return true;
}

bool CInPlaceEdit::acceptsPasted(const QString& text) const
{
    if (m_validChars.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!m_validChars.contains(c))
            return false;
    }
    return true;
}

void CInPlaceEdit::paste(const QString& text)
{
    if (m_window && acceptsPasted(text))
        m_window->insert(text);
}

bool CInPlaceEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_cancelled = key->key() == Qt::Key_Escape;
            if (m_list)
                m_list->setFocus(Qt::OtherFocusReason);
            endEdit();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            paste(QApplication::clipboard()->text());
            return true;
        }
        const QString text = key->text();
        if (text.isEmpty() || text.at(0).isNull() || text.at(0).unicode() < 0x20 ||
            key->modifiers() & Qt::ControlModifier)
            return false;
        if (acceptsTyped(text))
            return false;
        if (m_column != CountColumn)
            QApplication::beep();
        return true;
    }
    case QEvent::MouseButtonRelease:
        // The X selection would be pasted past the rules.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
            paste(QApplication::clipboard()->text(QClipboard::Selection));
            return true;
        }
        return false;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            endEdit();
        return false;
    default:
        return false;
    }
}
