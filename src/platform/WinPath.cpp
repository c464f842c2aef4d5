#include "platform/WinPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

QString matchInDir(const QString& dir, const QString& name)
{
    const QDir folder(dir.isEmpty() ? QStringLiteral(".") : dir);
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

} // namespace

QString WinPath::toLocal(const QString& root, const std::wstring& path)
{
    QString local = QString::fromStdWString(path);
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool absolute = local.startsWith(QLatin1Char('/'));
    if (local.isEmpty())
        return local;
    const QString whole = absolute ? local : QDir(root).filePath(local);
    if (QFileInfo::exists(whole))
        return QDir::cleanPath(whole);

    const QStringList parts = local.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString resolved = absolute ? QStringLiteral("/") : root;
    const auto join = [](const QString& dir, const QString& name) {
        return dir.isEmpty() || dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
    };
    bool matching = true;
    for (const QString& part : parts) {
        const QString candidate = join(resolved, part);
        if (!matching || part == QLatin1String(".") || part == QLatin1String("..") ||
            QFileInfo::exists(candidate)) {
            resolved = candidate;
            continue;
        }
        const QString match = matchInDir(resolved, part);
        // Past the first part that exists in no spelling, the rest is taken as written.
        matching = !match.isEmpty();
        resolved = matching ? join(resolved, match) : candidate;
    }
    return QDir::cleanPath(resolved);
}

QString WinPath::findPicture(const QString& root, const std::wstring& path)
{
    if (path.empty())
        return QString();
    const QString direct = toLocal(root, path);
    if (QFileInfo(direct).isFile())
        return direct;
    const size_t separator = path.find_last_of(L"\\/");
    const std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
    if (name.empty())
        return QString();
    for (const std::wstring& candidate : {L"Backimg\\" + name, name}) {
        const QString local = toLocal(root, candidate);
        if (QFileInfo(local).isFile())
            return local;
    }
    return QString();
}
