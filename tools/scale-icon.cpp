// Writes the program's icon at one size for the icon theme:
// scale-icon IN.png OUT.png SIZE. Used by the package build.
#include <QImage>
#include <QString>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: scale-icon IN.png OUT.png SIZE\n");
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    const int size = QString::fromLocal8Bit(argv[3]).toInt();
    if (icon.isNull() || size <= 0)
        return 1;
    const QImage scaled = icon.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return scaled.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
