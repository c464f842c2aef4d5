#include "app/OperatorConsole.h"
#include "app/QtMessageBox.h"
#include "app/ScreenTestSupport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

struct KeyStep
{
    int key;
    Qt::KeyboardModifiers modifiers;
    bool black;
    bool running;
    int current;
    const char* why;
};

} // namespace

// A clicker, a keyboard and a mouse on the draw screen, one press after the other.
TEST_F(ScreenTest, TheClickersKeysRunTheShowAndTheBlackScreenTakesOnePressToLeave)
{
    SetUpScreen(30, {3, 2});
    screen->show();
    Clock::setFixedMonotonic(0);
    const KeyStep steps[] = {
        {Qt::Key_B, {}, true, false, -1, "b blacks the screen"},
        {Qt::Key_Space, {}, false, false, -1, "Space there only ends the black screen"},
        {Qt::Key_Period, {}, true, false, -1, ". blacks it too"},
        {Qt::Key_Return, {}, false, false, -1, "Enter there ends no show"},
        {Qt::Key_F5, {}, false, false, -1, "F5 does nothing"},
        {Qt::Key_F5, Qt::ShiftModifier, false, false, -1, "nor does Shift+F5"},
        {Qt::Key_Right, {}, false, true, 0, "Right starts the first draw"},
        {Qt::Key_B, Qt::ShiftModifier, true, true, 0, "B blacks it while names cycle"},
        {Qt::Key_Shift, Qt::ShiftModifier, true, true, 0, "a modifier alone is not yet a key"},
        {Qt::Key_PageDown, {}, false, true, 0, "the black screen ends, the names go on"},
        {Qt::Key_PageDown, {}, false, false, 0, "PageDown stops"},
        {Qt::Key_Left, {}, false, false, 0, "Left on the only page does nothing"},
        {Qt::Key_PageUp, {}, false, false, 0, "nor does PageUp"},
        {Qt::Key_PageDown, {}, false, false, 0, "the last page has not been up a second"},
    };
    for (const KeyStep& step : steps) {
        QTest::keyClick(screen, Qt::Key(step.key), step.modifiers);
        EXPECT_EQ(screen->session().blackedOut(), step.black) << step.why;
        EXPECT_EQ(screen->engine().running(), step.running) << step.why;
        EXPECT_EQ(screen->engine().current(), step.current) << step.why;
    }
    EXPECT_TRUE(screen->isVisible());

    QTest::keyClick(screen, Qt::Key_B);
    const QImage black = shot();
    EXPECT_EQ(count(black, black.rect(), Qt::black), black.width() * black.height()) << "it hides everything";
    QTest::mouseClick(screen, Qt::LeftButton, {}, QPoint(1200, 940));
    EXPECT_FALSE(screen->session().blackedOut());
    EXPECT_FALSE(screen->engine().running()) << "the click on the start zone only ends the black screen";

    Clock::setFixedMonotonic(1000);
    QTest::keyClick(screen, Qt::Key_Right);
    EXPECT_TRUE(screen->engine().running()) << "Right on the last page, a second later, is Space";
    QTest::keyClick(screen, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(screen->result(), QDialog::Accepted) << "the keypad's Enter ends the show";
    Clock::setFixedMonotonic(std::nullopt);
}

// A projector plugged in or a mode switched: the layout is scaled in memory
// from the start's, and the file keeps that layout until the operator edits.
TEST_F(ScreenTest, TheScreenFollowsItsScreenWithoutWearingTheLayoutDown)
{
    SetUpScreen(30, {3});
    const std::string file = folder.read("AwardInfo.ini");
    const Rect title = screen->area(AreaMainTitle).m_rect;
    const Rect start = screen->startRect();
    const struct
    {
        QRect screen;
        Rect title;
        Rect start;
    } sizes[] = {
        {QRect(0, 0, 1280, 720), Rect(106, 26, 1173, 106), Rect(773, 603, 973, 656)},
        {QRect(1920, 0, 1024, 768), Rect(85, 28, 938, 113), Rect(618, 643, 778, 700)},
        {QRect(0, 0, 3840, 2160), Rect(320, 80, 3520, 320), Rect(2320, 1810, 2920, 1970)},
        {QRect(0, 0, 1920, 1080), title, start},
    };
    for (const auto& size : sizes) {
        windows->controller().coverScreen(size.screen);
        EXPECT_EQ(screen->geometry(), size.screen);
        EXPECT_EQ(screen->screenRect(), Rect(0, 0, size.screen.width(), size.screen.height()));
        EXPECT_EQ(screen->area(AreaMainTitle).m_rect, size.title) << size.screen.width();
        EXPECT_EQ(screen->startRect(), size.start) << size.screen.width();
    }
    EXPECT_EQ(folder.read("AwardInfo.ini"), file) << "following a screen writes nothing";

    // An area moved at 1280 x 720 is written in the start's coordinates.
    windows->controller().coverScreen(QRect(0, 0, 1280, 720));
    AreaEditor& areas = screen->session().areas();
    areas.select(200, 50);
    screen->OnCommand(ShowCommand::IdEditPosition);
    areas.press(200, 50);
    areas.drag(300, 100);
    areas.release();
    const Rect moved = screen->area(AreaMainTitle).m_rect;
    const Rect inFile(moved.left * 3 / 2, moved.top * 3 / 2, moved.right * 3 / 2, moved.bottom * 3 / 2);
    const std::string written = folder.read("AwardInfo.ini");
    EXPECT_NE(written.find("cx=1920\r\n"), std::string::npos);
    EXPECT_NE(
        written.find("PosLeft=" + std::to_string(inFile.left) + "\r\nPosTop=" + std::to_string(inFile.top)),
        std::string::npos);
    windows->controller().coverScreen(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(screen->area(AreaMainTitle).m_rect, inFile);
}

TEST_F(ScreenTest, TheConsoleWorksTheSameSessionAndTakesNoKeys)
{
    SetUpScreen(30, {3, 2});
    MessageRecorder messages;
    screen->show();
    screen->OnCommand(ShowCommand::IdConsole);
    OperatorConsole* console = windows->console();
    ASSERT_TRUE(console && console->isVisible());
    EXPECT_EQ(QtMessageBox::ownerNow(), console) << "messages open where the operator is";
    EXPECT_EQ(windows->dialogParent(), console);
    const auto label = [console](const char* name) { return console->findChild<QLabel*>(name)->text(); };
    const auto press = [console](const char* name) {
        QPushButton* button = console->findChild<QPushButton*>(name);
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << name;
        button->click();
    };
    EXPECT_EQ(label("currentPrize"), "还没有开始");
    EXPECT_EQ(label("nextPrize"), "Prize0 · Gift0 · 3 名");
    EXPECT_EQ(label("poolSize"), "30 人");

    QTest::keyClick(console, Qt::Key_Space);
    QTest::keyClick(console, Qt::Key_Return);
    EXPECT_FALSE(screen->engine().running()) << "Space on the console starts nothing";
    EXPECT_TRUE(screen->isVisible()) << "Enter on the console ends nothing";
    QTest::keyClick(console, Qt::Key_B);
    EXPECT_TRUE(screen->session().blackedOut()) << "a clicker works the show from the console";
    QTest::keyClick(console, Qt::Key_B);

    press("startButton");
    EXPECT_TRUE(screen->engine().running());
    EXPECT_EQ(label("currentPrize"), "Prize0 · Gift0 · 3 名 (正在抽)");
    press("stopButton");
    EXPECT_EQ(label("prizesDrawn"), "1 / 2");
    EXPECT_EQ(label("poolSize"), "27 人");
    EXPECT_EQ(label("fingerprint"), screen->session().fingerprint());
    EXPECT_EQ(label("journalHealth"), "正常");
    EXPECT_EQ(label("storeHealth"), "正常");

    QTableWidget* winners = console->findChild<QTableWidget*>("winners");
    ASSERT_EQ(winners->rowCount(), 3);
    const QString absent = winners->item(1, 0)->text();
    EXPECT_EQ(winners->item(1, 1)->text(), "补抽缺席");
    emit winners->cellClicked(1, 1);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0], absent.toStdWString() + ShowController::ReplaceQuestion);
    EXPECT_NE(winners->item(1, 0)->text(), absent) << "the replacement takes the row";

    // The second prize drawn, the first one's absent winners are chosen and replaced in one step.
    press("startButton");
    press("stopButton");
    QComboBox* prizes = console->findChild<QComboBox*>("winnersPrize");
    ASSERT_EQ(prizes->count(), 2);
    emit prizes->activated(0);
    ASSERT_EQ(winners->rowCount(), 3) << "the first prize's winners";
    const std::vector<tstring> first = screen->engine().award(0).winners;
    winners->selectRow(0);
    winners->selectionModel()->select(winners->model()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    messages.clear();
    messages.setNextAnswer(MsgBox::IdOk);
    press("replaceSelectedButton");
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.texts(), std::vector<std::wstring>{L"补抽 2 名缺席者?"}) << "one question for all";
    EXPECT_NE(screen->engine().award(0).winners[0], first[0]);
    EXPECT_EQ(screen->engine().award(0).winners[1], first[1]);
    EXPECT_NE(screen->engine().award(0).winners[2], first[2]);
    EXPECT_EQ(screen->engine().current(), 1);

    press("blackButton");
    EXPECT_TRUE(screen->session().blackedOut());
    press("blackButton");
    EXPECT_FALSE(screen->session().blackedOut());

    // The preview is the frame the screen painted, no more than five a second.
    Clock::setFixedMonotonic(5000);
    screen->grab();
    EXPECT_FALSE(console->findChild<QLabel*>("preview")->pixmap().isNull());
    Clock::setFixedMonotonic(std::nullopt);

    press("hideButton");
    EXPECT_FALSE(console->isVisible());
    EXPECT_EQ(windows->dialogParent(), screen) << "a hidden console holds no dialogs";
    screen->OnCommand(ShowCommand::IdConsole);
    EXPECT_EQ(windows->console(), console) << "the menu brings the same console back";

    QWidget* parent = nullptr;
    onDialog = [&parent](QDialog& dialog) { parent = dialog.parentWidget(); };
    press("settingsButton");
    EXPECT_EQ(dialogs.back(), "CAwakDlg");
    EXPECT_EQ(parent, console) << "the dialogs open on the console's screen";
    messages.setNextAnswer(MsgBox::IdCancel);
    press("exitButton");
    EXPECT_TRUE(screen->isVisible()) << "退出 asks first";
    press("exitButton");
    EXPECT_EQ(screen->result(), QDialog::Accepted);
}

