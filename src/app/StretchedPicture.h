#pragma once

#include "platform/Rect.h"

#include <QImage>
#include <QSize>
#include <QString>

class QPainter;

// A picture decoded once and drawn stretched onto a rectangle, without
// keeping its aspect ratio. The scaled copy is kept until the size changes,
// so a paint only copies pixels.
class StretchedPicture
{
public:
    // The largest JPEG read at all: 100 megapixels, a second or so to decode.
    static constexpr double MaxJpegPixels = 100e6;

    // False, and nothing to draw, when the file is missing or not a picture.
    bool load(const QString& path);
    bool isNull() const { return m_original.isNull(); }
    QSize size() const { return m_original.size(); }
    // The largest box of the picture's proportions inside the area, centred in it.
    static Rect fitted(const QSize& picture, const Rect& area);
    void draw(QPainter& painter, const Rect& target);
    // Scales it now for a draw onto that target on a device of that size, so the draw only copies.
    void scaleFor(const Rect& target, const QSize& device);

private:
    // Whether the scaled copy for that box is ready; false when the box is
    // empty or larger than the device, or there is no picture.
    bool scaled(const Rect& box, const QSize& device);

    QImage m_original;
    QImage m_scaled;
};
