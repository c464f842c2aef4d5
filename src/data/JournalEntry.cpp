#include "data/JournalEntry.h"

#include "app/Commitment.h"
#include "app/DrawEngine.h"
#include "app/DrawScope.h"
#include "app/PoolDigest.h"

#include <QJsonArray>
#include <cmath>
#include <limits>

namespace {

const char* const TypeKey = "type";
constexpr qint64 IntMax = std::numeric_limits<int>::max();
constexpr qint64 IntMin = std::numeric_limits<int>::min();
// Integers a JSON number holds exactly.
constexpr qint64 Exact = qint64(1) << 53;

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
                              {JournalEntry::Type::Torn, "torn"},
                              {JournalEntry::Type::Checkin, "checkin"},
                              {JournalEntry::Type::Commit, "commit"}};

const char* const OutcomeNames[] = {"drawn", "all remaining", "empty pool"};

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

QJsonArray prizeArray(const std::vector<AwardItem>& awards, bool withWinners)
{
    QJsonArray array;
    for (const AwardItem& award : awards) {
        QJsonObject prize{{"awardName", text(award.awardName)},
                          {"winnerCount", award.winnerCount},
                          {"prizeName", text(award.prizeName)}};
        if (withWinners)
            prize.insert("winners", names(award.winners));
        if (!DrawScope::isEveryone(award.range))
            prize.insert("range", text(award.range));
        array.append(prize);
    }
    return array;
}

QJsonObject draw(JournalEntry::Type type, const DrawRecord& record, const AwardItem& award)
{
    QJsonArray positions;
    for (std::size_t position : record.positions)
        positions.append(static_cast<qint64>(position));
    QJsonObject entry{{"prize", record.prize},
                      {"outcome", OutcomeNames[record.outcome]},
                      {"poolSize", static_cast<qint64>(record.poolSize)},
                      {"poolDigest", text(record.poolDigest)},
                      {"positions", positions},
                      {"winners", names(record.winners)},
                      {"awardName", text(award.awardName)}};
    if (record.admitted >= 0) {
        entry.insert("scope", text(record.scope));
        entry.insert("admitted", record.admitted);
        QJsonObject exclusions;
        for (const auto& [file, digest] : record.exclusions)
            exclusions.insert(text(file), text(digest));
        if (!exclusions.isEmpty())
            entry.insert("exclusions", exclusions);
        if (record.exclusionWords)
            entry.insert("exclusionMatch", QStringLiteral("word"));
        if (record.checkedIn >= 0)
            entry.insert("checkedIn", record.checkedIn);
    }
    if (record.witnessed) {
        entry.insert("seed", record.seed.hex());
        entry.insert("rule", Commitment::RuleName);
        entry.insert("words", static_cast<qint64>(record.words));
        if (record.admitted < 0)
            entry.insert("admitted", static_cast<qint64>(record.poolSize));
        if (type == JournalEntry::Type::Replace) {
            entry.insert("word", static_cast<qint64>(record.firstWord));
        } else {
            entry.insert("commitment", Commitment::hex(record.commitment));
            entry.insert("secret", Commitment::hex(record.secret));
            entry.insert("digits", QString::fromStdString(record.digits));
            entry.insert("witnessDigits", record.witnessDigits);
            entry.insert("admittedSha256", Commitment::hex(record.admittedSha256));
        }
    } else if (record.seed.rule() == DrawSeed::Rule::Rafo1) {
        entry.insert("seed", record.seed.hex());
        entry.insert("rule", DrawSeed::Rafo1Name);
    } else {
        entry.insert("seed", record.seed.second());
    }
    return typed(type, entry);
}

bool isDigest(const QString& value)
{
    return DrawSeed::fromHex(value).has_value();
}

Sha256::Digest digestOf(const QString& hex)
{
    return Commitment::fromHex(hex).value_or(Sha256::Digest{});
}

// Reads the fields of one entry; the first that is missing or wrong is told.
class Fields
{
public:
    Fields(const QJsonObject& entry, QString* error) : m_entry(entry), m_error(error) {}

    bool ok() const { return m_ok; }
    bool has(const char* key) const { return m_entry.contains(QLatin1String(key)); }

