#include "app/StretchedPicture.h"

#include <QImageReader>
#include <QPainter>
#include <cmath>

bool StretchedPicture::load(const QString& path)
{
    m_scaled = QImage();
    m_original = QImage();
    if (path.isEmpty())
        return false;
    QImageReader reader(path);
    // A camera picture can hold more pixels than the decoder may allocate;
    // nothing is drawn larger than the screen, so a JPEG, which decodes
    // straight to a smaller size, is read smaller instead of not at all.
    // Other formats that large would stall the show while they decode.
    const QSize size = reader.size();
    const double limit = QImageReader::allocationLimit() * 1024.0 * 1024.0 / 4 / 2;
    const double pixels = double(size.width()) * size.height();
    if (size.isValid() && limit > 0 && pixels > limit) {
        if (reader.format() != "jpeg" || pixels > MaxJpegPixels)
            return false;
        reader.setScaledSize((QSizeF(size) * std::sqrt(limit / pixels)).toSize().expandedTo(QSize(1, 1)));
    }
    if (!reader.read(&m_original)) {
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
    const QPaintDevice* device = painter.device();
    if (!scaled(box, QSize(device->width(), device->height()))) {
        if (!m_original.isNull() && !box.isEmpty())
            painter.drawImage(box.toQRect(), m_original);
        return;
    }
    painter.drawImage(QPoint(box.left, box.top), m_scaled);
}

void StretchedPicture::scaleFor(const Rect& target, const QSize& device)
{
    scaled(target.normalized(), device);
}

bool StretchedPicture::scaled(const Rect& box, const QSize& device)
{
    const QSize size(box.width(), box.height());
    // A target larger than the screen (a mistyped layout) is scaled while
    // drawing, for its visible part only, never into a picture of its size.
    if (m_original.isNull() || box.isEmpty() || size.width() > device.width() ||
        size.height() > device.height())
        return false;
    if (m_scaled.size() != size)
        m_scaled = m_original.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return true;
}

Rect StretchedPicture::fitted(const QSize& picture, const Rect& area)
{
    const Rect box = area.normalized();
    if (picture.isEmpty() || box.isEmpty())
        return box;
    const QSize size = picture.scaled(box.width(), box.height(), Qt::KeepAspectRatio);
    const int left = box.left + (box.width() - size.width()) / 2;
    const int top = box.top + (box.height() - size.height()) / 2;
    return Rect(left, top, left + size.width(), top + size.height());
}
