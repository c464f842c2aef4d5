#include "data/JournalVerifier.h"
#include "app/DrawSession.h"
#include "app/PoolDigest.h"
#include "data/DrawJournal.h"
#include "data/JournalEntry.h"
#include "platform/Clock.h"
#include "support/MessageRecorder.h"
#include "support/TestEvent.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

void draw(DrawSession& session)
{
    session.start();
    session.stop();
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// A journal as it was written before the rule rafo-1: no chain, the second
// of the clock as the seed.
void writeOldJournal(TestFolder& folder)
{
    DrawEngine engine;
    std::vector<tstring> people;
    for (int i = 0; i < 10; ++i)
        people.push_back(L"p" + std::to_wstring(i));
    AwardItem prize;
    prize.awardName = L"Prize0";
    prize.winnerCount = 3;
    engine.load(people, {prize});
    JournalEntry::Start start;
    start.reason = "launch";
    start.participants = 10;
    start.participantsDigest = QString::fromStdWString(PoolDigest(people));
    start.prizes = engine.awards();
    start.poolSize = 10;
    start.poolDigest = start.participantsDigest;
    folder.write("Journal/" + DrawJournal::keptListName(start.participantsDigest), PoolText(people));
    engine.StartDraw();
    DrawRecord record;
    record.poolDigest = start.participantsDigest.toStdWString();
    engine.StopDraw(DrawSeed::crtSecond(1700000000), record);
    std::string journal;
    for (QJsonObject entry : {JournalEntry::start(start), JournalEntry::stop(record, engine.award(0))}) {
        entry.insert("time", 1700000000);
        journal += QJsonDocument(entry).toJson(QJsonDocument::Compact).toStdString() + "\n";
    }
    folder.write("Journal/journal.jsonl", journal);
    folder.write("AwardResult.ini",
                 "[AwardResult]\r\nCnt=1\r\nItme0=" +
                     QString::fromStdWString(engine.award(0).winners[0] + L"|" + engine.award(0).winners[1] +
                                             L"|" + engine.award(0).winners[2])
                         .toStdString() +
                     "\r\n");
}

// The journal with `edit` applied to its entries and chained again, as a forger would.
void rechain(TestFolder& folder, const std::function<void(std::vector<QJsonObject>&)>& edit)
{
    std::vector<QJsonObject> entries;
    for (const QByteArray& line : QByteArray::fromStdString(folder.read(DrawJournal::FileName)).split('\n')) {
        if (!line.isEmpty())
            entries.push_back(QJsonDocument::fromJson(line).object());
    }
    edit(entries);
    QString prev;
    std::string journal;
    for (QJsonObject& entry : entries) {
        entry.insert("prev", prev);
        const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact);
        prev = DrawJournal::lineHash(line);
        journal += line.toStdString() + "\n";
    }
    folder.write(DrawJournal::FileName, journal);
}

// The fingerprint of the journal's last line of that type.
QString lastFingerprint(TestFolder& folder, const char* type)
{
    QString fingerprint;
    for (const QByteArray& line : QByteArray::fromStdString(folder.read(DrawJournal::FileName)).split('\n')) {
        if (line.contains(QByteArray("\"type\":\"") + type + "\""))
            fingerprint = DrawJournal::fingerprint(line);
    }
    return fingerprint;
}

} // namespace

