#pragma once

#include "app/AwardItem.h"
#include "app/DrawRecord.h"

#include <QJsonObject>
#include <QString>
#include <vector>

// The entries of the draw journal, each built and read here only, so the
// program that writes them and rafo-verify that reads them agree on every key.
namespace JournalEntry {

enum class Type
{
    Start,
    Stop,
    Replace,
    Prizes,
    ResultScreen,
    Exit,
    StoreFailed,
    Torn,
    Unknown
};
Type typeOf(const QJsonObject& entry);

// A draw starting afresh: the list it was built from, the prize table and
// what the result store gave back.
struct Start
{
    QString reason;
    qint64 participants = 0;
    QString participantsDigest;
    std::vector<AwardItem> prizes;
    int storedCount = 0;
    std::vector<std::vector<tstring>> restored;
    std::vector<tstring> absent;
    qint64 poolSize = 0;
    QString poolDigest;
};
QJsonObject start(const Start& start);
Start readStart(const QJsonObject& entry);

// A stop, or the replacement of the absent winner in a row.
struct Draw
{
    DrawRecord record;
    QString awardName;
    int winnerCount = 0;
    int row = -1;
    QString absent;
};
QJsonObject stop(const DrawRecord& record, const AwardItem& award);
QJsonObject replace(const DrawRecord& record, int row, const tstring& absent, const AwardItem& award);
Draw readDraw(const QJsonObject& entry);

// The prize table changed during the show, with the winners it holds.
struct Prizes
{
    std::vector<AwardItem> prizes;
    int current = -1;
};
QJsonObject prizes(const std::vector<AwardItem>& awards, int current, bool running);
Prizes readPrizes(const QJsonObject& entry);

QJsonObject resultScreen();
QJsonObject exit();
QJsonObject storeFailed(const QString& file);
// The start cut off a line a kill or a full disk left unfinished.
QJsonObject torn(qint64 bytes);
qint64 readTornBytes(const QJsonObject& entry);

} // namespace JournalEntry
