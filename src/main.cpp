#include "app/CRafoApp.h"
#include "platform/ProcessMemory.h"

#include <QApplication>

int main(int argc, char** argv)
{
    ProcessMemory::keepLean();
    QApplication app(argc, argv);
    CRafoApp rafo(app);
    return rafo.InitInstance();
}
