#include "live/QrCode.h"

#include <QFontMetrics>
#include <QPainter>
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

void QrCode::paintCard(QPainter& painter, const QImage& code, const QString& caption, const QRect& screen)
{
    if (code.isNull())
        return;
    const int side = code.width() * scaleFor(code, screen.height() * 3 / 5);
    QFont font = painter.font();
    font.setPixelSize(std::max(12, screen.height() / 28));
    const QFontMetrics metrics(font);
    const int margin = metrics.height() / 2;
    const int width = std::max(side, metrics.horizontalAdvance(caption)) + 2 * margin;
    QRect card(0, 0, width, side + metrics.height() + 3 * margin);
    card.moveCenter(screen.center());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.fillRect(card, Qt::white);
    painter.drawImage(QRect(card.center().x() - side / 2, card.top() + margin, side, side), code);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(card.left(), card.top() + side + 2 * margin, card.width(), metrics.height()),
                     Qt::AlignCenter, caption);
    painter.restore();
}
