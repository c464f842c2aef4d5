#include "data/FolderFile.h"

#include "app/PoolDigest.h"
#include "data/DrawJournal.h"

#include <QFileInfo>

QString FolderFile::unreadable(LineReader::Opened opened, const QString& path, qint64 bound)
{
    switch (opened) {
    case LineReader::Opened::Missing:
        return QStringLiteral("缺少 %1").arg(path);
    case LineReader::Opened::NotRegular:
        return QStringLiteral("%1 不是普通文件").arg(path);
    case LineReader::Opened::TooLarge:
        return QStringLiteral("%1 超过 %2 MiB").arg(path).arg(bound >> 20);
    default:
        return QStringLiteral("无法读取 %1").arg(path);
    }
}

LineReader::Opened FolderFile::read(const EventFolder& folder, const QString& name, qint64 bound,
                                    QByteArray& bytes)
{
    const QString file = folder.file(name);
    if (!QFileInfo::exists(file) && !QFileInfo(file).isSymLink())
        return LineReader::Opened::Missing;
    if (!folder.holds(file))
        return LineReader::Opened::NotRegular;
    return LineReader::readAll(file, bound, bytes);
}

QString FolderFile::readKeptList(const EventFolder& folder, const QString& digest, qint64 bound,
                                 std::vector<tstring>& names, QString& path)
{
    path = QStringLiteral("%1/%2").arg(DrawJournal::Folder, DrawJournal::keptListName(digest));
    QByteArray bytes;
    const LineReader::Opened opened = read(folder, path, bound, bytes);
    if (opened == LineReader::Opened::Missing)
        return QStringLiteral("缺少名单 %1").arg(path);
    if (opened != LineReader::Opened::Ok)
        return unreadable(opened, path, bound);
    // A name takes its string and, past three characters, its text four bytes a character.
    qint64 memory = 0;
    qsizetype lines = 0;
    for (qsizetype from = 0; from < bytes.size();) {
        qsizetype feed = bytes.indexOf('\n', from);
        if (feed < 0)
            feed = bytes.size();
        const qint64 length = feed - from;
        memory += 32 + (length > 3 ? 4 * (length + 1) : 0);
        ++lines;
        from = feed + 1;
    }
    if (memory > MaxListMemory)
        return QStringLiteral("名单 %1 过大").arg(path);
    names.reserve(size_t(lines));
    for (qsizetype from = 0; from < bytes.size();) {
        qsizetype feed = bytes.indexOf('\n', from);
        if (feed < 0)
            feed = bytes.size();
        names.push_back(QString::fromUtf8(bytes.constData() + from, feed - from).toStdWString());
        from = feed + 1;
    }
    if (QString::fromStdWString(PoolDigest(names)) != digest)
        return QStringLiteral("名单 %1 已被改动").arg(path);
    return QString();
}
