#include "platform/AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString executablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    // Before the application object exists the kernel still knows who we are.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

std::wstring AppInfo::applicationName()
{
    return QFileInfo(executablePath()).completeBaseName().toStdWString();
}

QString AppInfo::executableDir()
{
    const QString dir = QFileInfo(executablePath()).absolutePath();
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}
