#include "controls/CInPlaceCombo.h"

#include "controls/CComboListCtrl.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>

void CInPlaceCombo::open(CComboListCtrl* list, const QRect& rect, int visibleItems)
{
    m_list = list;
    auto* combo = new QComboBox(list->viewport());
    m_window = combo;
    combo->setObjectName(QStringLiteral("inPlaceCombo"));
    combo->setFont(list->font());
    combo->setGeometry(rect);
    combo->setMaxVisibleItems(std::max(visibleItems, 1));
    combo->addItems(m_items);
    combo->setCurrentIndex(-1);
    combo->installEventFilter(this);
    // Closing the list, with a pick or without, ends the edit.
    m_popup = combo->view()->window();
    m_popup->installEventFilter(this);
    combo->show();
    combo->setFocus(Qt::OtherFocusReason);
}

void CInPlaceCombo::endEdit()
{
    QComboBox* combo = m_window;
    if (!combo)
        return;
    m_window = nullptr;
    const QString text = m_cancelled ? m_initialText : combo->currentText();
    combo->removeEventFilter(this);
    if (m_popup)
        m_popup->removeEventFilter(this);
    combo->hide();
    combo->deleteLater();
    if (m_list)
        m_list->OnEndLabelEdit(m_row, m_column, text);
}

bool CInPlaceCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_popup && m_popup && event->type() == QEvent::Hide) {
        if (m_list)
            m_list->setFocus(Qt::OtherFocusReason);
        endEdit();
        return false;
    }
    if (watched != m_window)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_cancelled = key == Qt::Key_Escape;
            if (m_list)
                m_list->setFocus(Qt::OtherFocusReason);
            endEdit();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut &&
               static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        endEdit();
    }
    return false;
}
