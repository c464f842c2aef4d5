#pragma once

#include <QComboBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class CComboListCtrl;
class QRect;

// The drop-down list laid over one cell of an editable list; like the
// single-line editor, one object serves every edit and ends it on focus loss.
class CInPlaceCombo : public QObject
{
    Q_OBJECT
public:
    void open(CComboListCtrl* list, const QRect& rect, int visibleItems);
    void endEdit();
    QComboBox* window() const { return m_window; }

    int m_row = -1;
    int m_column = -1;
    bool m_cancelled = false;
    QString m_initialText;
    QStringList m_items;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QComboBox> m_window;
    QPointer<CComboListCtrl> m_list;
    QPointer<QWidget> m_popup;
};
