#include "app/StretchedPicture.h"

#include <QPainter>

bool StretchedPicture::load(const QString& path)
{
    m_scaled = QImage();
    if (path.isEmpty() || !m_original.load(path)) {
        m_original = QImage();
        return false;
    }
    m_original = m_original.convertToFormat(m_original.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                         : QImage::Format_RGB32);
    return true;
}

void StretchedPicture::draw(QPainter& painter, const Rect& target)
{
    const Rect box = target.normalized();
    if (m_original.isNull() || box.isEmpty())
        return;
    const QSize size(box.width(), box.height());
    const QPaintDevice* device = painter.device();
    // A target larger than the screen (a mistyped layout) is scaled while
    // drawing, for its visible part only, never into a picture of its size.
    if (size.width() > device->width() || size.height() > device->height()) {
        painter.drawImage(box.toQRect(), m_original);
        return;
    }
    if (m_scaled.size() != size)
        m_scaled = m_original.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(QPoint(box.left, box.top), m_scaled);
}
