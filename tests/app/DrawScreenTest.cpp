#include "app/Confetti.h"
#include "app/ScreenTestSupport.h"
#include "support/TestSounds.h"

#include <QPainter>
#include <QProcess>
#include <QRegularExpression>

namespace {

const QRect ScrollArea(860, 280, 980, 610);
const QRect CaptionArea(0, 995, 1920, 70);

int rowsWithText(const QImage& image, int rows)
{
    int filled = 0;
    const int height = ScrollArea.height() / rows;
    for (int i = 0; i < rows; ++i) {
        const QRect row(ScrollArea.left(), ScrollArea.top() + i * height, ScrollArea.width(), height);
        if (ScreenTest::count(image, row, TestEvent::ScrollText) > 20)
            ++filled;
    }
    return filled;
}

// The leftmost column of the caption's white text.
int captionLeft(const QImage& image)
{
    for (int x = 0; x < image.width(); ++x) {
        if (ScreenTest::count(image, QRect(x, CaptionArea.top(), 1, CaptionArea.height()),
                              TestEvent::CaptionText))
            return x;
    }
    return -1;
}

} // namespace

TEST_F(ScreenTest, PicturesAreStretchedOntoTheirPlaces)
{
    SetUpScreen(30, {3, 2});
    const QImage image = shot();
    ASSERT_EQ(image.size(), QSize(1920, 1080));
    EXPECT_EQ(count(image, QRect(1170, 910, 280, 70), TestEvent::Start), 280 * 70);
    EXPECT_EQ(count(image, QRect(1510, 910, 280, 70), TestEvent::Stop), 280 * 70);
    EXPECT_EQ(count(image, QRect(150, 480, 540, 400), TestEvent::Prize), 540 * 400);
    EXPECT_EQ(count(image, QRect(10, 10, 100, 20), TestEvent::Show), 100 * 20);
    EXPECT_EQ(count(image, QRect(1460, 905, 40, 80), TestEvent::Show), 40 * 80) << "between the buttons";

    // Kept in proportion, the 4:3 picture in a wide area stands centred in it.
    closeScreen();
    std::string config = folder.read("AwardInfo.ini");
    const size_t section = config.find("[AwardPic]\r\n");
    config.replace(config.find("PosBottom=890", section), 13, "PosBottom=590");
    config.insert(section + 12, "KeepAspect=1\r\n");
    folder.write("AwardInfo.ini", config);
    openScreen();
    const QImage fitted = shot();
    EXPECT_EQ(count(fitted, QRect(345, 475, 150, 110), TestEvent::Prize), 150 * 110);
    EXPECT_EQ(count(fitted, QRect(140, 470, 190, 120), TestEvent::Prize), 0);
}

TEST_F(ScreenTest, TheWinnersFillOneRowEachAfterAStop)
{
    SetUpScreen(30, {3, 1});
    EXPECT_EQ(rowsWithText(shot(), 3), 0) << "nothing before the first start";
    screen->StartDraw();
    screen->StopDraw();
    EXPECT_EQ(rowsWithText(shot(), 3), 3);
    screen->StartDraw();
    screen->StopDraw();
    const QImage one = shot();
    EXPECT_EQ(rowsWithText(one, 1), 1);
    // A single winner sits in the middle of the whole area.
    EXPECT_EQ(count(one, QRect(860, 280, 980, 200), TestEvent::ScrollText), 0);
    EXPECT_GT(count(one, QRect(860, 540, 980, 100), TestEvent::ScrollText), 20);
}

TEST_F(ScreenTest, NamesCycleInTheRowsWhileTheDrawRuns)
{
    SetUpScreen(30, {4});
    screen->StartDraw();
    ASSERT_TRUE(screen->isCycling());
    screen->OnTimer(CRafoDlg::CycleTimer);
    EXPECT_EQ(rowsWithText(shot(), 4), 4);
}

TEST_F(ScreenTest, ZeroWinnersOrAnEmptyPoolDrawNoRowsAndDoNotCrash)
{
    SetUpScreen(0, {0, 2});
    MessageRecorder recorder;
    screen->StartDraw();
    screen->OnTimer(CRafoDlg::CycleTimer);
    EXPECT_EQ(rowsWithText(shot(), 1), 0);
    screen->StopDraw();
    EXPECT_EQ(rowsWithText(shot(), 1), 0);
    screen->StartDraw();
    screen->OnTimer(CRafoDlg::CycleTimer);
    EXPECT_EQ(rowsWithText(shot(), 1), 0);
    screen->StopDraw();
    EXPECT_EQ(recorder.texts(), (std::vector<std::wstring>{L"剩余抽奖人数为0", L"剩余抽奖人数为0"}));
}

TEST_F(ScreenTest, TheCaptionMovesOnEveryPaintAndStartsAgainAtTheRight)
{
    SetUpScreen(30, {3});
    const int first = captionLeft(shot());
    const int second = captionLeft(shot());
    ASSERT_GT(first, 0);
    EXPECT_EQ(first - second, 24);
    int left = second;
    int paints = 0;
    while (left >= 0 && paints < 200) {
        left = captionLeft(shot());
        ++paints;
    }
    EXPECT_LT(paints, 200) << "the caption left the screen";
    // Once gone on the left it enters again at the right edge.
    EXPECT_NEAR(captionLeft(shot()), 1920 - 24, 4);
}

