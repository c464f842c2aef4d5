// Saves a picture of the X screen: grab-screen OUT.png [WIDTH | X,Y,W,H]
// (scaled to a width, or a region of it at full size).
// Used by the demo and screenshot scripts on a virtual X server.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: grab-screen OUT.png [WIDTH | X,Y,W,H]\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1;
    QImage image = screen->grabWindow(0).toImage();
    const QStringList region = argc > 2 ? QString(argv[2]).split(',') : QStringList();
    if (region.size() == 4)
        image = image.copy(region[0].toInt(), region[1].toInt(), region[2].toInt(), region[3].toInt());
    else if (region.size() == 1)
        image = image.scaledToWidth(region[0].toInt(), Qt::SmoothTransformation);
    return image.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
