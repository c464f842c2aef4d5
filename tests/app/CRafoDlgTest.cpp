#include "app/CAboutDlg.h"
#include "app/ScreenTestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPaintEvent>
#include <QTest>

namespace {

const QPoint InStart(1200, 940);
const QPoint InStop(1600, 940);

} // namespace

TEST_F(ScreenTest, TheZonesStartAndStopTheDraw)
{
    SetUpScreen(30, {3, 2});
    QTest::mouseClick(screen, Qt::LeftButton, {}, InStop);
    EXPECT_EQ(screen->engine().current(), -1) << "stop does nothing while nothing runs";
    QTest::mouseClick(screen, Qt::LeftButton, {}, InStart);
    EXPECT_EQ(screen->engine().running(), true);
    EXPECT_TRUE(screen->isCycling());
    QTest::mouseClick(screen, Qt::LeftButton, {}, InStart);
    EXPECT_EQ(screen->engine().current(), 0) << "start does nothing while names cycle";
    QTest::mouseClick(screen, Qt::LeftButton, {}, InStop);
    EXPECT_EQ(screen->engine().running(), false);
    EXPECT_FALSE(screen->isCycling());
    EXPECT_EQ(screen->engine().award(0).winners.size(), 3u);
    EXPECT_NE(folder.read("AwardResult.ini").find("Cnt=1\r\n"), std::string::npos) << "stored at once";
}

TEST_F(ScreenTest, SpaceTogglesAndAfterTheLastPrizeOpensTheResultScreen)
{
    SetUpScreen(30, {3});
    QTest::keyClick(screen, Qt::Key_Space);
    EXPECT_EQ(screen->engine().running(), true);
    QTest::keyClick(screen, Qt::Key_Space);
    EXPECT_EQ(screen->engine().running(), false);
    EXPECT_EQ(screen->engine().award(0).winners.size(), 3u);
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::mouseClick(screen, Qt::LeftButton, {}, InStart);
    EXPECT_EQ(dialogs, (std::vector<QString>{"CResultDlg", "CResultDlg", "CResultDlg"}));
    EXPECT_EQ(screen->engine().current(), 1);
    screen->OnCommand(ShowCommand::IdStart);
    EXPECT_EQ(dialogs.size(), 3u) << "the hidden start button does not open it";
}

TEST_F(ScreenTest, WhereTheZonesOverlapStartWins)
{
    SetUpScreen(30, {3});
    folder.write("AwardInfo.ini",
                 folder.read("AwardInfo.ini")
                     .replace(folder.read("AwardInfo.ini").find("stopx1=1500"), 11, "stopx1=1200"));
    openScreen(QRect(0, 0, 1920, 1080));
    QTest::mouseClick(screen, Qt::LeftButton, {}, QPoint(1300, 940));
    EXPECT_EQ(screen->engine().running(), true);
    QTest::mouseClick(screen, Qt::LeftButton, {}, QPoint(1300, 940));
    EXPECT_EQ(screen->engine().running(), true) << "the start zone swallows the click";
    QTest::mouseClick(screen, Qt::LeftButton, {}, QPoint(1700, 940));
    EXPECT_EQ(screen->engine().running(), false);
}

TEST_F(ScreenTest, EscapeIsIgnoredAndEnterEndsTheShowWithTheResultsStored)
{
    SetUpScreen(30, {3, 2, 1});
    screen->show();
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::keyClick(screen, Qt::Key_Escape);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->result(), 0);
    QTest::keyClick(screen, Qt::Key_Return);
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(screen->result(), int(QDialog::Accepted));
    const std::string store = folder.read("AwardResult.ini");
    EXPECT_NE(store.find("[AwardResult]\r\nCnt=1\r\nItme0="), std::string::npos)
        << "the cycling prize is not stored";
    EXPECT_EQ(store.find("Itme1"), std::string::npos);
}

TEST_F(ScreenTest, ARightClickOnATextAreaOpensTheMenu)
{
    SetUpScreen(30, {3});
    struct Case
    {
        QPoint at;
        int selected;
        size_t menus;
    } cases[] = {{QPoint(900, 100), 0, 1},
                 {QPoint(1000, 500), 3, 2},
                 {QPoint(10, 270), -1, 2},
                 {QPoint(500, 1000), 7, 3}};
    for (const Case& c : cases) {
        QTest::mouseClick(screen, Qt::RightButton, {}, c.at);
        EXPECT_EQ(screen->selectedArea(), c.selected) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(menus.size(), c.menus);
    }
    EXPECT_EQ(menus.back(), QString("menu129"));
}

