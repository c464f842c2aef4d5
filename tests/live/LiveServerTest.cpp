#include "live/LiveServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The server on its own thread at 127.0.0.1, as the show runs it.
class LiveServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qRegisterMetaType<LiveUpdate>();
        LiveServer::Limits limits;
        limits.perAddress = 3;
        limits.headerMs = 300;
        m_server = new LiveServer(limits);
        m_server->moveToThread(&m_thread);
        m_thread.start();
        QSignalSpy listening(m_server, &LiveServer::listening);
        publish(1, "reset", results({}));
        QMetaObject::invokeMethod(m_server, [this] {
            m_server->listen({QHostAddress(QHostAddress::LocalHost)}, 0, 1, QStringLiteral("127.0.0.1"));
        });
        // The server's thread may emit before the wait begins, which then waits for another.
        ASSERT_TRUE(QTest::qWaitFor([&listening] { return !listening.isEmpty(); }, 5000));
        m_port = listening.first().first().value<quint16>();
        ASSERT_NE(m_port, 0);
    }
    void TearDown() override
    {
        QMetaObject::invokeMethod(
            m_server, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    static QByteArray results(const QStringList& winners)
    {
        return QJsonDocument(QJsonObject{{"winners", QJsonArray::fromStringList(winners)}})
            .toJson(QJsonDocument::Compact);
    }
    void publish(qint64 version, const QByteArray& event, const QByteArray& data)
    {
        const LiveUpdate update{version, event, data, data};
        QMetaObject::invokeMethod(m_server, [this, update] { m_server->publish(update); });
    }

    // A connection from that loopback address with the request sent.
    std::unique_ptr<QTcpSocket> request(const QByteArray& head,
                                        const QString& from = QStringLiteral("127.0.0.1"))
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(from));
        socket->connectToHost(QHostAddress(QHostAddress::LocalHost), m_port);
        EXPECT_TRUE(socket->waitForConnected(5000));
        socket->write(head);
        socket->flush();
        return socket;
    }
    QByteArray stream(const QByteArray& lastEventId = QByteArray())
    {
        return "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) + "\r\n" +
               (lastEventId.isEmpty() ? QByteArray() : "Last-Event-ID: " + lastEventId + "\r\n") + "\r\n";
    }
    // What arrives until `until` is in it, or the connection closes.
    static QByteArray readUntil(QTcpSocket& socket, const QByteArray& until)
    {
        QByteArray got;
        const QDeadlineTimer deadline(5000);
        while (!got.contains(until) && !deadline.hasExpired()) {
            if (!socket.waitForReadyRead(100) && socket.state() != QAbstractSocket::ConnectedState)
                break;
            got += socket.readAll();
        }
        return got + socket.readAll();
    }
    // The events of a stream: id, event name, data.
    static std::vector<std::tuple<QByteArray, QByteArray, QByteArray>> events(const QByteArray& text)
    {
        std::vector<std::tuple<QByteArray, QByteArray, QByteArray>> found;
        const QByteArray body = text.mid(text.indexOf("\r\n\r\n") + 4);
        for (const QString& text : QString::fromUtf8(body).split(QStringLiteral("\n\n"))) {
            const QByteArray block = text.toUtf8();
            std::tuple<QByteArray, QByteArray, QByteArray> event;
            for (const QByteArray& line : block.split('\n')) {
                if (line.startsWith("id: "))
                    std::get<0>(event) = line.mid(4);
                else if (line.startsWith("event: "))
                    std::get<1>(event) = line.mid(7);
                else if (line.startsWith("data: "))
                    std::get<2>(event) = line.mid(6);
            }
            if (!std::get<1>(event).isEmpty())
                found.push_back(event);
        }
        return found;
    }

    QThread m_thread;
    LiveServer* m_server = nullptr;
    quint16 m_port = 0;
};

} // namespace

// Events arrive in order, each with its version, names of any kind intact on
// one data line; a phone that comes back with Last-Event-ID gets what it
// missed, and one whose id is gone gets the whole results again.
TEST_F(LiveServerTest, EventsArriveInOrderAndAReconnectGetsWhatItMissed)
{
    const QStringList hostile{"张\"三\"", "<script>alert(1)</script>", "a|b", QString::fromUtf8("x\u2028y"),
                              "line\nbreak\r"};
    auto phone = request(stream());
    QByteArray got = readUntil(*phone, "event: snapshot");
    EXPECT_TRUE(got.startsWith("HTTP/1.1 200 OK\r\n"));
    publish(2, "prize", results(hostile));
    publish(3, "replace", results({"李四"}));
    got += readUntil(*phone, "id: 3\n");
    const auto seen = events(got);
    ASSERT_EQ(seen.size(), 3u) << got.toStdString();
    EXPECT_EQ(std::get<1>(seen[0]), "snapshot");
    EXPECT_EQ(std::make_pair(std::get<0>(seen[1]), std::get<1>(seen[1])),
              std::make_pair(QByteArray("2"), QByteArray("prize")));
    EXPECT_EQ(std::get<0>(seen[2]), "3");
    EXPECT_EQ(QJsonDocument::fromJson(std::get<2>(seen[1])).object()["winners"].toVariant().toStringList(),
              hostile);
    phone.reset();

    publish(4, "prize", results({"王五"}));
    auto back = request(stream("2"));
    const auto missed = events(readUntil(*back, "id: 4\n"));
    ASSERT_EQ(missed.size(), 2u);
    EXPECT_EQ(std::get<0>(missed[0]), "3");
    EXPECT_EQ(std::get<0>(missed[1]), "4");

    auto lost = request(stream("999"));
    const auto afresh = events(readUntil(*lost, "event: snapshot"));
    ASSERT_EQ(afresh.size(), 1u);
    EXPECT_EQ(std::get<0>(afresh[0]), "4") << "the whole results at the version they make";
}

