#include "data/JournalEntry.h"

#include <QJsonArray>

namespace {

const char* const TypeKey = "type";

struct TypeName
{
    JournalEntry::Type type;
    const char* name;
};
const TypeName TypeNames[] = {{JournalEntry::Type::Start, "start"},
                              {JournalEntry::Type::Stop, "stop"},
                              {JournalEntry::Type::Replace, "replace"},
                              {JournalEntry::Type::Prizes, "prizes"},
                              {JournalEntry::Type::ResultScreen, "result screen"},
                              {JournalEntry::Type::Exit, "exit"},
                              {JournalEntry::Type::StoreFailed, "store failed"},
                              {JournalEntry::Type::Torn, "torn"}};

QJsonObject typed(JournalEntry::Type type, QJsonObject entry = QJsonObject())
{
    for (const TypeName& known : TypeNames) {
        if (known.type == type)
            entry.insert(TypeKey, known.name);
    }
    return entry;
}

QString text(const tstring& value)
{
    return QString::fromStdWString(value);
}

QJsonArray names(const std::vector<tstring>& list)
{
    QJsonArray array;
    for (const tstring& name : list)
        array.append(text(name));
    return array;
}

std::vector<tstring> names(const QJsonValue& value)
{
    std::vector<tstring> list;
    for (const QJsonValue& name : value.toArray())
        list.push_back(name.toString().toStdWString());
    return list;
}

QJsonArray prizeArray(const std::vector<AwardItem>& awards, bool withWinners)
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

std::vector<AwardItem> prizeTable(const QJsonValue& value)
{
    std::vector<AwardItem> awards;
    for (const QJsonValue& entry : value.toArray()) {
        const QJsonObject prize = entry.toObject();
        AwardItem award;
        award.awardName = prize.value("awardName").toString().toStdWString();
        award.winnerCount = prize.value("winnerCount").toInt();
        award.prizeName = prize.value("prizeName").toString().toStdWString();
        award.winners = names(prize.value("winners"));
        awards.push_back(award);
    }
    return awards;
}

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

QJsonObject draw(JournalEntry::Type type, const DrawRecord& record, const AwardItem& award)
{
    QJsonArray positions;
    for (std::size_t position : record.positions)
        positions.append(static_cast<qint64>(position));
    return typed(type, QJsonObject{{"prize", record.prize},
                                   {"outcome", outcomeName(record.outcome)},
                                   {"seed", record.seed},
                                   {"poolSize", static_cast<qint64>(record.poolSize)},
                                   {"poolDigest", text(record.poolDigest)},
                                   {"positions", positions},
                                   {"winners", names(record.winners)},
                                   {"awardName", text(award.awardName)}});
}

} // namespace

JournalEntry::Type JournalEntry::typeOf(const QJsonObject& entry)
{
    const QString name = entry.value(TypeKey).toString();
    for (const TypeName& known : TypeNames) {
        if (name == QLatin1String(known.name))
            return known.type;
    }
    return Type::Unknown;
}

QJsonObject JournalEntry::start(const Start& start)
{
    QJsonArray restored;
    for (const std::vector<tstring>& winners : start.restored)
        restored.append(names(winners));
    return typed(Type::Start, QJsonObject{{"reason", start.reason},
                                          {"participants", start.participants},
                                          {"participantsSha256", start.participantsDigest},
                                          {"prizes", prizeArray(start.prizes, false)},
                                          {"storedCount", start.storedCount},
                                          {"restored", restored},
                                          {"absent", names(start.absent)},
                                          {"poolSize", start.poolSize},
                                          {"poolDigest", start.poolDigest}});
}

JournalEntry::Start JournalEntry::readStart(const QJsonObject& entry)
{
    Start start;
    start.reason = entry.value("reason").toString();
    start.participants = entry.value("participants").toInteger();
    start.participantsDigest = entry.value("participantsSha256").toString();
    start.prizes = prizeTable(entry.value("prizes"));
    start.storedCount = entry.value("storedCount").toInt();
    for (const QJsonValue& winners : entry.value("restored").toArray())
        start.restored.push_back(names(winners));
    start.absent = names(entry.value("absent"));
    start.poolSize = entry.value("poolSize").toInteger();
    start.poolDigest = entry.value("poolDigest").toString();
    return start;
}

QJsonObject JournalEntry::stop(const DrawRecord& record, const AwardItem& award)
{
    QJsonObject entry = draw(Type::Stop, record, award);
    entry.insert("winnerCount", award.winnerCount);
    return entry;
}

QJsonObject JournalEntry::replace(const DrawRecord& record, int row, const tstring& absent,
                                  const AwardItem& award)
{
    QJsonObject entry = draw(Type::Replace, record, award);
    entry.insert("row", row);
    entry.insert("absent", text(absent));
    return entry;
}

JournalEntry::Draw JournalEntry::readDraw(const QJsonObject& entry)
{
    Draw draw;
    draw.record.prize = entry.value("prize").toInt();
    // A hand-made seed may be any number; it is read as the program reads its own.
    draw.record.seed = static_cast<long long>(entry.value("seed").toDouble());
    draw.record.poolDigest = entry.value("poolDigest").toString().toStdWString();
    draw.record.winners = names(entry.value("winners"));
    draw.awardName = entry.value("awardName").toString();
    draw.winnerCount = entry.value("winnerCount").toInt();
    draw.row = entry.value("row").toInt();
    draw.absent = entry.value("absent").toString();
    return draw;
}

QJsonObject JournalEntry::prizes(const std::vector<AwardItem>& awards, int current, bool running)
{
    return typed(Type::Prizes, QJsonObject{{"prizes", prizeArray(awards, true)},
                                           {"current", current},
                                           {"running", running ? 1 : 0}});
}

JournalEntry::Prizes JournalEntry::readPrizes(const QJsonObject& entry)
{
    return Prizes{prizeTable(entry.value("prizes")), entry.value("current").toInt()};
}

QJsonObject JournalEntry::resultScreen()
{
    return typed(Type::ResultScreen);
}

QJsonObject JournalEntry::exit()
{
    return typed(Type::Exit);
}

QJsonObject JournalEntry::storeFailed(const QString& file)
{
    return typed(Type::StoreFailed, QJsonObject{{"file", file}});
}

QJsonObject JournalEntry::torn(qint64 bytes)
{
    return typed(Type::Torn, QJsonObject{{"bytes", bytes}});
}

qint64 JournalEntry::readTornBytes(const QJsonObject& entry)
{
    return entry.value("bytes").toInteger();
}