    qint64 integer(const char* key, qint64 min, qint64 max)
    {
        return integerOf(m_entry.value(QLatin1String(key)), key, min, max);
    }

    QString string(const char* key)
    {
        const QJsonValue value = m_entry.value(QLatin1String(key));
        if (!value.isString())
            fail(key, "不是文字");
        return value.toString();
    }

    QString digest(const char* key)
    {
        const QString value = string(key);
        if (m_ok && !isDigest(value))
            fail(key, "不是 64 位十六进制摘要");
        return value;
    }

    std::vector<tstring> names(const char* key) { return namesOf(m_entry.value(QLatin1String(key)), key); }

    std::vector<tstring> namesOf(const QJsonValue& value, const char* key)
    {
        std::vector<tstring> list;
        const QJsonArray array = arrayOf(value, key);
        for (const QJsonValue& name : array) {
            if (!name.isString()) {
                fail(key, "含有不是文字的名字");
                return {};
            }
            list.push_back(name.toString().toStdWString());
        }
        return list;
    }

    QJsonArray arrayOf(const QJsonValue& value, const char* key)
    {
        if (!value.isArray()) {
            fail(key, "不是列表");
            return QJsonArray();
        }
        const QJsonArray array = value.toArray();
        if (array.size() > JournalEntry::MaxNames) {
            fail(key, "过长");
            return QJsonArray();
        }
        return array;
    }

    qint64 integerOf(const QJsonValue& value, const char* key, qint64 min, qint64 max)
    {
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || !std::isfinite(number) || std::floor(number) != number ||
            std::fabs(number) > double(Exact) || number < double(min) || number > double(max)) {
            fail(key, "不是范围内的整数");
            return min;
        }
        return static_cast<qint64>(number);
    }

    std::vector<AwardItem> prizes(const char* key, bool withWinners)
    {
        std::vector<AwardItem> awards;
        for (const QJsonValue& value : arrayOf(m_entry.value(QLatin1String(key)), key)) {
            if (!value.isObject()) {
                fail(key, "含有不是奖项的内容");
                return {};
            }
            Fields prize(value.toObject(), m_error);
            AwardItem award;
            award.awardName = prize.string("awardName").toStdWString();
            award.winnerCount = static_cast<int>(prize.integer("winnerCount", IntMin, IntMax));
            award.prizeName = prize.string("prizeName").toStdWString();
            if (withWinners)
                award.winners = prize.names("winners");
            if (prize.has("range"))
                award.range = prize.string("range").toStdWString();
            if (!prize.ok()) {
                m_ok = false;
                return {};
            }
            awards.push_back(std::move(award));
        }
        return awards;
    }

    void fail(const char* key, const char* what)
    {
        if (m_ok && m_error)
            *m_error = QStringLiteral("\"%1\" %2").arg(QLatin1String(key), QString::fromUtf8(what));
        m_ok = false;
    }

private:
    QJsonObject m_entry;
    QString* m_error;
    bool m_ok = true;
};

// The fields of a draw under "rafo-2"; whether the digits are enough is the replay's to tell.
void readWitness(Fields& fields, bool replacement, JournalEntry::Draw& draw)
{
    DrawRecord& record = draw.record;
    record.words = static_cast<std::uint64_t>(fields.integer("words", 0, Exact));
    draw.witnessAdmitted = fields.integer("admitted", 0, Exact);
    if (replacement) {
        record.firstWord = static_cast<std::uint64_t>(fields.integer("word", 0, Exact));
        return;
    }
    record.commitment = digestOf(fields.digest("commitment"));
    record.secret = digestOf(fields.digest("secret"));
    record.admittedSha256 = digestOf(fields.digest("admittedSha256"));
    const QString digits = fields.string("digits");
    if (digits.size() > 1024)
        fields.fail("digits", "过长");
    record.digits = digits.toStdString();
    record.witnessDigits =
        static_cast<int>(fields.integer("witnessDigits", Commitment::MinDigits, Commitment::MaxDigits));
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

bool JournalEntry::readLine(const QJsonObject& entry, Line& line, QString* error)
{
    Fields fields(entry, error);
    fields.string(TypeKey);
    line.type = typeOf(entry);
    if (fields.ok() && line.type == Type::Unknown)
        fields.fail(TypeKey, "不是已知的记录");
    line.time = fields.integer("time", -Exact, Exact);
    line.chained = fields.has("prev");
    if (line.chained) {
        line.prev = fields.string("prev");
        if (fields.ok() && !line.prev.isEmpty() && !isDigest(line.prev))
            fields.fail("prev", "不是 64 位十六进制摘要");
    }
    return fields.ok();
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
                                          {"withdrawn", names(start.withdrawn)},
                                          {"poolSize", start.poolSize},
                                          {"poolDigest", start.poolDigest}});
}