// One click of 重新抽奖 throws no winner away: it asks, No by default; with
// nothing drawn it asks nothing.
TEST_F(ScreenTest, RedrawAsksBeforeItStartsTheDrawAgain)
{
    SetUpScreen(30, {3, 2});
    MessageRecorder recorder;
    screen->OnCommand(ShowCommand::IdRedraw);
    EXPECT_TRUE(recorder.messages().empty());
    screen->StartDraw();
    screen->StopDraw();
    screen->StartDraw();
    recorder.setNextAnswer(MsgBox::IdNo);
    screen->OnCommand(ShowCommand::IdRedraw);
    EXPECT_EQ(screen->engine().award(0).winners.size(), 3u);
    EXPECT_TRUE(screen->isCycling());
    recorder.setNextAnswer(MsgBox::IdYes);
    screen->OnCommand(ShowCommand::IdRedraw);
    ASSERT_EQ(recorder.messages().size(), 2u);
    EXPECT_EQ(recorder.messages()[1].text, L"重新抽奖将清除已经抽出的 3 名中奖者和全部结果, 确定吗?");
    EXPECT_EQ(recorder.messages()[1].buttons, MsgBox::YesNo | MsgBox::DefaultSecond);
    EXPECT_EQ(screen->engine().current(), -1);
    EXPECT_EQ(screen->engine().running(), false);
    EXPECT_FALSE(screen->isCycling());
    EXPECT_EQ(screen->engine().pool().size(), 30u);
    EXPECT_TRUE(screen->engine().award(0).winners.empty());
    EXPECT_EQ(folder.read("AwardResult.ini").find("Itme0"), std::string::npos)
        << "a restart finds no old winners";
}

TEST_F(ScreenTest, TheSettingsAskFirstAndCancelChangesNothing)
{
    SetUpScreen(30, {3});
    screen->StartDraw();
    screen->StopDraw();
    MessageRecorder recorder;
    recorder.setNextAnswer(MsgBox::IdCancel);
    screen->OnCommand(ShowCommand::IdSettings);
    ASSERT_EQ(recorder.messages().size(), 1u);
    EXPECT_EQ(recorder.messages()[0].text, L"编辑奖品将删除所有已经抽取数据");
    EXPECT_EQ(recorder.messages()[0].caption, L"消息");
    EXPECT_EQ(recorder.messages()[0].buttons, unsigned(MsgBox::OkCancel));
    EXPECT_EQ(screen->engine().current(), 0);
    EXPECT_EQ(screen->engine().award(0).winners.size(), 3u);
}

TEST_F(ScreenTest, TheAboutBoxAndTheGreyedEntries)
{
    SetUpScreen(30, {3});
    QString title;
    QString version;
    onDialog = [&](QDialog& dialog) {
        title = dialog.windowTitle();
        version = dialog.findChild<QLabel*>("versionLabel")->text();
    };
    screen->OnCommand(ShowCommand::IdAbout);
    EXPECT_EQ(dialogs, std::vector<QString>{"CAboutDlg"});
    EXPECT_EQ(title, QString("About Tombrel"));
    EXPECT_EQ(version, QString("Tombrel, Version 2.1"));

    screen->OnCommand(ShowCommand::IdHideText);
    EXPECT_EQ(screen->areaMode(), AreaEditor::Mode::None) << "nothing selected";
    QTest::mouseClick(screen, Qt::RightButton, {}, QPoint(900, 100));
    screen->OnCommand(ShowCommand::IdEffectFont);
    EXPECT_EQ(screen->areaMode(), AreaEditor::Mode::EffectFont);
}

TEST_F(ScreenTest, ARestartContinuesWhereTheShowStopped)
{
    SetUpScreen(30, {3, 2, 1});
    screen->StartDraw();
    screen->StopDraw();
    const std::vector<tstring> first = screen->engine().award(0).winners;
    screen->StartDraw();
    closeScreen(); // killed while the second prize cycles: no exit, no store at exit
    openScreen(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(screen->engine().current(), 0);
    EXPECT_EQ(screen->engine().award(0).winners, first);
    EXPECT_EQ(screen->engine().pool().size(), 27u);
}

namespace {

// Records the region of every paint the screen gets.
class PaintRecorder : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
    std::vector<QRegion> regions;
};

} // namespace