TEST_F(ScreenTest, AfterTheLastPrizeThePrizeIsNoLongerShown)
{
    SetUpScreen(30, {2});
    EXPECT_GT(count(shot(), QRect(150, 480, 540, 400), TestEvent::Prize), 0)
        << "the first prize before the start";
    screen->StartDraw();
    screen->StopDraw();
    screen->StartDraw();
    EXPECT_EQ(dialogs, std::vector<QString>{"CResultDlg"});
    EXPECT_EQ(count(shot(), QRect(150, 480, 540, 400), TestEvent::Prize), 0);
}

TEST_F(ScreenTest, BeforeTheFirstStartTheFirstPrizeAndTheCountLineAreShown)
{
    SetUpScreen(30, {3, 2});
    const QImage image = shot();
    EXPECT_GT(count(image, QRect(80, 280, 680, 90), QColor(0, 255, 255)), 50) << "award name in area 2";
    EXPECT_GT(count(image, QRect(80, 905, 1020, 60), QColor(255, 128, 0)), 50) << "count line in area 6";
    EXPECT_GT(count(image, QRect(360, 160, 1200, 75), QColor(255, 255, 255)), 50)
        << "the subtitle's own text";
}

// The fingerprint's dark plate in the bottom-right corner, after a stop,
// unless the event hides it.
TEST_F(ScreenTest, AStopShowsItsJournalFingerprintUnlessTheEventHidesIt)
{
    const QRect corner(1500, 1000, 420, 80);
    const QColor plate(8, 16, 66);
    SetUpScreen(30, {3, 2});
    for (const bool hidden : {false, true}) {
        if (hidden) {
            folder.write("AwardInfo.ini",
                         folder.read("AwardInfo.ini") + "[Journal]\r\nShowFingerprint=0\r\n");
            openScreen(QRect(0, 0, 1920, 1080));
        }
        EXPECT_LE(count(shot(), corner, plate), 1000) << "no draw to show yet";
        screen->StartDraw();
        screen->StopDraw();
        EXPECT_EQ(count(shot(), corner, plate) > 1000, !hidden) << hidden;
        EXPECT_EQ(screen->session().fingerprint().size(), hidden ? 0 : 19);
    }
}

// Ten winners fit one column at the area's own font: the screen is drawn as
// it always was, row by row, with no wall.
TEST_F(ScreenTest, TenWinnersKeepTheOneColumnOfRows)
{
    SetUpScreen(30, {10});
    // At the area's own font, as the Windows program drew them.
    closeScreen();
    std::string config = folder.read("AwardInfo.ini");
    config.insert(config.find("[AwardScroll]\r\n") + 15, "Grow=0\r\n");
    folder.write("AwardInfo.ini", config);
    openScreen();
    screen->StartDraw();
    screen->StopDraw();
    const DrawSession& session = screen->session();
    ASSERT_EQ(session.wall().mode(), WinnerWall::Mode::OneColumn);
    QImage withWall(1920, 1080, QImage::Format_RGB32);
    QImage rows(1920, 1080, QImage::Format_RGB32);
    for (QImage* image : {&withWall, &rows}) {
        DrawScreenPainter painter(folder.event());
        painter.loadPictures();
        DrawScreenFrame frame;
        frame.engine = &session.engine();
        frame.areas = &session.areas().areas();
        frame.screen = Rect(0, 0, 1920, 1080);
        frame.start = session.zones().start;
        frame.stop = session.zones().stop;
        frame.wall = image == &withWall ? &session.wall() : nullptr;
        QPainter p(image);
        painter.paint(p, frame);
    }
    EXPECT_EQ(withWall, rows);
    EXPECT_EQ(rowsWithText(rows, 10), 10);
}

