#include "app/DrawSession.h"
#include "app/DrawWorker.h"
#include "app/WitnessPlate.h"
#include "data/DrawJournal.h"
#include "data/JournalVerifier.h"
#include "platform/Clock.h"
#include "support/TestEvent.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

// A witnessed draw, checked against the rule as an auditor would rebuild it
// from its description: Qt's SHA-256 and plain lists, not the engine's code.
namespace {

QByteArray sha(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QByteArray littleEndian(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char(value >> (8 * i));
    return out;
}

// Picks `count` of `names` from the seed's words, starting at word `word`; the words used come back in
// `word`.
QStringList pick(const QByteArray& seed, QStringList names, int count, quint64& word)
{
    QStringList winners;
    while (count-- > 0 && !names.isEmpty()) {
        const quint64 m = quint64(names.size());
        for (;;) {
            const QByteArray block = sha(seed + littleEndian(word / 4, 8));
            quint64 w = 0;
            for (int i = 7; i >= 0; --i)
                w = (w << 8) | quint8(block[int(word % 4) * 8 + i]);
            ++word;
            // Words at or above the largest multiple of m below 2^64 are passed over.
            if (w <= ~quint64(0) - (~quint64(0) % m + 1) % m || (~quint64(0) % m + 1) % m == 0) {
                winners << names.takeAt(qsizetype(w % m));
                break;
            }
        }
    }
    return winners;
}

std::vector<QJsonObject> entries(const TestFolder& folder)
{
    std::vector<QJsonObject> lines;
    for (const QByteArray& line : QByteArray::fromStdString(folder.read("Journal/journal.jsonl")).split('\n'))
        if (!line.isEmpty())
            lines.push_back(QJsonDocument::fromJson(line).object());
    return lines;
}

QJsonObject last(const TestFolder& folder, const char* type)
{
    QJsonObject found;
    for (const QJsonObject& entry : entries(folder))
        if (entry.value("type") == QLatin1String(type))
            found = entry;
    return found;
}

QStringList strings(const QJsonValue& value)
{
    QStringList list;
    for (const QJsonValue& item : value.toArray())
        list << item.toString();
    return list;
}

// The journal with its lines changed by `change`, chained again as a forger would.
void forge(const TestFolder& folder, const std::function<void(std::vector<QJsonObject>&)>& change)
{
    std::vector<QJsonObject> lines = entries(folder);
    change(lines);
    std::string out;
    QString prev;
    for (QJsonObject& entry : lines) {
        entry.insert("prev", prev);
        const QByteArray bytes = QJsonDocument(entry).toJson(QJsonDocument::Compact);
        prev = QString::fromLatin1(sha(bytes).toHex());
        out += bytes.toStdString() + '\n';
    }
    folder.write("Journal/journal.jsonl", out);
}

void witnessedEvent(TestFolder& folder, const std::string& names, const std::string& range,
                    std::initializer_list<int> counts)
{
    TestEvent::make(folder, 1, counts);
    folder.write("data.txt", names);
    folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") +
                                      "[Draw]\r\nRule=rafo-2\r\nWitnessDigits=12\r\n" +
                                      (range.empty() ? "" : "[AwardRange]\r\nRange0=" + range + "\r\n"));
}

void type(DrawSession& session, const char* digits)
{
    for (const char* d = digits; *d; ++d)
        session.typeWitnessDigit(QLatin1Char(*d));
}

} // namespace