TEST_F(ScreenTest, EveryChangeShowsTheWholeScreenAgainAndACyclingFrameWhatMoves)
{
    SetUpScreen(30, {3, 2});
    // Watched, as by the console: its frame is composed in parts into one image.
    QImage watched;
    screen->setFrameWatcher([&watched] { return [&watched](const QImage& frame) { watched = frame; }; });
    screen->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen));
    PaintRecorder recorder;
    screen->installEventFilter(&recorder);
    const QRegion whole(0, 0, 1920, 1080);
    const QRect caption = screen->area(AreaResultLine).m_rect.normalized().toQRect();
    const QRegion moving = QRegion(screen->area(AreaScroll).m_rect.normalized().toQRect()) +
                           QRect(0, caption.y(), 1920, caption.height());
    const auto painted = [&](const QRegion& region, const char* after) {
        recorder.regions.clear();
        QApplication::processEvents();
        ASSERT_FALSE(recorder.regions.empty()) << after;
        EXPECT_EQ(recorder.regions.back(), region) << after;
    };
    screen->StartDraw();
    painted(whole, "start");
    for (int frame = 0; frame < 3; ++frame) {
        screen->OnTimer(CRafoDlg::CycleTimer);
        if (frame == 2)
            Clock::setFixedMonotonic(1000000);
        painted(moving, "a cycling frame");
    }
    // What was composed in parts is what a whole frame shows, the caption
    // apart, which a paint moves on.
    const QImage parts = watched;
    Clock::setFixedMonotonic(2000000);
    screen->repaint(QRect(0, 0, 1920, 1080));
    Clock::setFixedMonotonic(std::nullopt);
    ASSERT_EQ(parts.size(), QSize(1920, 1080));
    for (const QRect& band : {QRect(0, 0, 1920, caption.y()), QRect(0, caption.bottom() + 1, 1920, 1080)})
        EXPECT_EQ(parts.copy(band), watched.copy(band));
    screen->StopDraw();
    painted(whole, "stop");
    screen->OnTimer(CRafoDlg::CaptionTimer);
    painted(whole, "a caption step");
    screen->removeEventFilter(&recorder);
}

TEST_F(ScreenTest, TheWindowGoesWhereThePrimaryScreenIs)
{
    SetUpScreen(30, {3});
    openScreen(QRect(1920, 0, 1280, 720));
    EXPECT_EQ(screen->geometry(), QRect(1920, 0, 1280, 720));
    EXPECT_EQ(screen->screenRect(), Rect(0, 0, 1280, 720));
    EXPECT_EQ(screen->startRect(), Rect(773, 603, 973, 656)) << "the layout is scaled to the screen's size";
}

TEST_F(ScreenTest, AStartUpThatLoadsLessThanTheStoreKeepsItWhole)
{
    // Written by hand in the Windows way: spaces, GBK, CR LF, prizes beyond any table.
    const std::string store = "[AwardResult]\r\nCnt = 3\r\nItme0=p1|p2|p3\r\nItme1=\xD5\xC5\xC8\xFD\r\n"
                              "Itme2=p4|p5\r\n";
    struct Case
    {
        const char* what;
        std::function<void(TestFolder&)> spoil;
    } cases[] = {
        {"data.txt missing", [](TestFolder& f) { QFile::remove(f.filePath("data.txt")); }},
        {"data.txt a folder",
         [](TestFolder& f) {
             QFile::remove(f.filePath("data.txt"));
             QDir(f.path()).mkdir("data.txt");
         }},
        {"AwardInfo.ini missing", [](TestFolder& f) { QFile::remove(f.filePath("AwardInfo.ini")); }},
        {"AwardInfo.ini empty", [](TestFolder& f) { f.write("AwardInfo.ini", ""); }},
        {"AwardInfo.ini junk",
         [](TestFolder& f) { f.write("AwardInfo.ini", "\x89PNG\r\n\x1a\n\0\xff[\xfe"_bytes); }},
        {"the table cut to one prize by hand", [](TestFolder&) {}},
    };
    for (const Case& c : cases) {
        MessageRecorder messages;
        QDir(folder.path()).rmdir("data.txt");
        SetUpScreen(30, {3});
        closeScreen();
        dialogs.clear();
        folder.write("AwardResult.ini", store);
        c.spoil(folder);
        openScreen(QRect(0, 0, 1920, 1080));
        EXPECT_EQ(screen->engine().current(), 2) << c.what;
        QTest::keyClick(screen, Qt::Key_Space);
        QTest::mouseClick(screen, Qt::LeftButton, {}, InStop);
        EXPECT_EQ(dialogs, std::vector<QString>{"CResultDlg"}) << c.what << ": every prize is finished";
        EXPECT_EQ(screen->engine().current(), 2) << c.what;
        QTest::keyClick(screen, Qt::Key_Return);
        EXPECT_EQ(folder.read("AwardResult.ini"), store) << c.what;
        closeScreen();
        TearDown();
    }
}

