#include "data/DrawJournal.h"
#include "app/ScreenTestSupport.h"
#include "data/JournalVerifier.h"

#include <QAction>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

namespace {

std::vector<QJsonObject> journal(const EventFolder& folder)
{
    std::vector<QJsonObject> entries;
    for (const QString& line :
         QString::fromUtf8(QByteArray::fromStdString(folder.read("Journal/journal.jsonl")))
             .split('\n', Qt::SkipEmptyParts))
        entries.push_back(QJsonDocument::fromJson(line.toUtf8()).object());
    return entries;
}

QString types(const std::vector<QJsonObject>& entries)
{
    QStringList list;
    for (const QJsonObject& entry : entries)
        list << entry.value("type").toString();
    return list.join(", ");
}

} // namespace

// An event with three prizes, a replacement and a restart in the middle.
class DrawJournalTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        SetUpScreen(10, {3, 2, 1});
        draw();
        draw();
        recorder.setNextAnswer(MsgBox::IdOk);
        screen->ReplaceAbsentWinner(0);
        screen.reset();
        Clock::setFixed(1700000100);
        screen = std::make_unique<CRafoDlg>();
        screen->OnInitDialog(QRect(0, 0, 1920, 1080));
        draw();
        QTest::keyClick(screen.get(), Qt::Key_Space);
        screen.reset();
    }

    void draw()
    {
        QTest::keyClick(screen.get(), Qt::Key_Space);
        QTest::keyClick(screen.get(), Qt::Key_Space);
    }

    MessageRecorder recorder;
};

TEST_F(DrawJournalTest, RecordsTheWholeEventAndEveryDrawReplays)
{
    const std::vector<QJsonObject> entries = journal(folder);
    EXPECT_EQ(types(entries), "start, stop, stop, replace, exit, start, stop, result screen, exit");
    EXPECT_EQ(entries[0].value("participants").toInt(), 10);
    EXPECT_EQ(entries[1].value("seed").toInteger(), 1700000000);
    EXPECT_EQ(entries[1].value("winners").toArray().size(), 3);
    EXPECT_EQ(entries[3].value("absent").toString(), entries[2].value("winners").toArray()[0].toString());
    EXPECT_EQ(entries[5].value("storedCount").toInt(), 2) << "the restart restored two prizes";
    EXPECT_EQ(entries[5].value("poolSize").toInt(), 10 - 3 - 2 - 1) << "the absent winner stays out";
    EXPECT_TRUE(QFile::exists(folder.filePath(
        "Journal/" + DrawJournal::keptListName(entries[0].value("participantsSha256").toString()))));

    const JournalVerifier::Report report = JournalVerifier::verify();
    ASSERT_TRUE(report.ok) << report.lines.join('\n').toStdString();
    ASSERT_EQ(report.lines.size(), 5);
    EXPECT_TRUE(
        report.lines[0].startsWith(QString::fromUtf8("第 1 项 Prize0: 3 名, 种子 1700000000, 可复现")));
    EXPECT_TRUE(report.lines[2].contains(QString::fromUtf8("补抽")));
}

TEST_F(DrawJournalTest, AnyHandEditIsReported)
{
    const std::string store = folder.read("AwardResult.ini");
    const std::string log = folder.read("Journal/journal.jsonl");
    const QString list =
        "Journal/" + DrawJournal::keptListName(journal(folder)[0].value("participantsSha256").toString());
    const std::string names = folder.read(list);
    struct Case
    {
        const char* what;
        std::function<void()> edit;
        const char* reported;
    };
    const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string firstWinner = journal(folder)[1].value("winners").toArray()[0].toString().toStdString();
    const Case cases[] = {
        {"a winner in the store",
         [&] { folder.write("AwardResult.ini", replaced(store, firstWinner, "nobody")); },
         "第 1 项 Prize0: AwardResult.ini"},
        {"a seed",
         [&] {
             folder.write("Journal/journal.jsonl",
                          replaced(log, "\"seed\":1700000000", "\"seed\":1700000001"));
         },
         "不可复现"},
        {"a list", [&] { folder.write(list, replaced(names, "p1\n", "p11\n")); }, "已被改动"},
        {"a missing list", [&] { QFile::remove(folder.filePath(list)); }, "缺少名单"},
    };
    for (const Case& c : cases) {
        c.edit();
        const JournalVerifier::Report report = JournalVerifier::verify();
        EXPECT_FALSE(report.ok) << c.what;
        EXPECT_TRUE(report.lines.join('\n').contains(QString::fromUtf8(c.reported)))
            << c.what << ":\n"
            << report.lines.join('\n').toStdString();
        folder.write("AwardResult.ini", store);
        folder.write("Journal/journal.jsonl", log);
        folder.write(list, names);
    }
}

