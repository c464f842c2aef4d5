#include "data/DrawJournal.h"

#include "app/PoolDigest.h"
#include "data/JournalEntry.h"
#include "platform/Clock.h"
#include "platform/Sha256.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <utility>

QString DrawJournal::keptListName(const QString& digest)
{
    return QStringLiteral("participants-%1.txt").arg(digest.left(16));
}

DrawJournal::DrawJournal(EventFolder folder) : m_folder(std::move(folder)) {}

template <typename Names> QString DrawJournal::keep(const Names& list)
{
    const QString digest = QString::fromStdWString(PoolDigest(list));
    const QString path =
        m_folder.file(QStringLiteral("%1/%2").arg(QLatin1String(Folder), keptListName(digest)));
    if (!QFileInfo::exists(path) && !m_unkept.count(path)) {
        m_unkept.emplace(path, PoolText(list));
        keepPendingLists();
    }
    return digest;
}

QString DrawJournal::keepList(const std::vector<tstring>& names)
{
    return keep(names);
}

QString DrawJournal::keepList(const NamePool& names)
{
    return keep(names);
}

// A list that could not be written is held until it can, so the entries
// that name it can still be replayed.
void DrawJournal::keepPendingLists()
{
    for (auto list = m_unkept.begin(); list != m_unkept.end();) {
        QDir().mkpath(m_folder.file(Folder));
        if (!TextFile::writeAtomically(list->first, list->second))
            return;
        list = m_unkept.erase(list);
    }
}

QString DrawJournal::lineHash(const QByteArray& line)
{
    return QString::fromStdString(
        Sha256::hex(Sha256::of(std::string_view(line.constData(), size_t(line.size())))));
}

QString DrawJournal::fingerprint(const QByteArray& line)
{
    const QString hex = lineHash(line).left(16).toUpper();
    return QStringLiteral("%1-%2-%3-%4").arg(hex.mid(0, 4), hex.mid(4, 4), hex.mid(8, 4), hex.mid(12, 4));
}

void DrawJournal::readChain(const std::string& bytes)
{
    m_chainKnown = true;
    m_lastHash.clear();
    m_lastDrawFingerprint.clear();
    size_t end = bytes.size();
    bool last = true;
    while (end > 0) {
        const size_t feed = bytes.rfind('\n', end - 1);
        const size_t begin = feed == std::string::npos ? 0 : feed + 1;
        if (begin < end) {
            const QByteArray line = QByteArray::fromRawData(bytes.data() + begin, qsizetype(end - begin));
            if (last)
                m_lastHash = lineHash(line);
            last = false;
            if (line.contains("\"type\":\"stop\"") || line.contains("\"type\":\"replace\"")) {
                m_lastDrawFingerprint = fingerprint(line);
                return;
            }
            // A redraw or a participant edit threw the draws before it away.
            if (line.contains("\"type\":\"start\"") && !line.contains("\"reason\":\"launch\""))
                return;
        }
        if (feed == std::string::npos)
            return;
        end = feed;
    }
}

void DrawJournal::readCheckins(const std::string& bytes)
{
    m_checkins.clear();
    // Check-ins stand for the whole event: a redraw does not send anybody home.
    for (size_t begin = 0; begin < bytes.size();) {
        size_t end = bytes.find('\n', begin);
        if (end == std::string::npos)
            end = bytes.size();
        const QByteArray line = QByteArray::fromRawData(bytes.data() + begin, qsizetype(end - begin));
        if (line.contains("\"type\":\"checkin\"")) {
            const QJsonObject entry = QJsonDocument::fromJson(line).object();
            JournalEntry::Line head;
            JournalEntry::Checkin checkin;
            if (JournalEntry::readLine(entry, head, nullptr) &&
                JournalEntry::readCheckin(entry, checkin, nullptr)) {
                checkin.time = head.time;
                m_checkins.push_back(std::move(checkin));
            }
        } else if (line.contains("\"type\":\"commit\"")) {
            JournalEntry::Commit commit;
            if (JournalEntry::readCommit(QJsonDocument::fromJson(line).object(), commit, nullptr))
                ++m_commits[commit.prize];
        }
        begin = end + 1;
    }
}

bool DrawJournal::open()
{
    const QString path = m_folder.file(FileName);
    std::string bytes;
    if (!TextFile::readAll(path, bytes) || bytes.empty() || bytes.back() == '\n') {
        readChain(bytes);
        m_history = WinnerHistory::fromJournal(bytes);
        readCheckins(bytes);
        return true;
    }
    const size_t lastFeed = bytes.rfind('\n');
    const size_t whole = lastFeed == std::string::npos ? 0 : lastFeed + 1;
    const qint64 cut = static_cast<qint64>(bytes.size() - whole);
    bytes.resize(whole);
    readChain(bytes);
    m_history = WinnerHistory::fromJournal(bytes);
    readCheckins(bytes);
    return TextFile::truncate(path, static_cast<qint64>(whole)) && append(JournalEntry::torn(cut));
}

bool DrawJournal::append(QJsonObject entry, QString* lineFingerprint)
{
    if (!m_chainKnown) {
        std::string bytes;
        TextFile::readAll(m_folder.file(FileName), bytes);
        readChain(bytes);
    }
    // The line gets its time and its place in the chain now, whenever it reaches the disk.
    entry.insert("prev", m_lastHash);
    entry.insert("time", static_cast<qint64>(Clock::now()));
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact);
    m_lastHash = lineHash(line);
    const JournalEntry::Type type = JournalEntry::typeOf(entry);
    if (type == JournalEntry::Type::Stop || type == JournalEntry::Type::Replace) {
        m_lastDrawFingerprint = fingerprint(line);
        m_lastDrawHeld = true;
    } else if (type == JournalEntry::Type::Start && entry.value("reason") != QLatin1String("launch")) {
        m_lastDrawFingerprint.clear();
        m_lastDrawHeld = false;
    }
    m_held.push_back(line + '\n');
    QDir().mkpath(m_folder.file(Folder));
    // The entry goes in even when a list it names cannot yet: the list is tried again.
    keepPendingLists();
    std::string lines;
    for (const QByteArray& held : m_held)
        lines.append(held.constData(), size_t(held.size()));
    if (!TextFile::append(m_folder.file(FileName), lines))
        return false;
    m_held.clear();
    m_lastDrawHeld = false;
    if (lineFingerprint)
        *lineFingerprint = fingerprint(line);
    return true;
}
