#include "app/CRafoApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CRafoApp rafo(app);
    return rafo.InitInstance();
}