TEST_F(ScreenTest, AnAbsentWinnerIsReplacedFromThePoolOnceAskedAndTheShowTellsAJournalItCannotWrite)
{
    SetUpScreen(4, {2, 1});
    MessageRecorder recorder;
    QFile::setPermissions(folder.filePath("Journal/journal.jsonl"), QFile::ReadOwner);
    QTest::keyClick(screen.get(), Qt::Key_Space);
    QTest::keyClick(screen.get(), Qt::Key_Space);
    QTest::keyClick(screen.get(), Qt::Key_Space);
    QTest::keyClick(screen.get(), Qt::Key_Space);
    EXPECT_EQ(recorder.texts(), std::vector<std::wstring>{L"无法写入抽奖记录:Journal/journal.jsonl"})
        << "told once, the show goes on";
    EXPECT_NE(folder.read("AwardResult.ini").find("Cnt=2"), std::string::npos);

    const Rect names = screen->area(AreaScroll).m_rect;
    EXPECT_EQ(screen->replaceableRowAt(QPoint(names.left + 5, names.top + 5)), 0);
    EXPECT_EQ(screen->replaceableRowAt(QPoint(names.left - 5, names.top + 5)), -1);
    const std::string exportBefore = folder.read("Result.txt");
    const tstring absent = screen->engine().m_awards[1].winners[0];

    struct Case
    {
        int answer;
        bool replaced;
        std::wstring told;
    };
    const Case cases[] = {{MsgBox::IdCancel, false, L""},
                          {MsgBox::IdOk, true, L""},
                          {MsgBox::IdOk, false, CRafoDlg::NobodyToReplace}};
    for (const Case& c : cases) {
        recorder.clear();
        recorder.setNextAnswer(c.answer);
        const tstring before = screen->engine().m_awards[1].winners[0];
        screen->ReplaceAbsentWinner(0);
        ASSERT_FALSE(recorder.texts().empty());
        EXPECT_EQ(recorder.texts()[0], before + CRafoDlg::ReplaceQuestion);
        EXPECT_EQ(screen->engine().m_awards[1].winners[0] != before, c.replaced);
        EXPECT_EQ(recorder.texts().size() > 1 ? recorder.texts()[1] : L"", c.told);
    }
    EXPECT_TRUE(screen->engine().m_pool.empty());
    const tstring replacement = screen->engine().m_awards[1].winners[0];
    EXPECT_NE(replacement, absent);
    EXPECT_NE(folder.read("AwardResult.ini").find(QString::fromStdWString(replacement).toStdString()),
              std::string::npos);
    EXPECT_GT(folder.read("Result.txt").size(), exportBefore.size()) << "the last prize's summary again";
}

TEST_F(ScreenTest, AStoreThatCannotBeWrittenKeepsWhatItHeldAndTheJournalExplainsTheDrawAgain)
{
    SetUpScreen(10, {3, 2, 1});
    const auto draw = [this] {
        QTest::keyClick(screen.get(), Qt::Key_Space);
        QTest::keyClick(screen.get(), Qt::Key_Space);
    };
    const QString store = folder.filePath("AwardResult.ini");
    draw();
    const std::string stored = folder.read("AwardResult.ini");
    MessageRecorder recorder;
    QFile::setPermissions(store, QFile::ReadOwner);
    draw();
    screen.reset();
    EXPECT_EQ(recorder.texts(), std::vector<std::wstring>{L"无法写入文件:.\\AwardResult.ini"}) << "told once";
    EXPECT_EQ(folder.read("AwardResult.ini"), stored);
    // A kill in the middle of a line: the next start cuts it off and says so.
    folder.write("Journal/journal.jsonl", folder.read("Journal/journal.jsonl") + "{\"type\":\"stop\",\"pri");

    QFile::setPermissions(store, QFile::ReadOwner | QFile::WriteOwner);
    screen = std::make_unique<CRafoDlg>();
    screen->OnInitDialog(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(types(journal(folder)), "start, stop, stop, store failed, store failed, exit, torn, start");
    EXPECT_EQ(screen->engine().m_current, 0) << "the first prize is back, the second is drawn again";
    EXPECT_EQ(screen->engine().m_pool.size(), 7u);
    draw();
    screen.reset();
    JournalVerifier::Report report = JournalVerifier::verify();
    EXPECT_TRUE(report.ok) << report.lines.join('\n').toStdString();
    EXPECT_TRUE(report.lines.join('\n').contains(QString::fromUtf8("没有写完, 已去掉 (19 字节)")));
    EXPECT_TRUE(report.lines.join('\n').contains(
        QString::fromUtf8("重新启动时只恢复了 1 项, 抽奖记录为 2 项 (AwardResult.ini 写入失败")));

    // Without the failed writes on record, a draw lost at a restart is a fault.
    QString log = QString::fromStdString(folder.read("Journal/journal.jsonl"));
    log.remove(QRegularExpression("[^\n]*store failed[^\n]*\n"));
    folder.write("Journal/journal.jsonl", log.toStdString());
    report = JournalVerifier::verify();
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(
        report.lines.join('\n').contains(QString::fromUtf8("重新启动时只恢复了 1 项, 抽奖记录为 2 项")));
}