// Over pools, ranges and digit strings: the commitment, the seed, the
// winners and each replacement's words are what the rule gives, the screen
// shows the commitment and the secret, a restart continues the words, and
// both rafo-verify and an independent checker written from the audit guide agree.
TEST(WitnessedDraw, EveryDrawIsWhatTheRuleGives)
{
    DrawWorker::setInline(true);
    const struct
    {
        const char* names;
        const char* range;
        QStringList admitted;
        int count;
        const char* digits;
    } cases[] = {
        {"a\nb\nc\nd\ne\nf\ng\n", "", {"a", "b", "c", "d", "e", "f", "g"}, 2, "314159265358"},
        {"张伟 研发部\r\n李四 市场部\r\n王五 研发部\r\n赵六 研发部\r\n孙七\r\n",
         "包含 研发部",
         {"张伟 研发部", "王五 研发部", "赵六 研发部"},
         1,
         "0000000000000000000000000000000000000000000000000000000000000009"},
        {"x1\nx2\nx3\nx4\nx5\nx6\nx7\nx8\nx9\n",
         "不含 x5",
         {"x1", "x2", "x3", "x4", "x6", "x7", "x8", "x9"},
         3,
         "99999999999912"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.range);
        TestFolder folder;
        witnessedEvent(folder, c.names, c.range, {c.count, 1});
        auto session = std::make_unique<DrawSession>(folder.event());
        session->open(1920, 1080);
        session->start();
        const QJsonObject commit = last(folder, "commit");
        ASSERT_FALSE(commit.isEmpty());
        const QByteArray admitted = sha((c.admitted.join('\n') + '\n').toUtf8());
        EXPECT_EQ(commit.value("admittedSha256").toString(), QString::fromLatin1(admitted.toHex()));
        EXPECT_EQ(commit.value("admitted").toInt(), c.admitted.size());
        const std::vector<QString> plate = WitnessPlate::lines(session->witness(), true);
        ASSERT_EQ(plate.size(), 2u);
        EXPECT_EQ(QString(plate[0]).remove('-').mid(3),
                  commit.value("commitment").toString().left(32).toUpper());

        type(*session, c.digits);
        session->stop();
        const QJsonObject stop = last(folder, "stop");
        const QByteArray secret = QByteArray::fromHex(stop.value("secret").toString().toLatin1());
        const QByteArray commitment = sha("rafo-2 commit\n" + secret + admitted + littleEndian(0, 4));
        EXPECT_EQ(commit.value("commitment").toString(), QString::fromLatin1(commitment.toHex()));
        EXPECT_EQ(stop.value("digits").toString(), QString::fromLatin1(c.digits));
        const QByteArray seed = sha("rafo-2 seed\n" + commitment + secret + QByteArray(c.digits));
        EXPECT_EQ(stop.value("seed").toString(), QString::fromLatin1(seed.toHex()));
        quint64 word = 0;
        const QStringList winners = pick(seed, c.admitted, c.count, word);
        EXPECT_EQ(strings(stop.value("winners")), winners);
        EXPECT_EQ(quint64(stop.value("words").toInteger()), word);
        EXPECT_TRUE(
            WitnessPlate::lines(session->witness(), true)
                .back()
                .startsWith(QStringLiteral("密钥 ") + QString::fromLatin1(secret.toHex().left(4).toUpper())));

        // A range edited and a replacement: among the admitted names left, from the next word on.
        folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") + "[AwardRange]\r\nRange0=包含 无人\r\n");
        QStringList left = c.admitted;
        for (const QString& winner : winners)
            left.removeOne(winner);
        for (int restart = 0; restart < 2; ++restart) {
            ASSERT_EQ(session->replace(0, 0), DrawEngine::Replaced) << [&] {
                std::wstring told;
                for (const auto& n : session->takeNotices())
                    told += n.text;
                return QString::fromStdWString(told).toStdString();
            }();
            const QJsonObject replace = last(folder, "replace");
            EXPECT_EQ(quint64(replace.value("word").toInteger()), word);
            const QStringList replacement = pick(seed, left, 1, word);
            EXPECT_EQ(strings(replace.value("winners")), replacement);
            EXPECT_EQ(replace.value("seed").toString(), QString::fromLatin1(seed.toHex()));
            left.removeOne(replacement.value(0));
            // Killed and started again: the words go on where they were.
            session = std::make_unique<DrawSession>(folder.event());
            session->open(1920, 1080);
        }
        session.reset();
        const JournalVerifier::Report verified = JournalVerifier::verify(
            folder.event(), {{}, {commit.value("commitment").toString().left(32).toUpper()}});
        EXPECT_EQ(verified.exitCode, JournalVerifier::Verified) << verified.lines.join('\n').toStdString();

        QProcess checker;
        checker.start("python3",
                      {QStringLiteral(RAFO_SOURCE_DIR "/tests/audit/independent_check.py"), folder.path()});
        ASSERT_TRUE(checker.waitForFinished(30000));
        EXPECT_EQ(checker.exitCode(), 0) << checker.readAll().toStdString();
    }
}

