#include "app/DrawSession.h"
#include "data/CsvReader.h"
#include "data/JournalVerifier.h"
#include "data/WinnersTable.h"
#include "platform/IniDocument.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"
#include "support/TestEvent.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <thread>
#include <unistd.h>

namespace {

const char* const KillAt = "RAFO_KILL_AT";
const char* const KillFolder = "RAFO_KILL_FOLDER";

// The show as an operator runs it, passing every kind of write of an event:
// the start, stops, a replacement, a change of the prize table, the result
// screen and the exit.
void runEvent(const EventFolder& folder)
{
    DrawSession session(folder);
    session.open(1920, 1080);
    for (int prize = 0; prize < 2; ++prize) {
        session.start();
        session.stop();
    }
    session.replace(0);
    AwardItem renamed = session.awards()[2];
    renamed.awardName = L"Renamed";
    session.changePrize(2, renamed);
    session.start();
    session.stop();
    session.startAction();
    session.close();
}

// In the child: the event runs until the kill point the parent chose, where
// the program ends as a kill ends it; without one it says how many it passed.
void runUntilKilled(const EventFolder& folder, int killAt)
{
    int points = 0;
    const std::thread::id main = std::this_thread::get_id();
    TextFile::setKillPoint([&points, killAt, main] {
        // The prize desk's table is written on a thread of its own and rebuilt at every start.
        if (std::this_thread::get_id() == main && ++points == killAt)
            ::_exit(9);
    });
    runEvent(folder);
    std::printf("kill points: %d\n", points);
}

// Runs the event in a child process of this test program, killed at that point.
QByteArray runChild(const QString& folder, int killAt)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(KillAt, QString::number(killAt));
    environment.insert(KillFolder, folder);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=Crash.*"});
    child.waitForFinished(-1);
    return child.readAll();
}

std::map<int, std::vector<tstring>> storedWinners(const TestFolder& folder)
{
    std::string bytes;
    TextFile::readAll(folder.filePath("AwardResult.ini"), bytes);
    const IniDocument store = IniDocument::fromBytes(bytes);
    std::map<int, std::vector<tstring>> winners;
    const int count = IniFile::readInt(store, L"AwardResult", L"Cnt", 0);
    for (int i = 0; i < count && i < 3; ++i) {
        const tstring joined(
            IniFile::readString(store, L"AwardResult", L"Itme" + std::to_wstring(i), L"", 1 << 20));
        winners[i] = joined.empty() ? std::vector<tstring>() : joined.Tokenize(L"|", false);
    }
    return winners;
}

} // namespace

// A kill before or after any rename, sync or journal line of an event: the
// restart loses no winner and doubles none, the prize desk's table is the
// store's, and the checker explains what happened (0 or 2), never calls it
// forged.
TEST(Crash, AKillAtAnyWriteLosesNoWinnerAndNeverLooksForged)
{
    if (const QByteArray killAt = qgetenv(KillAt); !killAt.isEmpty()) {
        runUntilKilled(EventFolder(QString::fromLocal8Bit(qgetenv(KillFolder))), killAt.toInt());
        return;
    }
    int points = 0;
    {
        TestFolder folder;
        TestEvent::make(folder, 30, {3, 2, 2});
        const QByteArray output = runChild(folder.path(), 0);
        ASSERT_EQ(
            std::sscanf(output.mid(output.indexOf("kill points:")).constData(), "kill points: %d", &points),
            1)
            << output.toStdString();
    }
    ASSERT_GT(points, 20);
    std::printf("killing at each of %d points\n", points);
    for (int killAt = 1; killAt <= points; ++killAt) {
        TestFolder folder;
        TestEvent::make(folder, 30, {3, 2, 2});
        runChild(folder.path(), killAt);
        const std::map<int, std::vector<tstring>> stored = storedWinners(folder);
        DrawSession restarted(folder.event());
        restarted.open(1920, 1080);
        std::map<tstring, int> seen;
        std::map<tstring, int> won;
        for (int i = 0; i < restarted.engine().prizeCount(); ++i) {
            const std::vector<tstring>& winners = restarted.engine().award(i).winners;
            if (stored.count(i)) {
                EXPECT_EQ(winners, stored.at(i)) << "killed at " << killAt << ": prize " << i;
            }
            for (const tstring& winner : winners) {
                ++seen[winner];
                won[winner] += restarted.engine().isFinishedForDisplay(i);
            }
        }
        for (const tstring& absent : restarted.engine().absent())
            ++seen[absent];
        for (const auto& [name, times] : seen)
            EXPECT_EQ(times, 1) << "killed at " << killAt << ": "
                                << QString::fromStdWString(name).toStdString();
        restarted.close();

        ImportTable table;
        ASSERT_TRUE(CsvReader::parse(QByteArray::fromStdString(folder.read(WinnersTable::CsvFile)), table));
        std::map<tstring, int> listed;
        for (size_t r = 1; r < table.rows.size(); ++r) {
            if (!table.rows[r].value(0).isEmpty())
                ++listed[table.rows[r].value(3).toStdWString()];
        }
        for (auto entry = won.begin(); entry != won.end();)
            entry = entry->second == 0 ? won.erase(entry) : std::next(entry);
        EXPECT_EQ(listed, won) << "killed at " << killAt << ": the table is the store's";

        const JournalVerifier::Report report = JournalVerifier::verify(folder.event());
        EXPECT_NE(report.exitCode, JournalVerifier::Faulty) << "killed at " << killAt << ":\n"
                                                            << report.lines.join('\n').toStdString();
    }
}
