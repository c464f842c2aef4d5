#include "data/DrawJournal.h"

#include "app/PoolDigest.h"
#include "data/JournalEntry.h"
#include "platform/Clock.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

QString DrawJournal::keptListName(const QString& digest)
{
    return QStringLiteral("participants-%1.txt").arg(digest.left(16));
}

QString DrawJournal::keepList(const std::vector<tstring>& list)
{
    const QString digest = QString::fromStdWString(PoolDigest(list));
    const QString path = QStringLiteral("%1/%2").arg(QLatin1String(Folder), keptListName(digest));
    if (!QFileInfo::exists(path) && !m_unkept.count(path)) {
        m_unkept.emplace(path, PoolText(list));
        keepPendingLists();
    }
    return digest;
}

// A list that could not be written is held until it can, so the entries
// that name it can still be replayed.
void DrawJournal::keepPendingLists()
{
    for (auto list = m_unkept.begin(); list != m_unkept.end();) {
        QDir().mkpath(QLatin1String(Folder));
        if (!TextFile::writeAtomically(list->first, list->second))
            return;
        list = m_unkept.erase(list);
    }
}

bool DrawJournal::open()
{
    const QString path = QString::fromLatin1(FileName);
    std::string bytes;
    if (!TextFile::readAll(path, bytes) || bytes.empty() || bytes.back() == '\n')
        return true;
    const size_t lastFeed = bytes.rfind('\n');
    const size_t whole = lastFeed == std::string::npos ? 0 : lastFeed + 1;
    return TextFile::truncate(path, static_cast<qint64>(whole)) &&
           append(JournalEntry::torn(static_cast<qint64>(bytes.size() - whole)));
}

bool DrawJournal::append(QJsonObject entry)
{
    entry.insert("time", static_cast<qint64>(Clock::now()));
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    QDir().mkpath(QLatin1String(Folder));
    // The entry goes in even when a list it names cannot yet: the list is tried again.
    keepPendingLists();
    return TextFile::append(QLatin1String(FileName), line.toStdString());
}
