// What the hall feels, in one process: a whole event of 1,000,000 names and
// 30 prizes (27 of 1,000, then 100, 10 and 1) driven through the show's
// windows on Qt's offscreen platform, and for each kind of action (start,
// stop, page, replacement, result screen) the longest time the GUI thread
// was busy, found by a 1 ms heartbeat on that thread.
//   show_bench [participants]
#include "app/CRafoDlg.h"
#include "app/ModalRunner.h"
#include "app/MusicPlayer.h"
#include "app/ShowWindows.h"
#include "platform/EventFolder.h"
#include "platform/MsgBox.h"
#include "platform/ProcessMemory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>

namespace {

// With SHOW_BENCH_TRACE set, prints every event that held the GUI thread
// for over 4 ms, with its receiver: where a long stretch went.
class TracingApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!m_trace || m_depth > 0)
            return QApplication::notify(receiver, event);
        const int type = event->type();
        QElapsedTimer held;
        held.start();
        const double cpu = cpuMs();
        ++m_depth;
        const bool taken = QApplication::notify(receiver, event);
        --m_depth;
        // Less processor time than time held: the thread waited or was put aside.
        if (held.nsecsElapsed() > 4000000)
            std::fprintf(stderr, "%6.1f ms (%.1f ms on the processor)  event %d to %s %s\n",
                         double(held.nsecsElapsed()) / 1e6, cpuMs() - cpu, type,
                         receiver->metaObject()->className(), qPrintable(receiver->objectName()));
        return taken;
    }

private:
    static double cpuMs()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }

    const bool m_trace = std::getenv("SHOW_BENCH_TRACE") != nullptr;
    int m_depth = 0;
};

// The longest stretch the GUI thread spent away from its event loop.
class Heartbeat
{
public:
    Heartbeat()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { beat(); });
        m_timer.start(1);
        m_clock.start();
    }

    // Runs the action, then the event loop for `ms`; the longest silence in it.
    template <typename Action> double during(Action action, int ms)
    {
        m_longest = 0;
        m_last = m_clock.nsecsElapsed();
        action();
        beat();
        QElapsedTimer spent;
        spent.start();
        while (spent.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return double(m_longest) / 1e6;
    }

private:
    void beat()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

void makeEvent(const QString& folder, int participants)
{
    const QString demo = QStringLiteral(RAFO_DEMO_DIR);
    for (const QString& sub : {QStringLiteral("."), QStringLiteral("Backimg"), QStringLiteral("Music")}) {
        QDir().mkpath(folder + "/" + sub);
        for (const QString& file : QDir(demo + "/" + sub).entryList(QDir::Files))
            QFile::copy(demo + "/" + sub + "/" + file, folder + "/" + sub + "/" + file);
    }
    const QStringList surnames =
        QStringLiteral("张 王 李 赵 刘 陈 杨 黄 周 吴 徐 孙 马 朱 胡 郭 何 林 高 罗").split(' ');
    const QStringList given =
        QStringLiteral("伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀英 霞 平 刚 桂英 文 华")
            .split(' ');
    const QStringList departments =
        QStringLiteral("研发部 市场部 销售一部 销售二部 财务部 人事部 客服中心 行政部").split(' ');
    QByteArray names;
    names.reserve(qsizetype(participants) * 30);
    for (int i = 1; i <= participants; ++i)
        names += QStringLiteral("A%1 %2%3 %4\n")
                     .arg(i, 7, 10, QLatin1Char('0'))
                     .arg(surnames[i % 20], given[(i / 20) % 24], departments[(i / 480) % 8])
                     .toUtf8();
    QFile data(folder + "/data.txt");
    data.open(QIODevice::WriteOnly | QIODevice::Truncate);
    data.write(names);
    data.close();
    QFile info(folder + "/AwardInfo.ini");
    info.open(QIODevice::ReadOnly);
    QString config = QString::fromUtf8(info.readAll());
    info.close();
    QString prizes;
    for (int i = 0; i < 27; ++i)
        prizes +=
            QStringLiteral("AwardItem%1=幸运奖%2|0|1000|纪念品|Backimg\\prize5.jpg\n").arg(i).arg(i + 1);
    prizes += QStringLiteral("AwardItem27=三等奖|0|100|蓝牙耳机|Backimg\\prize4.jpg\n"
                             "AwardItem28=二等奖|0|10|智能手表|Backimg\\prize3.jpg\n"
                             "AwardItem29=特等奖|0|1|笔记本电脑|Backimg\\prize1.jpg\n");
    config.remove(QRegularExpression("AwardItem[0-9]+=[^\n]*\n"));
    config.replace(QStringLiteral("[AwardInfo]\n"), QStringLiteral("[AwardInfo]\n") + prizes);
    info.open(QIODevice::WriteOnly | QIODevice::Truncate);
    info.write(config.toUtf8());
}

// Of this process, in MB: "VmRSS" now or "VmHWM" its peak.
int memory(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key)) + 1).trimmed().split(' ').first().toInt() / 1024;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    ProcessMemory::keepLean();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TracingApplication app(argc, argv);
    const int participants = argc > 1 ? std::atoi(argv[1]) : 1000000;
    MusicPlayer::setAudioSink("fakesink sync=true");
    MsgBox::setHandler([](const std::wstring&, const std::wstring&, unsigned) { return int(MsgBox::IdOk); });
    // The result screen is shown, not run in a loop of its own, so its paints count here.
    ModalRunner::setDialogRunner([](QDialog& dialog) {
        dialog.show();
        return int(QDialog::Accepted);
    });
    QTemporaryDir folder;
    makeEvent(folder.path(), participants);

    Heartbeat heartbeat;
    std::map<std::string, double> longest;
    const auto note = [&longest](const char* action, double ms) {
        longest[action] = std::max(longest[action], ms);
        if (std::getenv("SHOW_BENCH_TRACE"))
            std::fprintf(stderr, "%s: %.1f ms\n", action, ms);
    };
    ShowWindows show(EventFolder(folder.path()));
    show.open(QRect(0, 0, 1920, 1080));
    show.drawScreen().show();
    ShowController& controller = show.controller();
    for (int prize = 0; prize < 30; ++prize) {
        note("start", heartbeat.during([&] { controller.space(); }, 300));
        note("stop", heartbeat.during([&] { controller.space(); }, 300));
        note("page", heartbeat.during([&] { controller.pageDown(); }, 100));
        if (prize == 0 || prize == 26)
            note("replacement", heartbeat.during([&] { controller.replace(0); }, 300));
        if (std::getenv("SHOW_BENCH_MEMORY"))
            std::printf("after prize %d: %d MB\n", prize + 1, memory("VmRSS:"));
    }
    note("result screen", heartbeat.during([&] { controller.space(); }, 500));
    std::printf("%d participants: the longest the GUI thread was busy\n", participants);
    std::printf("  (memory: %d MB at the end, %d MB at most)\n", memory("VmRSS:"), memory("VmHWM:"));
    for (const auto& [action, ms] : longest)
        std::printf("  %-14s %7.1f ms\n", action.c_str(), ms);
    controller.exit();
    return 0;
}
