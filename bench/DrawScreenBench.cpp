// Speed of the show's hot paths: painting the draw screen, a cycling frame,
// a big stop, loading a big participant list and the way to the first frame.
#include "app/CRafoDlg.h"
#include "app/CResultDlg.h"
#include "app/Confetti.h"
#include "app/DrawScreenPainter.h"
#include "app/DrawSession.h"
#include "app/MusicPlayer.h"
#include "app/ShowWindows.h"
#include "controls/CEditLottoryDlg.h"
#include "controls/CLineNumberEdit.h"
#include "controls/CLineNumberStatic.h"
#include "controls/ParticipantEditorHost.h"
#include "data/DrawData.h"
#include "data/ScreenLayout.h"
#include "platform/CodePage.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>

namespace {

// A copy of the demo event, with the given number of participants, in UTF-8
// or as made on Windows (code page 936, CR LF).
class BenchEvent
{
public:
    explicit BenchEvent(int participants, bool windows = false)
    {
        const QString demo = QStringLiteral(RAFO_DEMO_DIR);
        for (const QString& sub : {QStringLiteral("."), QStringLiteral("Backimg"), QStringLiteral("Music")}) {
            QDir().mkpath(m_dir.filePath(sub));
            for (const QString& file : QDir(demo + "/" + sub).entryList(QDir::Files))
                QFile::copy(demo + "/" + sub + "/" + file, m_dir.filePath(sub + "/" + file));
        }
        std::wstring text;
        for (int i = 0; i < participants; ++i)
            text += L"参加者" + std::to_wstring(i) + L"\r\n";
        std::ofstream data(m_dir.filePath("data.txt").toStdString(), std::ios::binary);
        data << CodePage::encode(text, windows ? TextEncoding::Ansi : TextEncoding::Utf8);
        data.close();
    }

    EventFolder folder() const { return EventFolder(m_dir.path()); }
    QString filePath(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private:
    QTemporaryDir m_dir;
};

QString readUtf8(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

void writeUtf8(const QString& path, const QString& text)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write("\xEF\xBB\xBF" + text.toUtf8());
}

struct Screen
{
    explicit Screen(QSize size, int participants)
        : event(participants), image(size, QImage::Format_RGB32), painter(event.folder())
    {
        CreateAreas(event.folder(), areas);
        TextEncoding encoding;
        LoadDrawData(event.folder(), engine, encoding);
        PendingSettings settings;
        zones = ScaleScreenLayout(event.folder(), areas, size.width(), size.height(), settings);
        painter.loadPictures();
        engine.StartDraw();
        DrawRecord record;
        engine.StopDraw(DrawSeed::fresh(), record); // the first prize's ten winners are shown
        layWall();
    }

    // As the session lays the names area out after a stop or a start.
    void layWall()
    {
        const CLottoryArea& area = *areas[AreaScroll];
        wall =
            WinnerWall::layOut(area.m_rect, area.m_fontName, area.m_fontSize,
                               WinnerWall::minimumCellHeight(image.height()), WallPager::namesOnWall(engine),
                               WallPager::cellsOnWall(engine), WinnerWall::largestCellHeight(image.height()));
    }

    // The prize shown keeps only its first `count` winners: a top prize.
    void keepWinners(std::size_t count)
    {
        std::vector<AwardItem> awards = engine.awards();
        awards[0].winners.resize(count);
        engine.setPrizes(std::move(awards), 0);
        layWall();
    }

    void paint(long long cycleStart = -1, const std::function<void(DrawScreenFrame&)>& more = {})
    {
        DrawScreenFrame frame;
        frame.wall = &wall;
        frame.engine = &engine;
        frame.areas = &areas;
        frame.screen = Rect(0, 0, image.width(), image.height());
        frame.start = zones.start;
        frame.stop = zones.stop;
        frame.cycleStart = cycleStart;
        if (more)
            more(frame);
        QPainter p(&image);
        painter.paint(p, frame);
    }

