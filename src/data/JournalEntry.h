#pragma once

#include "app/AwardItem.h"
#include "app/DrawRecord.h"

#include <QJsonObject>
#include <QString>
#include <vector>

class DrawEngine;

// The entries of the draw journal, each built and read here only, so the
// program that writes them and rafo-verify that reads them agree on every key.
// The readers check every field for its type and range: a journal may come
// from anywhere, and a wrong field is told, never taken for a default.
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
    Checkin,
    Commit,
    Unknown
};
Type typeOf(const QJsonObject& entry);

// The most names one list of an entry may hold.
constexpr qsizetype MaxNames = 4 * 1024 * 1024;

// The fields every line has: "prev" is missing in lines written before the
// journal was chained.
struct Line
{
    Type type = Type::Unknown;
    qint64 time = 0;
    bool chained = false;
    QString prev;
};
bool readLine(const QJsonObject& entry, Line& line, QString* error);

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
    std::vector<tstring> withdrawn;
    qint64 poolSize = 0;
    QString poolDigest;
};
QJsonObject start(const Start& start);
// The start of that draw: the pool as built, the prize table and what the store gave back.
Start startOf(const DrawEngine& engine, const QString& reason, qint64 participants,
              const QString& participantsDigest);
bool readStart(const QJsonObject& entry, Start& start, QString* error);

// A stop, or the replacement of the absent winner in a row.
struct Draw
{
    DrawRecord record;
    QString awardName;
    int winnerCount = 0;
    int row = -1;
    QString absent;
    // Of a witnessed draw: how many names its commitment admitted (a stop)
    // or it picked among (a replacement).
    qint64 witnessAdmitted = -1;
};
QJsonObject stop(const DrawRecord& record, const AwardItem& award);
QJsonObject replace(const DrawRecord& record, int row, const tstring& absent, const AwardItem& award);
bool readDraw(const QJsonObject& entry, Draw& draw, QString* error);

// The prize table changed during the show, with the winners it holds.
struct Prizes
{
    std::vector<AwardItem> prizes;
    int current = -1;
    bool running = false;
};
QJsonObject prizes(const std::vector<AwardItem>& awards, int current, bool running);
bool readPrizes(const QJsonObject& entry, Prizes& prizes, QString* error);

QJsonObject resultScreen();
QJsonObject exit();
QJsonObject storeFailed(const QString& file);
// Guests checked in: their participant lines, and how ("code", "name" or
// "operator"); one entry may hold several made within a moment.
struct Checkin
{
    std::vector<tstring> lines;
    QString via;
    // The line's time, as the journal gave it.
    qint64 time = 0;
};
QJsonObject checkin(const Checkin& checkin);
bool readCheckin(const QJsonObject& entry, Checkin& checkin, QString* error);

// A witnessed draw committed to a secret and the names it may pick, before
// anything of it was shown (see Commitment).
struct Commit
{
    int prize = -1;
    qint64 admitted = 0;
    QString admittedSha256;
    QString commitment;
};
QJsonObject commit(const Commit& commit);
bool readCommit(const QJsonObject& entry, Commit& commit, QString* error);

// The start cut off a line a kill or a full disk left unfinished.
QJsonObject torn(qint64 bytes);
bool readTornBytes(const QJsonObject& entry, qint64& bytes, QString* error);

} // namespace JournalEntry
