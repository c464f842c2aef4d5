#include "app/ProgramIcon.h"

#include <QImage>
#include <QPixmap>

// Outside any namespace, as the macro requires.
static void initialiseResources()
{
    Q_INIT_RESOURCE(rafo);
}

QIcon ProgramIcon::icon()
{
    initialiseResources();
    const QImage image(QStringLiteral(":/rafo.png"));
    QIcon icon;
    for (const int size : Sizes)
        icon.addPixmap(
            QPixmap::fromImage(image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    return icon;
}