    BenchEvent event;
    QImage image;
    DrawEngine engine;
    AreaSet areas;
    HotZones zones;
    DrawScreenPainter painter;
    WinnerWall wall;
};

void FullPaint(benchmark::State& state)
{
    Screen screen(QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))), 300);
    screen.paint();
    for (auto _ : state)
        screen.paint();
}
BENCHMARK(FullPaint)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// The staged top prizes, among a million participants: one winner in its
// grown font; the second of three landing one at a time; confetti over ten.
void BigWinnerFrame(benchmark::State& state)
{
    Screen screen(QSize(int(state.range(0)), int(state.range(1))), 1000000);
    screen.keepWinners(1);
    for (auto _ : state)
        screen.paint();
}
BENCHMARK(BigWinnerFrame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void RevealLandingFrame(benchmark::State& state)
{
    Screen screen(QSize(int(state.range(0)), int(state.range(1))), 1000000);
    screen.keepWinners(3);
    long long at = 0;
    for (auto _ : state) {
        screen.paint(-1, [&](DrawScreenFrame& frame) {
            frame.shownWinners = 1;
            frame.landingName =
                screen.engine.pool().text(std::size_t(at++ * 7919) % screen.engine.pool().size());
            frame.revealNumber = 2;
            frame.revealCount = 3;
        });
    }
}
BENCHMARK(RevealLandingFrame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

void ConfettiFrame(benchmark::State& state)
{
    Screen screen(QSize(int(state.range(0)), int(state.range(1))), 1000000);
    Confetti confetti;
    const Rect whole(0, 0, screen.image.width(), screen.image.height());
    confetti.start(0, whole);
    for (auto _ : state) {
        screen.paint();
        QPainter p(&screen.image);
        confetti.paint(p, 1000, screen.areas[AreaScroll]->m_rect);
    }
}
BENCHMARK(ConfettiFrame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// A long event: thirty prizes of 1,000 winners each run through the caption.
void DrawThirtyThousandWinners(Screen& screen)
{
    AwardItem big;
    big.awardName = L"参与奖";
    big.winnerCount = 1000;
    screen.engine.setPrizes(std::vector<AwardItem>(30, big), -1);
    for (int i = 0; i < 30; ++i) {
        screen.engine.StartDraw();
        DrawRecord record;
        screen.engine.StopDraw(DrawSeed::fresh(), record);
    }
    screen.layWall();
    screen.paint();
}

void PaintWithThirtyThousandWinners(benchmark::State& state)
{
    Screen screen(QSize(1920, 1080), static_cast<int>(state.range(0)));
    DrawThirtyThousandWinners(screen);
    for (auto _ : state)
        screen.paint();
}
BENCHMARK(PaintWithThirtyThousandWinners)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The first paint after a stop or a replacement, when the caption of 30,000
// winners is built and measured again and brought in at the new winners, and
// the wall of the prize's 1,000 winners is laid out again.
void CaptionLaidOutAgain(benchmark::State& state)
{
    Screen screen(QSize(1920, 1080), static_cast<int>(state.range(0)));
    DrawThirtyThousandWinners(screen);
    // The last winner is replaced before each paint.
    for (auto _ : state) {
        state.PauseTiming();
        DrawRecord record;
        screen.engine.ReplaceWinner(999, DrawSeed::fresh(), record);
        screen.painter.winnersCame();
        state.ResumeTiming();
        screen.layWall();
        screen.paint();
    }
}
BENCHMARK(CaptionLaidOutAgain)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// How the names area holds the 1,000 winners of a prize.
void WallOfThousandWinners(benchmark::State& state)
{
    Screen screen(QSize(1920, 1080), 100000);
    DrawThirtyThousandWinners(screen);
    for (auto _ : state)
        screen.layWall();
}
BENCHMARK(WallOfThousandWinners)->Unit(benchmark::kMillisecond);

// A full paint while a page of 500 winners is shown (0), and a cycling frame
// whose grid holds 500 cells (1).
void PaintWithFiveHundredCells(benchmark::State& state)
{
    Screen screen(QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))), 100000);
    AwardItem big;
    big.awardName = L"参与奖";
    big.winnerCount = 500;
    screen.engine.setPrizes(std::vector<AwardItem>(2, big), -1);
    screen.engine.StartDraw();
    if (state.range(2) == 0) {
        DrawRecord record;
        screen.engine.StopDraw(DrawSeed::fresh(), record);
    }
    screen.layWall();
    screen.paint(screen.engine.nextCycleStart());
    for (auto _ : state)
        screen.paint(screen.engine.nextCycleStart());
}
BENCHMARK(PaintWithFiveHundredCells)
    ->Args({3840, 2160, 0})
    ->Args({1920, 1080, 1})
    ->Unit(benchmark::kMillisecond);

