#pragma once

// What the benchmarks that fork a second process share: a clock both
// processes read alike, an event loop that sleeps between events, and lines
// through a pipe.
#include "live/LiveServer.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <unistd.h>

namespace BenchSupport {

inline double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Runs the event loop, asleep between events, until `done` or `ms` pass.
inline void spin(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    QTimer wake;
    wake.start(10);
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

inline void say(int fd, const QByteArray& line)
{
    const QByteArray text = line + '\n';
    if (write(fd, text.constData(), size_t(text.size())) < 0)
        std::perror("pipe");
}

inline QByteArray hear(int fd)
{
    QByteArray line;
    char c = 0;
    while (read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

// The next line from the pipe, the event loop running until it comes.
inline QByteArray hearWhileRunning(int fd, int ms)
{
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    bool ready = false;
    QObject::connect(&notifier, &QSocketNotifier::activated, [&ready] { ready = true; });
    spin([&ready] { return ready; }, ms);
    return ready ? hear(fd) : QByteArray();
}

// Hands the server its first results and has it listen on 127.0.0.1 at
// any free port, from its own thread; the port, 0 when none was taken.
inline quint16 listenOnLoopback(LiveServer* server, const QByteArray& results)
{
    quint16 port = 0;
    QObject context;
    QObject::connect(server, &LiveServer::listening, &context,
                     [&port](quint16 listened) { port = listened; });
    QMetaObject::invokeMethod(server, [server, results] {
        server->publish(LiveUpdate{1, "reset", results, results});
        server->listen({QHostAddress(QHostAddress::LocalHost)}, 0, 1, QStringLiteral("127.0.0.1"));
    });
    spin([&port] { return port != 0; }, 5000);
    return port;
}

// A 1 ms beat on the thread that makes it: the longest it waited for that thread.
class Heartbeat
{
public:
    Heartbeat()
    {
        m_beat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_beat, &QTimer::timeout, [this] {
            const double now = monotonicMs();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_beat.start(1);
    }
    void stop() { m_beat.stop(); }
    double longestMs() const { return m_longest; }

private:
    QTimer m_beat;
    double m_last = monotonicMs();
    double m_longest = 0;
};

} // namespace BenchSupport