// Digits count only once the commitment is on the screen; a stop with too
// few is refused and the names go on; Backspace takes the last one back.
TEST(WitnessedDraw, AStopWaitsForTheDigitsAndTheDigitsForTheCommitment)
{
    TestFolder folder;
    witnessedEvent(folder, "a\nb\nc\nd\n", "", {1});
    DrawWorker::setInline(false);
    DrawSession session(folder.event());
    session.open(1920, 1080);
    bool release = false;
    DrawWorker::setAfterWork([&release] {
        while (!release)
            std::this_thread::yield();
    });
    session.start();
    EXPECT_TRUE(session.witness().committingNow());
    EXPECT_FALSE(session.typeWitnessDigit('1')) << "before the commitment is shown";
    release = true;
    session.settle();
    DrawWorker::setAfterWork({});
    DrawWorker::setInline(true);
    ASSERT_TRUE(session.witness().commit());
    EXPECT_TRUE(session.witness().digits().isEmpty());
    type(session, "12345678901x");
    EXPECT_EQ(session.witness().digits(), "12345678901");
    session.stop();
    EXPECT_TRUE(session.engine().running());
    EXPECT_TRUE(session.witness().refused());
    EXPECT_EQ(WitnessPlate::lines(session.witness(), true).back(), QStringLiteral("见证数字不足 12 位"));
    EXPECT_EQ(WitnessPlate::lines(session.witness(), false).size(), 2u) << "the console tells it";
    EXPECT_TRUE(session.eraseWitnessDigit());
    type(session, "23");
    EXPECT_FALSE(session.witness().refused());
    type(session, std::string(70, '7').c_str());
    EXPECT_EQ(session.witness().digits().size(), Commitment::MaxDigits);
    session.stop();
    EXPECT_FALSE(session.engine().running());
    EXPECT_EQ(last(folder, "stop").value("digits").toString(), "1234567890"
                                                               "23" +
                                                                   QString(52, '7'));
}

// Every way names can stop without a draw leaves its commitment abandoned:
// the next says "第 N 次承诺" and rafo-verify lists each with its reason.
TEST(WitnessedDraw, EveryAbandonedCommitmentIsListed)
{
    DrawWorker::setInline(true);
    Clock::setFixed(1700000000);
    TestFolder folder;
    witnessedEvent(folder, "a\nb\nc\nd\ne\n", "", {1, 1});
    auto session = std::make_unique<DrawSession>(folder.event());
    session->open(1920, 1080);
    const std::vector<std::function<void()>> abandon = {
        [&] { session->restart("redraw"); },
        [&] { session->reloadAfterParticipantEdit(); },
        [&] { session->removePrize(0), session->appendPrize(session->awards().front()); },
        [&] {
            session = std::make_unique<DrawSession>(folder.event());
            session->open(1920, 1080);
        },
        [&] {
            session->close();
            session = std::make_unique<DrawSession>(folder.event());
            session->open(1920, 1080);
        },
    };
    int attempt = 0;
    for (const auto& stopWithoutDraw : abandon) {
        session->start();
        ++attempt;
        EXPECT_EQ(session->witness().attempt(), attempt);
        const std::vector<QString> plate = WitnessPlate::lines(session->witness(), true);
        EXPECT_EQ(plate.front().startsWith(QStringLiteral("第 %1 次承诺 ").arg(attempt)), attempt > 1)
            << attempt;
        stopWithoutDraw();
    }
    session->start();
    type(*session, "123456789012");
    session->stop();
    session->close();
    session.reset();
    const JournalVerifier::Report report = JournalVerifier::verify(folder.event());
    EXPECT_EQ(report.exitCode, JournalVerifier::Discarded) << report.lines.join('\n').toStdString();
    const QString text = report.lines.join('\n');
    EXPECT_EQ(text.count(QStringLiteral("没有抽取, 原因")), 5) << text.toStdString();
    for (const char* why :
         {"重新抽奖", "编辑了抽奖名单", "之后又作了新的承诺", "程序重新启动", "退出时名字仍在滚动"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(why))) << why;
    Clock::setFixed(std::nullopt);
}

