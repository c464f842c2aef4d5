#include "data/WriteFailures.h"

#include <QFileInfo>
#include <QSet>

namespace {

// By absolute path: the same name in another event folder is another file.
QSet<QString>& failing()
{
    static QSet<QString> paths;
    return paths;
}

} // namespace

bool WriteFailures::isFirst(const QString& path)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    if (failing().contains(key))
        return false;
    failing().insert(key);
    return true;
}

void WriteFailures::succeeded(const QString& path)
{
    failing().remove(QFileInfo(path).absoluteFilePath());
}