bool JournalEntry::readStart(const QJsonObject& entry, Start& start, QString* error)
{
    Fields fields(entry, error);
    start.reason = fields.string("reason");
    start.participants = fields.integer("participants", 0, Exact);
    start.participantsDigest = fields.digest("participantsSha256");
    start.prizes = fields.prizes("prizes", false);
    start.storedCount = static_cast<int>(fields.integer("storedCount", IntMin + 1, IntMax));
    for (const QJsonValue& winners : fields.arrayOf(entry.value("restored"), "restored"))
        start.restored.push_back(fields.namesOf(winners, "restored"));
    start.absent = fields.names("absent");
    // Journals written before prizes could be withdrawn have none.
    if (fields.has("withdrawn"))
        start.withdrawn = fields.names("withdrawn");
    start.poolSize = fields.integer("poolSize", 0, Exact);
    start.poolDigest = fields.digest("poolDigest");
    return fields.ok();
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

bool JournalEntry::readDraw(const QJsonObject& entry, Draw& draw, QString* error)
{
    Fields fields(entry, error);
    DrawRecord& record = draw.record;
    record.prize = static_cast<int>(fields.integer("prize", 0, IntMax));
    const QString outcome = fields.string("outcome");
    record.outcome = outcome == QLatin1String(OutcomeNames[1])   ? DrawRecord::AllRemaining
                     : outcome == QLatin1String(OutcomeNames[2]) ? DrawRecord::EmptyPool
                                                                 : DrawRecord::Drawn;
    if (fields.ok() && outcome != QLatin1String(OutcomeNames[0]) && record.outcome == DrawRecord::Drawn)
        fields.fail("outcome", "不是已知的结果");
    if (fields.has("rule")) {
        const QString rule = fields.string("rule");
        record.witnessed = rule == QLatin1String(Commitment::RuleName);
        if (rule != QLatin1String(DrawSeed::Rafo1Name) && !record.witnessed)
            fields.fail("rule", "不是已知的规则");
        const auto seed = DrawSeed::fromHex(fields.digest("seed"));
        if (seed)
            record.seed = *seed;
        if (record.witnessed)
            readWitness(fields, typeOf(entry) == Type::Replace, draw);
    } else if (fields.has("seed")) {
        record.seed = DrawSeed::crtSecond(fields.integer("seed", 0, Exact));
    } else {
        fields.fail("seed", "缺少");
    }
    record.poolSize = static_cast<std::size_t>(fields.integer("poolSize", 0, Exact));
    record.poolDigest = fields.digest("poolDigest").toStdWString();
    for (const QJsonValue& position : fields.arrayOf(entry.value("positions"), "positions"))
        record.positions.push_back(
            static_cast<std::size_t>(fields.integerOf(position, "positions", 0, Exact)));
    record.winners = fields.names("winners");
    // Draws over everyone have none.
    if (fields.has("scope")) {
        record.scope = fields.string("scope").toStdWString();
        record.admitted = fields.integer("admitted", 0, Exact);
        const QJsonValue exclusions = entry.value("exclusions");
        if (!exclusions.isUndefined() && !exclusions.isObject())
            fields.fail("exclusions", "不是文件与摘要的表");
        const QJsonObject files = exclusions.toObject();
        for (auto file = files.begin(); file != files.end(); ++file) {
            if (!file.value().isString() || !isDigest(file.value().toString()))
                fields.fail("exclusions", "不是 64 位十六进制摘要");
            record.exclusions[file.key().toStdWString()] = file.value().toString().toStdWString();
        }
        if (fields.has("checkedIn"))
            record.checkedIn = fields.integer("checkedIn", 0, Exact);
        // Journals written before words matched say nothing, and replay by whole lines.
        if (fields.has("exclusionMatch")) {
            record.exclusionWords = fields.string("exclusionMatch") == QLatin1String("word");
            if (!record.exclusionWords)
                fields.fail("exclusionMatch", "不是已知的匹配方式");
        }
    }
    draw.awardName = fields.string("awardName");
    if (typeOf(entry) == Type::Replace) {
        draw.row = static_cast<int>(fields.integer("row", 0, IntMax));
        draw.absent = fields.string("absent");
    } else {
        draw.winnerCount = static_cast<int>(fields.integer("winnerCount", IntMin, IntMax));
    }
    return fields.ok();
}

QJsonObject JournalEntry::prizes(const std::vector<AwardItem>& awards, int current, bool running)
{
    return typed(Type::Prizes, QJsonObject{{"prizes", prizeArray(awards, true)},
                                           {"current", current},
                                           {"running", running ? 1 : 0}});
}

bool JournalEntry::readPrizes(const QJsonObject& entry, Prizes& prizes, QString* error)
{
    Fields fields(entry, error);
    prizes.prizes = fields.prizes("prizes", true);
    prizes.current = static_cast<int>(fields.integer("current", -1, IntMax));
    prizes.running = fields.integer("running", 0, 1) == 1;
    return fields.ok();
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

QJsonObject JournalEntry::commit(const Commit& commit)
{
    return typed(Type::Commit, QJsonObject{{"prize", commit.prize},
                                           {"admitted", commit.admitted},
                                           {"admittedSha256", commit.admittedSha256},
                                           {"commitment", commit.commitment}});
}

bool JournalEntry::readCommit(const QJsonObject& entry, Commit& commit, QString* error)
{
    Fields fields(entry, error);
    commit.prize = static_cast<int>(fields.integer("prize", 0, IntMax));
    commit.admitted = fields.integer("admitted", 0, Exact);
    commit.admittedSha256 = fields.digest("admittedSha256");
    commit.commitment = fields.digest("commitment");
    return fields.ok();
}

QJsonObject JournalEntry::torn(qint64 bytes)
{
    return typed(Type::Torn, QJsonObject{{"bytes", bytes}});
}

bool JournalEntry::readTornBytes(const QJsonObject& entry, qint64& bytes, QString* error)
{
    Fields fields(entry, error);
    bytes = fields.integer("bytes", 0, Exact);
    return fields.ok();
}

QJsonObject JournalEntry::checkin(const Checkin& checkin)
{
    return typed(Type::Checkin, QJsonObject{{"lines", names(checkin.lines)}, {"via", checkin.via}});
}

bool JournalEntry::readCheckin(const QJsonObject& entry, Checkin& checkin, QString* error)
{
    Fields fields(entry, error);
    checkin.lines = fields.names("lines");
    checkin.via = fields.string("via");
    if (fields.ok() && checkin.via != QLatin1String("code") && checkin.via != QLatin1String("name") &&
        checkin.via != QLatin1String("operator"))
        fields.fail("via", "不是已知的签到方式");
    return fields.ok();
}

JournalEntry::Start JournalEntry::startOf(const DrawEngine& engine, const QString& reason,
                                          qint64 participants, const QString& participantsDigest)
{
    Start start;
    start.reason = reason;
    start.participants = participants;
    start.participantsDigest = participantsDigest;
    start.prizes = engine.awards();
    start.storedCount = engine.current() + 1;
    for (int i = 0; i <= engine.current() && i < engine.prizeCount(); ++i)
        start.restored.push_back(engine.award(i).winners);
    start.absent = engine.absent();
    start.withdrawn = engine.withdrawn();
    start.poolSize = static_cast<qint64>(engine.pool().size());
    start.poolDigest = QString::fromStdWString(PoolDigest(engine.pool()));
    return start;
}