// What a rigged program or a forger might write is caught: a secret or
// digits that do not lead to the seed, too few digits, a commitment written
// after its stop or used twice, a replacement's words moved, a photographed
// commitment nobody made.
TEST(WitnessedDraw, ForgeriesAreCaught)
{
    DrawWorker::setInline(true);
    TestFolder folder;
    witnessedEvent(folder, "a\nb\nc\nd\ne\nf\n", "", {2, 1});
    {
        DrawSession session(folder.event());
        session.open(1920, 1080);
        session.start();
        type(session, "123456789012");
        session.stop();
        session.replace(0, 1);
        session.close();
    }
    const std::string honest = folder.read("Journal/journal.jsonl");
    const auto at = [](std::vector<QJsonObject>& lines, const char* type) -> QJsonObject& {
        return *std::find_if(lines.begin(), lines.end(),
                             [type](const QJsonObject& e) { return e.value("type") == QLatin1String(type); });
    };
    const struct
    {
        const char* what;
        std::function<void(std::vector<QJsonObject>&)> change;
        const char* told;
    } cases[] = {
        {"digits", [&](auto& l) { at(l, "stop").insert("digits", "123456789013"); }, "种子不是由"},
        {"secret", [&](auto& l) { at(l, "stop").insert("secret", QString(64, 'a')); }, "密钥与承诺不符"},
        {"too few digits",
         [&](auto& l) {
             QJsonObject& stop = at(l, "stop");
             stop.insert("digits", "1234");
             const QByteArray seed =
                 sha("rafo-2 seed\n" + QByteArray::fromHex(stop.value("commitment").toString().toLatin1()) +
                     QByteArray::fromHex(stop.value("secret").toString().toLatin1()) + "1234");
             stop.insert("seed", QString::fromLatin1(seed.toHex()));
         },
         "不是 12 到 64 位数字"},
        {"commit after stop",
         [&](auto& l) {
             const auto commit = std::find_if(
                 l.begin(), l.end(), [](const QJsonObject& e) { return e.value("type") == "commit"; });
             const QJsonObject moved = *commit;
             l.erase(commit);
             l.push_back(moved);
         },
         "之前没有它的承诺"},
        {"used twice", [&](auto& l) { l.push_back(at(l, "stop")); }, "承诺已被"},
        {"word", [&](auto& l) { at(l, "replace").insert("word", 0); }, "补抽从第 0 个数开始"},
        {"fewer than asked", [&](auto& l) { at(l, "stop").insert("witnessDigits", 14); },
         "不是 14 到 64 位数字"},
    };
    for (const auto& c : cases) {
        folder.write("Journal/journal.jsonl", honest);
        forge(folder, c.change);
        const JournalVerifier::Report report = JournalVerifier::verify(folder.event());
        EXPECT_EQ(report.exitCode, JournalVerifier::Faulty) << c.what;
        EXPECT_TRUE(report.lines.join('\n').contains(QString::fromUtf8(c.told)))
            << c.what << '\n'
            << report.lines.join('\n').toStdString();
    }
    folder.write("Journal/journal.jsonl", honest);
    const JournalVerifier::Report photographed = JournalVerifier::verify(
        folder.event(), {{}, {QStringLiteral("0123-4567-89AB-CDEF-0123-4567-89AB-CDEF")}});
    EXPECT_EQ(photographed.exitCode, JournalVerifier::Faulty);
}
