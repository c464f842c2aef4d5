#include "areas/TrackerOverlay.h"

#include "areas/AreaEditor.h"

#include <QPainter>

TrackerOverlay::TrackerOverlay(const AreaEditor& editor, QWidget* parent) : QWidget(parent), m_editor(editor)
{
    setObjectName(QStringLiteral("trackerOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TrackerOverlay::paintEvent(QPaintEvent*)
{
    if (!m_editor.editingPosition())
        return;
    QPainter painter(this);
    m_editor.tracker().Draw(&painter);
}
