#pragma once

// What the benchmarks that fork a second process share: a clock both
// processes read alike, an event loop that sleeps between events, and lines
// through a pipe.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
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

} // namespace BenchSupport
