#include "controls/CLineNumberStatic.h"

#include "controls/CLineNumberEdit.h"

#include <QMouseEvent>

CLineNumberStatic::CLineNumberStatic(CLineNumberEdit* edit) : QWidget(edit), m_edit(edit)
{
    setObjectName(QStringLiteral("gutter"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CLineNumberStatic::paintEvent(QPaintEvent* event)
{
    m_edit->paintGutter(event);
}

void CLineNumberStatic::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_edit->OnSelectLine(m_edit->gutterLineAt(event->position().toPoint().y()));
    QWidget::mousePressEvent(event);
}