void CyclingFrame(benchmark::State& state)
{
    Screen screen(QSize(1920, 1080), 300);
    screen.engine.StartDraw(); // the second prize cycles
    screen.layWall();
    screen.paint(screen.engine.nextCycleStart());
    for (auto _ : state)
        screen.paint(screen.engine.nextCycleStart());
}
BENCHMARK(CyclingFrame)->Unit(benchmark::kMillisecond);

// One paint of the result screen whose summary holds the given number of
// winners, with the given number of participants loaded.
void ResultScreenPaint(benchmark::State& state)
{
    BenchEvent event(static_cast<int>(state.range(1)));
    // One prize whose winners the store gives back.
    const int winners = static_cast<int>(state.range(0));
    std::wstring joined;
    for (int i = 0; i < winners; ++i)
        joined += (i ? L"|参加者" : L"参加者") + std::to_wstring(i);
    writeUtf8(event.filePath("AwardResult.ini"),
              "[AwardResult]\r\nCnt=1\r\nItme0=" + QString::fromStdWString(joined) + "\r\n");
    QString config = readUtf8(event.filePath("AwardInfo.ini"));
    config.remove(QRegularExpression("AwardItem[1-9][^\n]*\n"));
    config.replace(QRegularExpression("AwardItem0=[^\n]*\n"),
                   QStringLiteral("AwardItem0=参与奖|0|%1|纪念品|Backimg\\prize5.jpg\n").arg(winners));
    writeUtf8(event.filePath("AwardInfo.ini"), config);
    MusicPlayer::setAudioSink("fakesink sync=true");
    ShowWindows show(event.folder());
    show.open(QRect(0, 0, 1920, 1080));
    TextScroll scroll(TextScroll::Axis::Upwards);
    CResultDlg result(show.controller(), scroll, nullptr);
    result.OnInitDialog();
    QImage image(1920, 1080, QImage::Format_RGB32);
    // Until the summary has risen over the whole screen.
    for (int i = 0; i < 1080 / TextScroll::Step; ++i)
        result.render(&image);
    for (auto _ : state)
        result.render(&image);
}
BENCHMARK(ResultScreenPaint)
    ->Args({1000, 100})
    ->Args({30000, 100000})
    ->Args({30000, 1000000})
    ->Unit(benchmark::kMillisecond);

std::vector<tstring> BenchPool(int size)
{
    std::vector<tstring> pool;
    pool.reserve(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i)
        pool.emplace_back(L"参加者" + std::to_wstring(i));
    return pool;
}

