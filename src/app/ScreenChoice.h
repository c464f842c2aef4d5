#pragma once

#include <QString>
#include <QStringList>

// Which of the screens the system reports the show covers: the one the
// event names (by name, else by its number from 1 in the system's order),
// else the one that is not the primary when there are two, else the primary.
class ScreenChoice
{
public:
    // `names` in the system's order; -1 only when there is no screen at all.
    static int pick(const QString& wanted, const QStringList& names, int primary);
};
