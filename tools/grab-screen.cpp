// Saves a picture of the whole X screen: grab-screen OUT.png [WIDTH]
// Used by the demo and screenshot scripts on a virtual X server.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: grab-screen OUT.png [WIDTH]\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1;
    QImage image = screen->grabWindow(0).toImage();
    if (argc > 2)
        image = image.scaledToWidth(QString(argv[2]).toInt(), Qt::SmoothTransformation);
    return image.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