// One address holds only its share, a head that does not come in time is
// answered 408, and what is refused closes the connection.
TEST_F(LiveServerTest, AnAddressHoldsItsShareAndASlowHeadIsLetGo)
{
    QSignalSpy phones(m_server, &LiveServer::phonesChanged);
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < 3; ++i) {
        held.push_back(request(stream(), QStringLiteral("127.0.0.2")));
        readUntil(*held.back(), "event: snapshot");
    }
    auto fourth = request(stream(), QStringLiteral("127.0.0.2"));
    EXPECT_TRUE(readUntil(*fourth, "HTTP/1.1").isEmpty()) << "over its share, closed at once";
    EXPECT_TRUE(phones.wait(3000) || !phones.isEmpty());
    EXPECT_TRUE(phones.last().at(1).toStringList().contains(QStringLiteral("127.0.0.2")));
    auto other = request(stream(), QStringLiteral("127.0.0.3"));
    EXPECT_TRUE(readUntil(*other, "event: snapshot").contains("event: snapshot")) << "others are not held up";

    auto slow = request("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    EXPECT_TRUE(readUntil(*slow, "\r\n\r\n").startsWith("HTTP/1.1 408 "))
        << "within the sweep after the limit";

    auto refused =
        request("GET /../AwardInfo.ini HTTP/1.1\r\nHost: evil.example\r\n\r\nGET / HTTP/1.1\r\n\r\n");
    const QByteArray answer = readUntil(*refused, "never");
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 421 ")) << answer.toStdString();
    EXPECT_EQ(answer.count("HTTP/1.1"), 1) << "nothing after a refusal is read";
}

// Wrong names and codes are answered alike and counted against the address:
// after five it waits, with Retry-After; when wrong tries pour in from many
// addresses, one that failed lately waits too, while a fresh one's right code
// is taken.
TEST_F(LiveServerTest, WrongCheckInsMakeAnAddressWaitAndARightOneIsTaken)
{
    // The show's side: one guest and her code.
    QObject::connect(m_server, &LiveServer::checkinAsked, m_server,
                     [this](quint64 ask, const QString& name, const QString& code, const QString&) {
                         const bool right =
                             name == QStringLiteral("张 三") && code == QStringLiteral("ABC-DEF");
                         m_server->answerCheckin(ask, !right,
                                                 right ? R"({"ok":true,"message":"签到成功"})"
                                                       : R"({"ok":false,"message":"姓名或签到码不对"})");
                     });
    const auto post = [this](const QByteArray& form, const QString& from) {
        auto socket = request("POST /api/checkin HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) +
                                  "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                                  QByteArray::number(form.size()) + "\r\nConnection: close\r\n\r\n" + form,
                              from);
        return readUntil(*socket, "never");
    };
    const QByteArray right = "name=%E5%BC%A0+%E4%B8%89&code=ABC-DEF&token=t";
    const QByteArray wrongCode = "name=%E5%BC%A0+%E4%B8%89&code=ABC-DEG";
    const QByteArray wrongName = "name=%E6%9D%8E%E5%9B%9B&code=ABC-DEF";
    QByteArray first;
    for (int i = 0; i < LiveServer::FailuresAllowed; ++i) {
        const QByteArray answer = post(i % 2 ? wrongName : wrongCode, QStringLiteral("127.0.0.5"));
        const QByteArray body = answer.mid(answer.indexOf("\r\n\r\n") + 4);
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 ")) << answer.toStdString();
        if (i == 0)
            first = body;
        EXPECT_EQ(body, first) << "a wrong name and a wrong code are told alike";
    }
    const QByteArray waiting = post(right, QStringLiteral("127.0.0.5"));
    EXPECT_TRUE(waiting.startsWith("HTTP/1.1 429 ")) << waiting.toStdString();
    EXPECT_TRUE(waiting.contains("Retry-After: 60")) << "about ten minutes";
    EXPECT_TRUE(post(right, QStringLiteral("127.0.0.6")).contains(R"("ok":true)"));

    // Many addresses, one wrong try each, within a second.
    for (int i = 0; i < LiveServer::FailuresPerSecond; ++i)
        post(wrongCode, QStringLiteral("127.0.1.%1").arg(i + 1));
    EXPECT_TRUE(post(right, QStringLiteral("127.0.1.1")).startsWith("HTTP/1.1 429 ")) << "it failed lately";
    EXPECT_TRUE(post(right, QStringLiteral("127.0.2.1")).contains(R"("ok":true)"))
        << "a fresh address is heard";
}
