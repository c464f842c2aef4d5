#pragma once

#include "app/AwardItem.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <map>
#include <string>
#include <vector>

struct DrawRecord;

// The record of everything that decided or changed who can win, one JSON
// object per line in "Journal/journal.jsonl", each on disk before the
// winners it names are shown. Every participant list a pool was built from
// is kept beside it, so each draw can be replayed later.
class DrawJournal
{
public:
    static constexpr const char* Folder = "Journal";
    static constexpr const char* FileName = "Journal/journal.jsonl";
    static constexpr const wchar_t* WriteFailure = L"无法写入抽奖记录:";

    // "participants-<first 16 hex digits>.txt"
    static QString keptListName(const QString& digest);
    static QJsonArray names(const std::vector<tstring>& names);
    static std::vector<tstring> names(const QJsonArray& array);
    static QJsonArray prizes(const std::vector<AwardItem>& awards, bool withWinners);
    static QJsonObject draw(const DrawRecord& record);

    // Keeps the list once and gives its digest. A list that cannot be
    // written now is written before the next entry that can be.
    QString keepList(const std::vector<tstring>& names);
    // At start-up: a last line without its line feed (a kill or a full disk
    // in the middle of a write) is cut off and a "torn" entry says so.
    // Gives the number of bytes cut.
    qint64 open();
    // Appends the entry with its time, all or nothing; a journal that cannot
    // be written is told once and the show goes on.
    bool append(const QString& type, QJsonObject entry);

private:
    void keepPendingLists();
    void failed();

    // Kept lists not yet on disk, by path.
    std::map<QString, std::string> m_unkept;
    bool m_told = false;
};
