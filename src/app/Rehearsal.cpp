#include "app/Rehearsal.h"

#include "data/EventLock.h"
#include "platform/EventFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

QString Rehearsal::folderFor(const QString& event, const QDateTime& when)
{
    const QString path = QDir::cleanPath(event);
    return path + QLatin1Char('-') + QString::fromUtf8(Mark) + QLatin1Char('-') +
           when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

std::optional<QString> Rehearsal::copy(const EventFolder& event, const QDateTime& when)
{
    const QDir from(event.path());
    const QString to = folderFor(from.absolutePath(), when);
    if (QFileInfo::exists(to) || !QDir().mkpath(to))
        return std::nullopt;
    QDirIterator files(from.absolutePath(), QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        // Links could lead out of the event; the rehearsal takes the event's own files only.
        if (file.isSymLink() || file.fileName() == QLatin1String(EventLock::FileName))
            continue;
        const QString target = to + QLatin1Char('/') + from.relativeFilePath(file.absoluteFilePath());
        const bool made = file.isDir() ? QDir().mkpath(target) : QFile::copy(file.absoluteFilePath(), target);
        // A file a write was replacing may be gone by now; nothing of the event is lost with it.
        if (!made && QFileInfo::exists(file.absoluteFilePath()))
            return std::nullopt;
    }
    return to;
}
