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

signals:
    // The port listened on; 0 when none was free.
    void listening(quint16 port);
    // Phones connected now, and the addresses turned away at their cap lately.
    void phonesChanged(int connected, const QStringList& capped);

private:
    struct Client
    {
        QByteArray received;
        HttpRequestParser parser;
        QHostAddress peer;
        qint64 deadline = 0;
        bool gotAny = false;
        bool closing = false;
    };

    void accept(QTcpServer* server);
    void read(QTcpSocket* socket);
    void send(QTcpSocket* socket, const LiveSite::Answer& answer);
    // Hands the connection to the streams' thread with what it is owed first.
    void startStream(QTcpSocket* socket, const QByteArray& head, const QByteArray& lastEventId);
    void drop(QTcpSocket* socket);
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
    QTimer m_sweep;
    QElapsedTimer m_clock;
    QThread m_streamThread;
    LiveStreams* m_streams = nullptr;
    int m_streamCount = 0;
    int m_told = -1;
    QStringList m_toldCapped;
};
