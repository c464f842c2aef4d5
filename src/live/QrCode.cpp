#include "live/QrCode.h"

#include <qrencode.h>

QImage QrCode::image(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    QRcode* code = QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M);
    if (!code)
        return QImage();
    const int side = code->width + 2 * QuietZone;
    QImage image(side, side, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (code->data[y * code->width + x] & 1)
                image.setPixel(x + QuietZone, y + QuietZone, 1);
        }
    }
    QRcode_free(code);
    return image;
}

int QrCode::scaleFor(const QImage& code, int side)
{
    return code.isNull() ? 1 : std::max(1, side / std::max(1, code.width()));
}
