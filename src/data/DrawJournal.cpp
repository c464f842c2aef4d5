#include "data/DrawJournal.h"

#include "app/DrawEngine.h"
#include "app/PoolDigest.h"
#include "platform/Clock.h"
#include "platform/MsgBox.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

namespace {

const char* outcomeName(DrawRecord::Outcome outcome)
{
    switch (outcome) {
    case DrawRecord::AllRemaining:
        return "all remaining";
    case DrawRecord::EmptyPool:
        return "empty pool";
    default:
        return "drawn";
    }
}

QString text(const tstring& value)
{
    return QString::fromStdWString(value);
}

} // namespace

QString DrawJournal::keptListName(const QString& digest)
{
    return QStringLiteral("participants-%1.txt").arg(digest.left(16));
}

QJsonArray DrawJournal::names(const std::vector<tstring>& names)
{
    QJsonArray array;
    for (const tstring& name : names)
        array.append(text(name));
    return array;
}

std::vector<tstring> DrawJournal::names(const QJsonArray& array)
{
    std::vector<tstring> list;
    for (const QJsonValue& value : array)
        list.push_back(value.toString().toStdWString());
    return list;
}

QJsonArray DrawJournal::prizes(const std::vector<AwardItem>& awards, bool withWinners)
{
    QJsonArray array;
    for (const AwardItem& award : awards) {
        QJsonObject prize{{"awardName", text(award.awardName)},
                          {"winnerCount", award.winnerCount},
                          {"prizeName", text(award.prizeName)}};
        if (withWinners)
            prize.insert("winners", names(award.winners));
        array.append(prize);
    }
    return array;
}

QJsonObject DrawJournal::draw(const DrawRecord& record)
{
    QJsonArray positions;
    for (std::size_t position : record.positions)
        positions.append(static_cast<qint64>(position));
    return QJsonObject{{"prize", record.prize},
                       {"outcome", outcomeName(record.outcome)},
                       {"seed", record.seed},
                       {"poolSize", static_cast<qint64>(record.poolSize)},
                       {"poolDigest", text(record.poolDigest)},
                       {"positions", positions},
                       {"winners", names(record.winners)}};
}

QString DrawJournal::keepList(const std::vector<tstring>& list)
{
    const QString digest = text(PoolDigest(list));
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
        if (!TextFile::writeAtomically(list->first, list->second)) {
            failed();
            return;
        }
        list = m_unkept.erase(list);
    }
}

qint64 DrawJournal::open()
{
    const QString path = QString::fromLatin1(FileName);
    std::string bytes;
    if (!TextFile::readAll(path, bytes) || bytes.empty() || bytes.back() == '\n')
        return 0;
    // A kill or a full disk in the middle of a line: the whole lines stay.
    const size_t whole = bytes.rfind('\n') == std::string::npos ? 0 : bytes.rfind('\n') + 1;
    const qint64 cut = static_cast<qint64>(bytes.size() - whole);
    if (!TextFile::truncate(path, static_cast<qint64>(whole))) {
        failed();
        return 0;
    }
    append(QStringLiteral("torn"), QJsonObject{{"bytes", cut}});
    return cut;
}

bool DrawJournal::append(const QString& type, QJsonObject entry)
{
    entry.insert("type", type);
    entry.insert("time", static_cast<qint64>(Clock::now()));
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    QDir().mkpath(QLatin1String(Folder));
    // The entry goes in even when a list it names cannot yet: the list is tried again.
    keepPendingLists();
    const bool written = TextFile::append(QLatin1String(FileName), line.toStdString());
    if (!written)
        failed();
    return written;
}

void DrawJournal::failed()
{
    if (m_told)
        return;
    m_told = true;
    MsgBox::show(std::wstring(WriteFailure) +
                     QDir::toNativeSeparators(QLatin1String(FileName)).toStdWString(),
                 L"消息", MsgBox::Ok);
}