TEST_F(ScreenTest, AMistypedLayoutStillPaints)
{
    SetUpScreen(30, {3});
    std::string config = folder.read("AwardInfo.ini");
    config.replace(config.find("cx=1920"), 7, "cx=19");
    config.replace(config.find("startx1=1160"), 12, "startx1=0");
    folder.write("AwardInfo.ini", config);
    closeScreen();
    openScreen(QRect(0, 0, 1920, 1080));
    EXPECT_GT(screen->startRect().width(), 100000);
    const QImage image = shot();
    EXPECT_EQ(image.size(), QSize(1920, 1080));
    EXPECT_EQ(count(image, QRect(1900, 930, 20, 20), TestEvent::Start), 400)
        << "the huge start picture covers it";
}

TEST_F(ScreenTest, AnAbsentWinnerIsReplacedFromThePoolOnceAskedAndTheShowTellsAJournalItCannotWrite)
{
    SetUpScreen(4, {2, 1});
    MessageRecorder recorder;
    QFile::setPermissions(folder.filePath("Journal/journal.jsonl"), QFile::ReadOwner);
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::keyClick(screen, Qt::Key_Space);
    EXPECT_EQ(recorder.texts(), std::vector<std::wstring>{L"无法写入抽奖记录:Journal/journal.jsonl"})
        << "told once, the show goes on";
    EXPECT_NE(folder.read("AwardResult.ini").find("Cnt=2"), std::string::npos);

    const Rect names = screen->area(AreaScroll).m_rect;
    EXPECT_EQ(screen->session().replaceableRowAt(names.left + 5, names.top + 5), 0);
    EXPECT_EQ(screen->session().replaceableRowAt(names.left - 5, names.top + 5), -1);
    const std::string exportBefore = folder.read("Result.txt");
    const tstring absent = screen->engine().award(1).winners[0];

    struct Case
    {
        int answer;
        bool replaced;
        std::wstring told;
    };
    const Case cases[] = {{MsgBox::IdCancel, false, L""},
                          {MsgBox::IdOk, true, L""},
                          {MsgBox::IdOk, false, ShowController::NobodyToReplace}};
    for (const Case& c : cases) {
        recorder.clear();
        recorder.setNextAnswer(c.answer);
        const tstring before = screen->engine().award(1).winners[0];
        windows->controller().replace(0);
        ASSERT_FALSE(recorder.texts().empty());
        EXPECT_EQ(recorder.texts()[0], before + ShowController::ReplaceQuestion);
        EXPECT_EQ(screen->engine().award(1).winners[0] != before, c.replaced);
        EXPECT_EQ(recorder.texts().size() > 1 ? recorder.texts()[1] : L"", c.told);
    }
    EXPECT_TRUE(screen->engine().pool().empty());
    const tstring replacement = screen->engine().award(1).winners[0];
    EXPECT_NE(replacement, absent);
    EXPECT_NE(folder.read("AwardResult.ini").find(QString::fromStdWString(replacement).toStdString()),
              std::string::npos);
    EXPECT_GT(folder.read("Result.txt").size(), exportBefore.size()) << "the last prize's summary again";
}

// The icon is in the program itself: the draw screen and the About box carry it.
TEST_F(ScreenTest, TheWindowsCarryTheProgramsIcon)
{
    SetUpScreen(5, {1});
    EXPECT_FALSE(screen->windowIcon().pixmap(64, 64).isNull());
    // All its sizes go to the window system in one request of at most 65,535 words.
    qint64 words = 0;
    for (const QSize& size : screen->windowIcon().availableSizes())
        words += 2 + qint64(size.width()) * size.height();
    EXPECT_GT(words, 0);
    EXPECT_LT(words, 65535);
    CAboutDlg about;
    EXPECT_FALSE(about.findChild<QLabel*>("iconLabel")->pixmap().isNull());
}