// Winners land with confetti over the screen for at most three seconds,
// never over the names' area; [Show] Effects=0 keeps it away.
TEST_F(ScreenTest, ConfettiFallsAroundTheWinnersForThreeSecondsUnlessTurnedOff)
{
    Confetti confetti;
    const Rect names(860, 280, 1840, 890);
    confetti.start(0, Rect(0, 0, 1920, 1080));
    for (const qint64 at : {500, 1500, 2900, 3000}) {
        QImage image(1920, 1080, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        confetti.paint(painter, at, names);
        painter.end();
        EXPECT_EQ(count(image, names.toQRect(), Qt::black), names.width() * names.height()) << at;
        EXPECT_EQ(count(image, image.rect(), Qt::black) < 1920 * 1080, at < Confetti::DurationMs) << at;
    }
    SetUpScreen(30, {3, 3});
    for (const bool effects : {true, false}) {
        if (!effects) {
            closeScreen();
            folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") + "[Show]\r\nEffects=0\r\n");
            openScreen();
        }
        screen->StartDraw();
        EXPECT_FALSE(screen->confettiFalling());
        screen->StopDraw();
        EXPECT_EQ(screen->confettiFalling(), effects);
    }
}

// Each prize's own sounds go through the player, decoded and played; a
// prize without them plays the event's.
TEST_F(ScreenTest, EachPrizeIsHeardWithItsOwnMusic)
{
    SetUpScreen(30, {3, 3});
    closeScreen();
    folder.write("Music/gala.wav", wavTone(2000));
    folder.write("Music/fanfare.wav", wavTone(300));
    folder.write("AwardInfo.ini",
                 folder.read("AwardInfo.ini") +
                     "[AwardMusic]\r\nStart0=Music\\gala.wav\r\nStop0=Music\\fanfare.wav\r\n");
    openScreen();
    MusicPlayer& player = windows->controller().player();
    const struct
    {
        bool start;
        const wchar_t* heard;
        bool decoded;
    } steps[] = {{true, L"Music\\gala.wav", true},
                 {false, L"Music\\fanfare.wav", true},
                 {true, L"Music\\start.mp3", false},
                 {false, L"Music\\stop.wav", false}};
    for (const auto& step : steps) {
        step.start ? screen->StartDraw() : screen->StopDraw();
        windows->controller().session().settle();
        player.settle();
        EXPECT_EQ(player.path(), step.heard);
        EXPECT_EQ(player.ready(), step.decoded) << QString::fromWCharArray(step.heard).toStdString();
    }
}

namespace {

// What tesseract reads in that part of the screen, spaces taken out: the
// names area as the hall sees it, black on white for the reader.
QString readOff(const QImage& shot, const QRect& area, int lineHeight, const QString& path)
{
    // The reader knows letters of about 50 pixels best.
    const double scale = 50.0 / std::max(1, lineHeight);
    QImage part = shot.copy(area)
                      .scaled(QSize(int(area.width() * scale), int(area.height() * scale)),
                              Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < part.height(); ++y) {
        uchar* line = part.scanLine(y);
        for (int x = 0; x < part.width(); ++x)
            line[x] = line[x] > 140 ? 0 : 255;
    }
    part.save(path);
    QProcess reader;
    reader.start(QStringLiteral("tesseract"),
                 {path, QStringLiteral("stdout"), QStringLiteral("-l"), QStringLiteral("chi_sim"),
                  QStringLiteral("--psm"), QStringLiteral("6")});
    if (!reader.waitForFinished(60000))
        return QStringLiteral("tesseract did not run (./scripts/setup installs it)");
    return QString::fromUtf8(reader.readAllStandardOutput())
        .remove(QRegularExpression(QStringLiteral("\\s")));
}

} // namespace

// A 一等奖 of three shown one at a time, then a 特等奖 of one, read off the
// screen by OCR on a 1920 x 1080 and a 1280 x 720 screen: each name only
// after its press, in cells of at least an eighth of the screen's height.
TEST_F(ScreenTest, TopPrizesAreReadOffTheScreenOneAtATime)
{
    SetUpScreen(1, {3, 1});
    const QStringList names{QStringLiteral("王建国"), QStringLiteral("李晓明"), QStringLiteral("张伟"),
                            QStringLiteral("刘洋")};
    for (const QRect area : {QRect(0, 0, 1920, 1080), QRect(0, 0, 1280, 720)}) {
        closeScreen();
        folder.write("data.txt", (names.join("\r\n") + "\r\n").toStdString());
        folder.write("AwardResult.ini", "");
        std::string config = folder.read("AwardInfo.ini");
        // Ranges that admit no more than the places: the winners come in list order.
        if (config.find("[AwardReveal]") == std::string::npos)
            config += "[AwardReveal]\r\nReveal0=1\r\nReveal1=1\r\n[AwardRange]\r\nRange0=不含 刘洋\r\n"
                      "Range1=包含 刘洋\r\n";
        folder.write("AwardInfo.ini", config);
        openScreen(area);
        DrawSession& session = windows->controller().session();
        const QRect names0 = session.areas().area(AreaScroll).m_rect.normalized().toQRect();
        const QString where = QStringLiteral("%1x%2").arg(area.width()).arg(area.height());
        const auto read = [&] {
            return readOff(screen->grab().toImage(), names0, QFontMetrics(session.wall().font()).height(),
                           folder.event().file("names.png"));
        };
        screen->StartDraw();
        screen->StopDraw();
        session.settle();
        for (int shown = 1; shown <= 3; ++shown) {
            session.settleReveal();
            const QString text = read();
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(text.contains(names[i]), i < shown)
                    << where.toStdString() << " " << text.toStdString();
            EXPECT_GE(QFontMetrics(session.wall().font()).height() * 8, area.height()) << where.toStdString();
            session.startAction();
        }
        ASSERT_TRUE(session.engine().running()) << "all three shown: the 特等奖 runs";
        screen->StopDraw();
        session.settle();
        session.settleReveal();
        EXPECT_TRUE(read().contains(names[3])) << where.toStdString();
        EXPECT_GE(QFontMetrics(session.wall().font()).height() * 8, area.height()) << where.toStdString();
    }
}
