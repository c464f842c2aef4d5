#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

// A QR code of a text at error correction M, one pixel a module with a
// quiet zone of four: scaled up by whole numbers, without smoothing, a
// phone's camera reads it from the back of the hall.
class QrCode
{
public:
    static constexpr int QuietZone = 4;

    // Null when the text does not fit a QR code.
    static QImage image(const QString& text);
    // The largest whole scale at which the code fits `side` pixels, at least 1.
    static int scaleFor(const QImage& code, int side);
    // The code on a white card in the middle of the screen, three fifths of
    // its height, with the address under it.
    static void paintCard(QPainter& painter, const QImage& code, const QString& caption, const QRect& screen);
};
