#include "app/ScreenChoice.h"

int ScreenChoice::pick(const QString& wanted, const QStringList& names, int primary)
{
    if (names.isEmpty())
        return -1;
    if (primary < 0 || primary >= names.size())
        primary = 0;
    if (!wanted.isEmpty()) {
        const int byName = names.indexOf(wanted);
        if (byName >= 0)
            return byName;
        for (int i = 0; i < names.size(); ++i) {
            if (names[i].compare(wanted, Qt::CaseInsensitive) == 0)
                return i;
        }
        bool number = false;
        const int n = wanted.toInt(&number);
        if (number && n >= 1 && n <= names.size())
            return n - 1;
    }
    if (names.size() == 2)
        return 1 - primary;
    return primary;
}