// Without a sound card or a sound server the operator hears of it on the
// console; the hall sees nothing of it.
TEST_F(ScreenTest, TheConsoleSaysWhenNoSoundCanBeHeard)
{
    SetUpScreen(5, {1});
    for (const bool heard : {true, false}) {
        MusicPlayer::setAudioSink(heard ? "fakesink sync=true" : "nosuchsink");
        openScreen(QRect(0, 0, 1920, 1080));
        screen->OnCommand(ShowCommand::IdConsole);
        EXPECT_EQ(windows->console()->findChild<QLabel*>("sound")->text(),
                  heard ? QStringLiteral("正常") : QString::fromWCharArray(OperatorConsole::NoSound));
    }
}

// The console needs no draw screen: alone with the controller it works the
// whole show, and the journal says what a show on the draw screen says.
TEST(OperatorConsole, AloneWithTheControllerItWorksTheWholeShow)
{
    MusicPlayer::setAudioSink("fakesink sync=true");
    TestFolder folder;
    TestEvent::make(folder, 30, {3, 2});
    MessageRecorder messages;
    ShowController show(folder.event());
    show.open(QRect(0, 0, 1920, 1080));
    OperatorConsole console(show);
    console.show();
    bool results = false;
    bool exited = false;
    QObject::connect(&show, &ShowController::resultScreen, [&results](bool shown) { results = shown; });
    QObject::connect(&show, &ShowController::exitRequested, [&exited] { exited = true; });
    QPushButton* start = console.findChild<QPushButton*>("startButton");
    for (int prize = 0; prize < 2; ++prize) {
        start->click();
        console.findChild<QPushButton*>("stopButton")->click();
    }
    EXPECT_EQ(console.findChild<QLabel*>("prizesDrawn")->text(), "2 / 2");
    start->click();
    EXPECT_TRUE(results);
    EXPECT_FALSE(start->isEnabled()) << "the result screen is up";
    EXPECT_EQ(console.findChild<QLabel*>("prizesDrawn")->text(), "2 / 2") << "not one past the table";
    EXPECT_EQ(console.findChild<QLabel*>("currentPrize")->text(), "全部抽完");
    show.closeResultScreen();
    EXPECT_TRUE(start->isEnabled());
    console.findChild<QPushButton*>("exitButton")->click();
    EXPECT_TRUE(exited);
    show.close();
    EXPECT_EQ(messages.texts(), std::vector<std::wstring>{ShowController::ExitQuestion});
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->inherits("CRafoDlg"));
    QStringList types;
    for (const QByteArray& line : QByteArray::fromStdString(folder.read("Journal/journal.jsonl")).split('\n'))
        if (!line.isEmpty())
            types << QJsonDocument::fromJson(line).object().value("type").toString();
    EXPECT_EQ(types.join(", "), "start, stop, stop, result screen, exit");
}

// 补抽未签到: every winner of the chosen prize who has not checked in is
// replaced after one question with the count; those present keep their prize.
TEST_F(ScreenTest, WinnersWhoDidNotCheckInAreReplacedInOneStep)
{
    SetUpScreen(30, {3, 2});
    closeScreen();
    folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") + "[Phone]\r\nCheckin=name\r\n");
    openScreen();
    screen->StartDraw();
    screen->StopDraw();
    const std::vector<tstring> drawn = screen->engine().award(0).winners;
    screen->session().checkinDesk().checkInAtDoor({drawn[1]});
    screen->OnCommand(ShowCommand::IdConsole);
    OperatorConsole* console = windows->console();
    ASSERT_TRUE(console);
    MessageRecorder messages;
    messages.setNextAnswer(MsgBox::IdOk);
    console->findChild<QPushButton*>("replaceAbsentButton")->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.texts(), std::vector<std::wstring>{L"补抽 2 名缺席者?"});
    const std::vector<tstring>& now = screen->engine().award(0).winners;
    EXPECT_NE(now[0], drawn[0]);
    EXPECT_EQ(now[1], drawn[1]) << "present, so kept";
    EXPECT_NE(now[2], drawn[2]);
}
