// The phones' server under a hall's load, over 127.0.0.1: a second process
// holds the event streams of many phones, spread over addresses of
// 127.0.0.0/8 as phones come from many addresses, and polls the results.
// Reports the server's memory for the streams held, its processor time idle
// and under polling, how long a stop's winners take to reach every stream,
// and the longest the GUI thread (which hands the updates over) was away.
//   live_bench [streams] [polls a second]
#include "BenchSupport.h"
#include "live/LiveServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace BenchSupport;

double processorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

long residentKb()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmRSS: %ld", &kb) == 1)
            break;
    }
    std::fclose(status);
    return kb;
}

void raiseFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

QByteArray prize(int winners, qint64 version)
{
    QJsonArray names;
    for (int i = 0; i < winners; ++i)
        names.append(QStringLiteral("张*%1").arg(i));
    const QByteArray json =
        QJsonDocument(QJsonObject{{"index", 0}, {"winners", names}}).toJson(QJsonDocument::Compact);
    return "{\"version\":" + QByteArray::number(version) + ",\"prize\":" + json + '}';
}

// The phones: streams held, each noting when an event's id arrived.
int phones(int fromServer, int toServer, int streams, int pollsPerSecond)
{
    raiseFileLimit();
    int argc = 1;
    char name[] = "phones";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const auto port = static_cast<quint16>(hear(fromServer).toUInt());
    const QByteArray host = "Host: 127.0.0.1:" + QByteArray::number(port) + "\r\n";
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    // What came last (an id may be cut between two reads), the last id, and when the awaited one came.
    std::vector<QByteArray> tail(static_cast<size_t>(streams));
    std::vector<qint64> lastId(size_t(streams), -1);
    std::vector<double> arrived(size_t(streams), 0);
    qint64 awaited = -1;
    int open = 0;
    for (int i = 0; i < streams; ++i) {
        // Eight a phone's address, as many as the server lets one address hold.
        const int address = i / 8;
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(QStringLiteral("127.1.%1.%2").arg(address / 250).arg(address % 250 + 1)));
        QTcpSocket* raw = socket.get();
        QObject::connect(raw, &QTcpSocket::connected, raw,
                         [raw, host] { raw->write("GET /api/events HTTP/1.1\r\n" + host + "\r\n"); });
        QObject::connect(raw, &QTcpSocket::readyRead, raw, [&, raw, i] {
            const QByteArray text = tail[size_t(i)] + raw->readAll();
            for (qsizetype at = text.indexOf("id: "); at >= 0; at = text.indexOf("id: ", at + 4)) {
                const qsizetype end = text.indexOf('\n', at);
                if (end < 0)
                    break;
                const qint64 id = text.mid(at + 4, end - at - 4).toLongLong();
                if (id > lastId[size_t(i)]) {
                    if (lastId[size_t(i)] < 0)
                        ++open;
                    lastId[size_t(i)] = id;
                }
            }
            if (awaited >= 0 && arrived[size_t(i)] == 0 && lastId[size_t(i)] >= awaited)
                arrived[size_t(i)] = monotonicMs();
            tail[size_t(i)] = text.right(32);
        });
        socket->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        sockets.push_back(std::move(socket));
        if (i % 200 == 199)
            spin([] { return false; }, 20);
    }
    spin([&] { return open == streams; }, 60000);
    say(toServer, QByteArray::number(open));

    // Each stop: the server says when it handed the event over; the last stream to get it counts.
    for (;;) {
        const QByteArray line = hear(fromServer);
        if (!line.startsWith("stop "))
            break;
        const QList<QByteArray> parts = line.split(' ');
        awaited = parts[1].toLongLong();
        const double sent = parts[2].toDouble();
        std::fill(arrived.begin(), arrived.end(), 0);
        for (size_t i = 0; i < lastId.size(); ++i) {
            if (lastId[i] >= awaited)
                arrived[i] = monotonicMs();
        }
        spin([&] { return std::count(arrived.begin(), arrived.end(), 0.0) == 0; }, 10000);
        const double last = *std::max_element(arrived.begin(), arrived.end());
        const auto missing = std::count(arrived.begin(), arrived.end(), 0.0);
        say(toServer, QByteArray::number(missing == 0 ? last - sent : -1.0, 'f', 1) + ' ' +
                          QByteArray::number(qlonglong(missing)));
    }

    // Polling: a new connection a request, as a phone without event streams does.
    int answered = 0;
    QElapsedTimer polling;
    polling.start();
    QTimer poll;
    int sent = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const int due = int(polling.elapsed() * pollsPerSecond / 1000);
        for (; sent < due; ++sent) {
            auto* socket = new QTcpSocket(&app);
            const int address = 1000 + sent % 500;
            socket->bind(
                QHostAddress(QStringLiteral("127.2.%1.%2").arg(address / 250).arg(address % 250 + 1)));
            QObject::connect(socket, &QTcpSocket::connected, socket, [socket, host] {
                socket->write("GET /api/results HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n");
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [&answered, socket] {
                ++answered;
                socket->deleteLater();
            });
            socket->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        }
    });
    poll.start(5);
    spin([&] { return polling.elapsed() >= 10000; }, 11000);
    poll.stop();
    spin([&] { return answered >= sent; }, 5000);
    say(toServer, QByteArray::number(answered) + ' ' + QByteArray::number(sent));
    hear(fromServer);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int streams = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int pollsPerSecond = argc > 2 ? std::atoi(argv[2]) : 300;
    int down[2];
    int up[2];
    if (pipe(down) != 0 || pipe(up) != 0)
        return 1;
    const pid_t child = fork();
    if (child == 0)
        return phones(down[0], up[1], streams, pollsPerSecond);

    raiseFileLimit();
    QCoreApplication app(argc, argv);
    qRegisterMetaType<LiveUpdate>();
    QThread thread;
    auto* server = new LiveServer(LiveServer::Limits{});
    server->moveToThread(&thread);
    thread.start();
    qint64 version = 1;
    const QByteArray snapshot = "{\"version\":1,\"prizes\":[]}";
    const quint16 port = listenOnLoopback(server, snapshot);
    const long before = residentKb();
    say(down[1], QByteArray::number(port));
    const int held = hear(up[0]).toInt();
    spin([] { return false; }, 1000);
    const long after = residentKb();

    const double idleStart = processorMs();
    const double idleWall = monotonicMs();
    spin([] { return false; }, 3000);
    const double idleShare = (processorMs() - idleStart) / (monotonicMs() - idleWall);

    // The GUI thread beats every millisecond while the stops go out.
    Heartbeat beat;
    std::printf("%d event streams held, the server's memory for them %.1f MB, its processor idle %.1f %%\n",
                held, double(after - before) / 1024.0, idleShare * 100);
    for (const int winners : {10, 1000}) {
        for (int round = 0; round < 3; ++round) {
            ++version;
            const LiveUpdate update{version, "prize", prize(winners, version), snapshot};
            const double sent = monotonicMs();
            QMetaObject::invokeMethod(server, [server, update] { server->publish(update); });
            say(down[1], "stop " + QByteArray::number(version) + ' ' + QByteArray::number(sent, 'f', 3));
            // The reply comes through a pipe; the event loop keeps beating meanwhile.
            const QByteArray answer = hearWhileRunning(up[0], 20000);
            std::printf("a stop of %4d winners reached every stream in %s ms (missed by %s)\n", winners,
                        answer.split(' ').value(0).constData(), answer.split(' ').value(1).constData());
        }
    }
    beat.stop();
    std::printf("the GUI thread's longest time away while the stops went out: %.1f ms\n", beat.longestMs());
    say(down[1], "poll");
    const double pollStart = processorMs();
    const double pollWall = monotonicMs();
    const QByteArray polled = hearWhileRunning(up[0], 30000);
    const double pollShare = (processorMs() - pollStart) / (monotonicMs() - pollWall);
    const QList<QByteArray> polls = polled.split(' ');
    std::printf("%d polls a second (%s of %s answered): the server's processor %.1f %% of a core\n",
                pollsPerSecond, polls.value(0).constData(), polls.value(1).constData(), pollShare * 100);
    say(down[1], "end");
    waitpid(child, nullptr, 0);
    QMetaObject::invokeMethod(
        server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    return 0;
}
