#pragma once

#include <QIcon>

// The program's icon, from the resources of the widgets' library: a static
// library's resources reach a program only once something initialises them.
class ProgramIcon
{
public:
    // The window system takes an icon's sizes in one request, which holds
    // 256 KiB without its extension: a 256-pixel picture alone is too big
    // there, and the window would have no icon at all.
    static constexpr int Sizes[] = {16, 24, 32, 48, 64, 128};

    static QIcon icon();
};
