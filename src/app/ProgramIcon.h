#pragma once

#include <QIcon>

// The program's icon, from the resources of the widgets' library: a static
// library's resources reach a program only once something initialises them.
class ProgramIcon
{
public:
    static QIcon icon();
};