// The names cycle for a while before the operator stops them: the stop is
// timed on its own.
void StopDrawThousandWinners(benchmark::State& state)
{
    DrawEngine engine;
    const std::vector<tstring> pool = BenchPool(static_cast<int>(state.range(0)));
    AwardItem prize;
    prize.winnerCount = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        // The last run's names go first, so the new ones take their memory.
        engine.Reset();
        engine.load(pool, {prize, prize});
        engine.StartDraw();
        // The names cycle for seconds: the pool's digest is known by the stop.
        engine.settleDigest();
        DrawRecord record;
        state.ResumeTiming();
        engine.StopDraw(DrawSeed::fresh(), record);
    }
}
BENCHMARK(StopDrawThousandWinners)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// What the start of a cycle costs on a big pool: it takes the pool's digest.
void StartDrawOnABigPool(benchmark::State& state)
{
    DrawEngine engine;
    AwardItem prize;
    prize.winnerCount = 1000;
    engine.load(BenchPool(static_cast<int>(state.range(0))), {});
    for (auto _ : state) {
        state.PauseTiming();
        engine.settleDigest();
        engine.setPrizes({prize, prize}, -1);
        state.ResumeTiming();
        // Its cost on the screen's thread; the digest goes on beside it.
        engine.StartDraw();
    }
}
BENCHMARK(StartDrawOnABigPool)->Arg(100000)->Arg(1000000)->Iterations(30)->Unit(benchmark::kMillisecond);

void LoadDrawDataOfParticipants(benchmark::State& state)
{
    BenchEvent event(static_cast<int>(state.range(0)), state.range(1) != 0);
    DrawEngine engine;
    TextEncoding encoding;
    for (auto _ : state) {
        LoadDrawData(event.folder(), engine, encoding);
        benchmark::DoNotOptimize(engine.pool().size());
    }
}
BENCHMARK(LoadDrawDataOfParticipants)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);

// From creating the draw screen to its first painted frame: everything the
// program does at start-up after Qt is up.
void StartToFirstFrame(benchmark::State& state)
{
    BenchEvent event(static_cast<int>(state.range(0)));
    MusicPlayer::setAudioSink("fakesink sync=true");
    for (auto _ : state) {
        ShowWindows show(event.folder());
        show.open(QRect(0, 0, 1920, 1080));
        benchmark::DoNotOptimize(show.drawScreen().grab());
    }
}
BENCHMARK(StartToFirstFrame)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The participant editor on a big list: nothing is reloaded after its save.
class QuietEditorHost : public ParticipantEditorHost
{
public:
    explicit QuietEditorHost(EventFolder folder) : m_folder(std::move(folder)) {}
    const EventFolder& folder() const override { return m_folder; }
    TextEncoding participantEncoding() const override { return TextEncoding::Utf8; }
    void participantFieldsImported(const QStringList&) override {}
    void reloadAfterParticipantEdit() override {}

private:
    EventFolder m_folder;
};

void OpenParticipantEditor(benchmark::State& state)
{
    BenchEvent event(static_cast<int>(state.range(0)));
    QuietEditorHost host(event.folder());
    for (auto _ : state) {
        CEditLottoryDlg editor(host);
        editor.OnInitDialog();
        editor.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(editor.m_edit->endShown());
    }
}
BENCHMARK(OpenParticipantEditor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void SaveParticipantEditor(benchmark::State& state)
{
    BenchEvent event(static_cast<int>(state.range(0)));
    QuietEditorHost host(event.folder());
    CEditLottoryDlg editor(host);
    editor.OnInitDialog();
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.SaveParticipants());
}
BENCHMARK(SaveParticipantEditor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

// One scroll step and the gutter painted for it.
void ParticipantGutterScroll(benchmark::State& state)
{
    BenchEvent event(100000);
    QuietEditorHost host(event.folder());
    CEditLottoryDlg editor(host);
    editor.OnInitDialog();
    editor.show();
    QCoreApplication::processEvents();
    QScrollBar* bar = editor.m_edit->verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        bar->setValue((bar->value() + 997 * ++step) % std::max(bar->maximum(), 1));
        editor.m_edit->gutter()->repaint();
    }
}
BENCHMARK(ParticipantGutterScroll)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MsgBox::setHandler([](const std::wstring&, const std::wstring&, unsigned) { return int(MsgBox::IdOk); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
