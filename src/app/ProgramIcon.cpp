#include "app/ProgramIcon.h"

// Outside any namespace, as the macro requires.
static void initialiseResources()
{
    Q_INIT_RESOURCE(rafo);
}

QIcon ProgramIcon::icon()
{
    initialiseResources();
    return QIcon(QStringLiteral(":/rafo.png"));
}