// Whatever the folder holds, the checker answers: faults and forgeries with
// exit 1, draws thrown away, the old rule and the accidents of an honest
// event (a kill, a clock set back, a late prize) with exit 2, honest events with 0.
TEST(JournalVerifier, AnswersEveryFolderAndTellsFaultsDiscardedDrawsAndHonestEventsApart)
{
    // What the show does after its first draw, and what is done to the folder after the show.
    using During = std::function<void(std::unique_ptr<DrawSession>&)>;
    using After = std::function<void(TestFolder&)>;
    const auto stopLine = [](TestFolder& folder) {
        for (const QString& line : QString::fromStdString(folder.read("Journal/journal.jsonl")).split('\n')) {
            if (line.contains(QStringLiteral("\"type\":\"stop\"")))
                return line.toStdString();
        }
        return std::string();
    };
    const auto keptList = [](TestFolder& folder) {
        const QJsonObject start =
            QJsonDocument::fromJson(
                QByteArray::fromStdString(folder.read("Journal/journal.jsonl")).split('\n')[0])
                .object();
        return folder.filePath("Journal/" +
                               DrawJournal::keptListName(start.value("participantsSha256").toString()));
    };
    const auto editStop = [&](const std::string& from, const std::string& to) {
        return [&, from, to](TestFolder& folder) {
            const std::string stop = stopLine(folder);
            folder.write("Journal/journal.jsonl",
                         replaced(folder.read("Journal/journal.jsonl"), stop, replaced(stop, from, to)));
        };
    };
    const auto linked = [](const char* name, const char* target) {
        return [name, target](TestFolder& folder) {
            QFile::remove(folder.filePath(name));
            ASSERT_TRUE(QFile::link(target, folder.filePath(name)));
        };
    };
    const auto fifo = [](const char* name) {
        return [name](TestFolder& folder) {
            QFile::remove(folder.filePath(name));
            ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath(name)).constData(), 0600), 0);
        };
    };
    const auto again = [](std::unique_ptr<DrawSession>& session) {
        session->close();
        session = std::make_unique<DrawSession>(session->folder());
        session->open(1920, 1080);
    };
    const auto resultScreen = [](std::unique_ptr<DrawSession>& session) {
        draw(*session);
        session->startAction();
    };
    // The folder as a kill left it: the store and the journal.
    std::pair<std::string, std::string> atKill;
    const char* TwoZhangWei = "A1 张伟 研发部\r\nA2 张伟 市场部\r\nA3 李娜 研发部\r\nA4 王芳 财务部\r\n"
                              "A5 赵敏 研发部\r\nA6 钱勇 市场部\r\n";
    struct Case
    {
        const char* what;
        During during;
        After after;
        int exitCode;
        const char* told;
        // The ranges of the two prizes, declared before the show.
        const char* ranges = nullptr;
        const char* people = nullptr;
        // The types of the lines whose fingerprints the audience photographed.
        std::vector<const char*> photographed = {};
    };
    const Case cases[] = {
        {"an honest event", nullptr, nullptr, JournalVerifier::Verified, "全部可复现"},
        {"the journal a link to a device", nullptr, linked("Journal/journal.jsonl", "/dev/zero"),
         JournalVerifier::Faulty, "不是普通文件"},
        {"the store a link to a device", nullptr, linked("AwardResult.ini", "/dev/zero"),
         JournalVerifier::Faulty, "AwardResult.ini 不是普通文件"},
        {"the journal a link out of the folder", nullptr, linked("Journal/journal.jsonl", "/etc/hostname"),
         JournalVerifier::Faulty, "不是普通文件"},
        {"the journal a FIFO", nullptr, fifo("Journal/journal.jsonl"), JournalVerifier::Faulty,
         "不是普通文件"},
        {"the store a FIFO", nullptr, fifo("AwardResult.ini"), JournalVerifier::Faulty,
         "AwardResult.ini 不是普通文件"},
        {"a sparse kept list of a gigabyte", nullptr,
         [&](TestFolder& folder) { ASSERT_TRUE(QFile::resize(keptList(folder), qint64(1) << 30)); },
         JournalVerifier::Faulty, "超过 256 MiB"},
        {"a kept list named out of the folder", nullptr,
         [](TestFolder& folder) {
             const std::string log = folder.read("Journal/journal.jsonl");
             const size_t at = log.find("\"participantsSha256\":\"") + 22;
             folder.write("Journal/journal.jsonl", log.substr(0, at) + "../../x" + log.substr(at + 64));
         },
         JournalVerifier::Faulty, "\"participantsSha256\" 不是 64 位十六进制摘要"},
        {"a prize number written as text", nullptr, editStop("\"prize\":0", "\"prize\":\"0\""),
         JournalVerifier::Faulty, "\"prize\" 不是范围内的整数"},
        {"a prize number far beyond any table", nullptr, editStop("\"prize\":0", "\"prize\":1099511627776"),
         JournalVerifier::Faulty, "\"prize\" 不是范围内的整数"},
        {"positions that are no list", nullptr,
         editStop("\"positions\":[", "\"positions\":{\"a\":1},\"x\":["), JournalVerifier::Faulty,
         "\"positions\" 不是列表"},
        {"a journal over a gigabyte", nullptr,
         [](TestFolder& folder) {
             ASSERT_TRUE(QFile::resize(folder.filePath("Journal/journal.jsonl"), (qint64(1) << 30) + 1));
         },
         JournalVerifier::Faulty, "超过 1024 MiB"},
        {"a line over 64 MiB", nullptr,
         [](TestFolder& folder) {
             const QString journal = folder.filePath("Journal/journal.jsonl");
             ASSERT_TRUE(QFile::resize(journal, QFileInfo(journal).size() + (qint64(65) << 20)));
         },
         JournalVerifier::Faulty, "超过 64 MiB"},
        {"an empty journal and an empty store", nullptr,
         [](TestFolder& folder) {
             folder.write("Journal/journal.jsonl", "");
             folder.write("AwardResult.ini", "");
         },
         JournalVerifier::Faulty, "没有抽奖记录"},
        {"a kill after the result screen opened",
         [&](std::unique_ptr<DrawSession>& session) {
             draw(*session);
             session->startAction();
             atKill = {readFile(session->folder().file("AwardResult.ini")),
                       readFile(session->folder().file("Journal/journal.jsonl"))};
         },
         [&](TestFolder& folder) {
             folder.write("AwardResult.ini", atKill.first);
             folder.write("Journal/journal.jsonl", atKill.second);
         },
         JournalVerifier::Verified, "共 2 次抽取, 全部可复现, 与 AwardResult.ini 一致"},
        {"a redraw after a draw",
         [](std::unique_ptr<DrawSession>& session) {
             session->restart("redraw");
             draw(*session);
         },
         nullptr, JournalVerifier::Discarded, "原因: 重新抽奖"},
        {"a journal from before rafo-1", nullptr, writeOldJournal, JournalVerifier::Discarded,
         "种子 1700000000 (旧规则)"},
        {"a prize edited while its names cycle",
         [](std::unique_ptr<DrawSession>& session) {
             session->start();
             AwardItem renamed = session->awards()[1];
             renamed.awardName = L"Renamed";
             session->changePrize(1, renamed);
             session->stop();
         },
         nullptr, JournalVerifier::Verified, "第 2 项 Renamed: 2 名"},
        {"the participant list replaced between two runs",
         [&](std::unique_ptr<DrawSession>& session) {
             writeFile(session->folder().file("data.txt"), "q0\r\nq1\r\nq2\r\np1\r\n");
             again(session);
             draw(*session);
         },
         nullptr, JournalVerifier::Discarded, "名单在两次启动之间被改动: 增加 3 人, 去掉 9 人"},
        {"a drawn prize deleted, then a restart",
         [&](std::unique_ptr<DrawSession>& session) {
             session->removePrize(0);
             const size_t pool = session->engine().pool().size();
             again(session);
             EXPECT_EQ(session->engine().pool().size(), pool) << "its winners stay out";
         },
         nullptr, JournalVerifier::Verified, "全部可复现"},
        {"prizes drawn within their ranges and a replacement from one",
         [](std::unique_ptr<DrawSession>& session) {
             draw(*session);
             session->replace(0);
         },
         nullptr, JournalVerifier::Verified, "全部可复现",
         "Range0=不含 p1\r\nRange1=排除 vip.txt 且 不含 p2\r\n"},
        {"a winner forged from outside the range", nullptr,
         editStop("\"winners\":[\"", "\"winners\":[\"p1\",\""), JournalVerifier::Faulty,
         "第 1 项 Prize0的中奖者 p1 不在抽奖范围 \"不含 p1\" 内", "Range0=不含 p1\r\n"},
        {"a draw over another range than the table declared", nullptr,
         editStop("\"scope\":\"不含 p1\"", "\"scope\":\"不含 p3\""), JournalVerifier::Faulty,
         "按抽奖范围 \"不含 p3\" 抽取, 奖项表声明的是 \"不含 p1\"", "Range0=不含 p1\r\n"},
        {"a range's admitted count changed", nullptr, editStop("\"admitted\":9", "\"admitted\":10"),
         JournalVerifier::Faulty, "不可复现", "Range0=不含 p1\r\n"},
        {"a list of names alone excluding them by a word of the line", nullptr, nullptr,
         JournalVerifier::Verified, "全部可复现", "Range0=排除 vip.txt\r\n", TwoZhangWei},
        {"the same stop read as written before words matched: whole lines only", nullptr,
         editStop("\"exclusionMatch\":\"word\",", ""), JournalVerifier::Faulty, "不可复现",
         "Range0=排除 vip.txt\r\n", TwoZhangWei},
        {"a kill between a replacement's journal line and its store write",
         [&](std::unique_ptr<DrawSession>& session) {
             const std::string store = readFile(session->folder().file("AwardResult.ini"));
             session->replace(0);
             writeFile(session->folder().file("AwardResult.ini"), store);
             session = std::make_unique<DrawSession>(session->folder());
             session->open(1920, 1080);
         },
         nullptr,
         JournalVerifier::Discarded,
         "原因: 重新启动时补抽没有存入 AwardResult.ini",
         nullptr,
         nullptr,
         {}},
        {"a clock stepped back",
         [](std::unique_ptr<DrawSession>& session) {
             Clock::setFixed(1000000000);
             draw(*session);
             Clock::setFixed(std::nullopt);
         },
         nullptr,
         JournalVerifier::Discarded,
         "的时间早于上一行",
         nullptr,
         nullptr,
         {}},
        {"a journal of one launch that brings back winners",
         again,
         [](TestFolder& folder) {
             rechain(folder, [](std::vector<QJsonObject>& entries) {
                 entries.erase(entries.begin(), entries.end() - 2);
                 entries.pop_back();
             });
         },
         JournalVerifier::Discarded,
         "3 名中奖者不是本记录中的抽取",
         nullptr,
         nullptr,
         {}},
        {"the result screen photographed",
         resultScreen,
         nullptr,
         JournalVerifier::Verified,
         "全部可复现",
         nullptr,
         nullptr,
         {"result screen", "stop"}},
        {"a prize drawn after the photographed result screen",
         [&](std::unique_ptr<DrawSession>& session) {
             resultScreen(session);
             AwardItem late;
             late.awardName = L"Late";
             late.winnerCount = 1;
             session->appendPrize(late);
             draw(*session);
         },
         nullptr,
         JournalVerifier::Discarded,
         "在第 4 行的结果屏幕之后, 没有照片为证",
         nullptr,
         nullptr,
         {"result screen"}},
        {"a line put in before the photographed result screen",
         resultScreen,
         [](TestFolder& folder) {
             rechain(folder, [](std::vector<QJsonObject>& entries) {
                 entries.insert(entries.end() - 2, entries[entries.size() - 3]);
             });
         },
         JournalVerifier::Faulty,
         "不是抽奖记录中任何一次抽取或结果屏幕的记录",
         nullptr,
         nullptr,
         {"result screen"}},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        TestEvent::make(folder, 10, {3, 2});
        if (c.ranges) {
            folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") + "[AwardRange]\r\n" + c.ranges);
            folder.write("vip.txt", "p3\r\n张伟\r\n");
        }
        if (c.people)
            folder.write("data.txt", c.people);
        MessageRecorder recorder;
        auto session = std::make_unique<DrawSession>(folder.event());
        session->open(1920, 1080);
        draw(*session);
        if (c.during)
            c.during(session);
        session->close();
        JournalVerifier::Options photos;
        for (const char* type : c.photographed)
            photos.fingerprints << lastFingerprint(folder, type);
        if (c.after)
            c.after(folder);
        const JournalVerifier::Report report = JournalVerifier::verify(folder.event(), photos);
        const QString told = report.lines.join('\n');
        EXPECT_EQ(report.exitCode, c.exitCode) << c.what << ":\n" << told.toStdString();
        EXPECT_TRUE(told.contains(QString::fromUtf8(c.told))) << c.what << ":\n" << told.toStdString();
    }
}
