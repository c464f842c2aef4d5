#pragma once

#include "live/HttpRequest.h"
#include "live/LiveSite.h"
#include "live/LiveStreams.h"
#include "live/LiveUpdate.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <deque>

class QTcpServer;
class QTcpSocket;

// The phones' server, on a thread of its own: the page, the results and an
// event stream per phone, within limits that keep the show's laptop safe
// from a room full of phones and from whoever else is on its network.
// It serves what the GUI thread hands over and nothing from the disk.
class LiveServer : public QObject
{
    Q_OBJECT
public:
    struct Limits
    {
        int connections = 4000;
        int perAddress = 8;
        int headerMs = 10000;
        int idleMs = 15000;
        int pingMs = 25000;
        // Beyond what a phone was sent on connecting.
        qint64 backlog = 256 * 1024;
    };
    // Missed events kept for a phone that reconnects with Last-Event-ID.
    static constexpr size_t Kept = 256;
    // Wrong check-ins an address may make in the window before it must wait.
    static constexpr int FailuresAllowed = 5;
    static constexpr qint64 FailureWindowMs = 10 * 60 * 1000;
    // Beyond this many wrong check-ins a second in all, an address that
    // failed lately waits too: guessing from many addresses gains nothing.
    static constexpr int FailuresPerSecond = 20;
    static constexpr const char* TooMany = "尝试次数过多, 请稍后再试";

    explicit LiveServer(Limits limits, QObject* parent = nullptr);
    ~LiveServer() override;

    int connections() const { return static_cast<int>(m_clients.size()) + m_streamCount; }
    const Limits& limits() const { return m_limits; }

public slots:
    // Listens on those addresses at the first port from `port` on (of
    // `tries`) free on all of them, the page advertised at `advertised`.
    void listen(const QList<QHostAddress>& addresses, quint16 port, int tries, const QString& advertised);
    void publish(const LiveUpdate& update);
    void close();
    // The show's answer to check-in `ask`: JSON for the phone, and whether it
    // was a wrong name or code, which counts against the phone's address.
    void answerCheckin(quint64 ask, bool wrong, const QByteArray& json);

signals:
    // The port listened on; 0 when none was free.
    void listening(quint16 port);
    // Phones connected now, and the addresses turned away at their cap lately.
    void phonesChanged(int connected, const QStringList& capped);
    // A guest's check-in form, for the show to answer with answerCheckin.
    void checkinAsked(quint64 ask, const QString& name, const QString& code, const QString& device);

private:
    struct Client
    {
        QByteArray received;
        HttpRequestParser parser;
        QHostAddress peer;
        qint64 deadline = 0;
        bool gotAny = false;
        bool closing = false;
        // A check-in waits for the show's answer; what follows it waits too.
        bool waiting = false;
        bool closeAfter = false;
    };

    void accept(QTcpServer* server);
    void read(QTcpSocket* socket);
    void send(QTcpSocket* socket, const LiveSite::Answer& answer);
    // Hands the connection to the streams' thread with what it is owed first.
    void startStream(QTcpSocket* socket, const QByteArray& head, const QByteArray& lastEventId);
    void drop(QTcpSocket* socket);
    void askCheckin(QTcpSocket* socket, Client& client, const HttpRequest& request, bool close);
    // Seconds until the address may try again; 0 when it may now.
    int waitFor(const QHostAddress& peer);
    void streamEnded(const QHostAddress& peer);
    void sweep();
    void tell();
    static QByteArray eventText(const LiveUpdate& update);

    Limits m_limits;
    LiveSite m_site;
    QList<QTcpServer*> m_servers;
    QHash<QTcpSocket*, Client> m_clients;
    QHash<QHostAddress, int> m_perAddress;
    QHash<QHostAddress, qint64> m_capped;
    std::deque<LiveUpdate> m_kept;
    QHash<QHostAddress, std::deque<qint64>> m_failures;
    std::deque<qint64> m_lastFailures;
    QHash<quint64, QTcpSocket*> m_asks;
    quint64 m_nextAsk = 0;
    QTimer m_sweep;
    QElapsedTimer m_clock;
    QThread m_streamThread;
    LiveStreams* m_streams = nullptr;
    int m_streamCount = 0;
    int m_told = -1;
    QStringList m_toldCapped;
};
