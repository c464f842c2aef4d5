// Guests checking in from their phones as they arrive: 2,000 of them in
// bursts of 50 a second, each a form posted over 127.0.0.1 from a second
// process, answered by the show on its GUI thread, which journals each
// check-in before the answer. Reports how long the slowest guests waited and
// the longest the GUI thread was away meanwhile.
//   checkin_bench [guests] [a second]
#include "BenchSupport.h"
#include "app/CheckinCode.h"
#include "app/DrawSession.h"
#include "live/LiveServer.h"
#include "platform/EventFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace BenchSupport;

// The guests: a burst a second, each waiting for its answer.
int guests(int fromShow, int toShow, const std::vector<std::pair<QString, QString>>& people, int perSecond)
{
    int argc = 1;
    char name[] = "guests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const auto port = static_cast<quint16>(hear(fromShow).toUInt());
    const QByteArray host = "Host: 127.0.0.1:" + QByteArray::number(port) + "\r\n";
    std::vector<double> waited;
    int failed = 0;
    int sent = 0;
    QElapsedTimer clock;
    clock.start();
    QTimer burst;
    QObject::connect(&burst, &QTimer::timeout, [&] {
        const int due = std::min<int>(int(people.size()), int((clock.elapsed() / 1000 + 1) * perSecond));
        for (; sent < due; ++sent) {
            const auto& [who, code] = people[size_t(sent)];
            const QByteArray form = "name=" + QUrl::toPercentEncoding(who) + "&code=" + code.toLatin1() +
                                    "&token=guest" + QByteArray::number(sent);
            auto* socket = new QTcpSocket(&app);
            const int address = sent / 4;
            socket->bind(
                QHostAddress(QStringLiteral("127.3.%1.%2").arg(address / 250).arg(address % 250 + 1)));
            const double start = monotonicMs();
            auto answer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::connected, socket, [socket, host, form] {
                socket->write("POST /api/checkin HTTP/1.1\r\n" + host +
                              "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                              QByteArray::number(form.size()) + "\r\nConnection: close\r\n\r\n" + form);
            });
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [socket, answer] { *answer += socket->readAll(); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [&, socket, answer, start] {
                waited.push_back(monotonicMs() - start);
                if (!answer->contains("\"ok\":true"))
                    ++failed;
                socket->deleteLater();
            });
            socket->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
        }
    });
    burst.start(50);
    spin([&] { return waited.size() == people.size(); },
         int(people.size() / std::max(1, perSecond) + 30) * 1000);
    burst.stop();
    std::sort(waited.begin(), waited.end());
    const auto at = [&waited](double share) {
        return waited.empty() ? 0.0
                              : waited[std::min(waited.size() - 1, size_t(double(waited.size()) * share))];
    };
    say(toShow, QByteArray::number(qlonglong(waited.size())) + ' ' + QByteArray::number(failed) + ' ' +
                    QByteArray::number(at(0.5), 'f', 1) + ' ' + QByteArray::number(at(0.99), 'f', 1) + ' ' +
                    QByteArray::number(waited.empty() ? 0.0 : waited.back(), 'f', 1));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int perSecond = argc > 2 ? std::atoi(argv[2]) : 50;
    // The event, its key and the codes HR would hand out, before any Qt
    // application exists: the guests' process is forked from here.
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(RAFO_DEMO_DIR "/AwardInfo.ini"),
                dir.filePath(QStringLiteral("AwardInfo.ini")));
    QFile ini(dir.filePath(QStringLiteral("AwardInfo.ini")));
    ini.open(QIODevice::Append);
    ini.write("\r\n[Phone]\r\nCheckin=code\r\n");
    ini.close();
    const EventFolder folder(dir.path());
    const CheckinCode codes(CheckinCode::eventKey(folder).value_or(QByteArray()));
    QFile list(dir.filePath(QStringLiteral("data.txt")));
    list.open(QIODevice::WriteOnly);
    std::vector<std::pair<QString, QString>> people;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("员工%1").arg(i);
        const QString line = QStringLiteral("A%1 %2 研发部").arg(i + 1, 5, 10, QLatin1Char('0')).arg(name);
        list.write((line + QStringLiteral("\r\n")).toUtf8());
        people.emplace_back(name, codes.of(line));
    }
    list.close();

    int down[2];
    int up[2];
    if (pipe(down) != 0 || pipe(up) != 0)
        return 1;
    const pid_t child = fork();
    if (child == 0)
        return guests(down[0], up[1], people, perSecond);

    // The session lays its text areas out in fonts, as the show does.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qRegisterMetaType<LiveUpdate>();
    DrawSession session{folder};
    session.open(1920, 1080);
    session.checkinDesk().setOpen(true);

    QThread thread;
    LiveServer::Limits limits;
    auto* server = new LiveServer(limits);
    server->moveToThread(&thread);
    thread.start();
    // The show's side, as the phones' service answers on the GUI thread.
    QObject::connect(
        server, &LiveServer::checkinAsked, &app,
        [&](quint64 ask, const QString& name, const QString& code, const QString& device) {
            session.checkinDesk().checkIn(
                name, code, device, [server, ask](const CheckinBook::Answer& answer) {
                    const QByteArray json =
                        QJsonDocument(QJsonObject{{"ok", answer.ok}, {"message", answer.message}})
                            .toJson(QJsonDocument::Compact);
                    const bool wrong = !answer.ok;
                    QMetaObject::invokeMethod(
                        server, [server, ask, wrong, json] { server->answerCheckin(ask, wrong, json); });
                });
        });
    const quint16 port = listenOnLoopback(server, "{}");

    Heartbeat beat;
    say(down[1], QByteArray::number(port));
    const QList<QByteArray> figures =
        hearWhileRunning(up[0], (count / std::max(1, perSecond) + 60) * 1000).split(' ');
    beat.stop();
    std::printf("%s guests checked in by code in bursts of %d a second (%s refused), %zu in the journal\n",
                figures.value(0).constData(), perSecond, figures.value(1).constData(),
                session.checkinDesk().book().checkedInCount());
    std::printf("answered within: median %s ms, 99 %% %s ms, slowest %s ms\n", figures.value(2).constData(),
                figures.value(3).constData(), figures.value(4).constData());
    std::printf("the GUI thread's longest time away meanwhile: %.1f ms\n", beat.longestMs());
    waitpid(child, nullptr, 0);
    QMetaObject::invokeMethod(
        server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    return 0;
}
