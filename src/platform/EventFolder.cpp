#include "platform/EventFolder.h"

#include "platform/WinPath.h"

#include <QDir>
#include <QFileInfo>

EventFolder::EventFolder(const QString& path) : m_path(QDir(path).absolutePath()) {}

QString EventFolder::file(const std::wstring& path) const
{
    return WinPath::toLocal(m_path, path);
}

QString EventFolder::picture(const std::wstring& path) const
{
    return WinPath::findPicture(m_path, path);
}

bool EventFolder::holds(const QString& file) const
{
    const QString real = QFileInfo(file).canonicalFilePath();
    const QString folder = QDir(m_path).canonicalPath();
    return !real.isEmpty() && !folder.isEmpty() && real.startsWith(folder + QLatin1Char('/'));
}
