#include "live/LiveServer.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Files the program keeps for itself beside the phones' connections.
constexpr rlim_t SpareFiles = 128;
// How long an address turned away at its cap is listed for the operator.
constexpr qint64 CappedMs = 60000;

// The open-files limit raised as far as allowed; the connections it leaves room for.
int roomForConnections()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    if (limit.rlim_cur == RLIM_INFINITY)
        return INT_MAX;
    return limit.rlim_cur > SpareFiles
               ? static_cast<int>(std::min<rlim_t>(limit.rlim_cur - SpareFiles, INT_MAX))
               : 0;
}

} // namespace

// The sweep is a child, so it moves with the server to the server's thread.
LiveServer::LiveServer(Limits limits, QObject* parent) : QObject(parent), m_limits(limits), m_sweep(this)
{
    m_limits.connections = std::min(m_limits.connections, roomForConnections());
    m_clock.start();
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &LiveServer::sweep);
    m_streamThread.setObjectName(QStringLiteral("phone streams"));
    m_streams = new LiveStreams(m_limits.pingMs);
    m_streams->moveToThread(&m_streamThread);
    connect(m_streams, &LiveStreams::ended, this, &LiveServer::streamEnded);
    m_streamThread.start();
}

LiveServer::~LiveServer()
{
    close();
    LiveStreams* streams = m_streams;
    QMetaObject::invokeMethod(
        streams, [streams] { delete streams; }, Qt::BlockingQueuedConnection);
    m_streamThread.quit();
    m_streamThread.wait();
}

void LiveServer::listen(const QList<QHostAddress>& addresses, quint16 port, int tries,
                        const QString& advertised)
{
    close();
    for (int i = 0; i < tries && port + i <= 65535; ++i) {
        // Port 0 asks for any: the first server's, which the others share then.
        auto candidate = static_cast<quint16>(port + i);
        bool all = true;
        for (const QHostAddress& address : addresses) {
            auto* server = new QTcpServer(this);
            if (!server->listen(address, candidate)) {
                delete server;
                all = false;
                break;
            }
            candidate = server->serverPort();
            m_servers.append(server);
        }
        if (all && !m_servers.isEmpty()) {
            for (QTcpServer* server : std::as_const(m_servers))
                connect(server, &QTcpServer::newConnection, this, [this, server] { accept(server); });
            m_site.setPlace(advertised, candidate);
            m_sweep.start();
            emit listening(candidate);
            return;
        }
        qDeleteAll(m_servers);
        m_servers.clear();
    }
    emit listening(0);
}

void LiveServer::close()
{
    m_sweep.stop();
    for (auto it = m_clients.begin(); it != m_clients.end(); ++it) {
        it.key()->disconnect(this);
        it.key()->abort();
        it.key()->deleteLater();
    }
    m_clients.clear();
    m_perAddress.clear();
    if (m_streamCount > 0) {
        LiveStreams* streams = m_streams;
        QMetaObject::invokeMethod(
            streams, [streams] { streams->closeAll(); }, Qt::BlockingQueuedConnection);
        m_streamCount = 0;
    }
    qDeleteAll(m_servers);
    m_servers.clear();
    tell();
}

void LiveServer::accept(QTcpServer* server)
{
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        const QHostAddress peer = socket->peerAddress();
        int& held = m_perAddress[peer];
        // Over a cap the connection is taken and closed at once: nothing waits, nothing spins.
        if (held >= m_limits.perAddress || connections() >= m_limits.connections) {
            if (held >= m_limits.perAddress)
                m_capped[peer] = m_clock.elapsed();
            if (held == 0)
                m_perAddress.remove(peer);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++held;
        Client& client = m_clients[socket];
        client.peer = peer;
        client.deadline = m_clock.elapsed() + m_limits.headerMs;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
            const auto it = m_clients.find(socket);
            if (it != m_clients.end() && it->received.isEmpty() && socket->bytesToWrite() == 0)
                it->deadline = m_clock.elapsed() + m_limits.idleMs;
        });
    }
    tell();
}

void LiveServer::read(QTcpSocket* socket)
{
    auto it = m_clients.find(socket);
    if (it == m_clients.end())
        return;
    Client& client = *it;
    const qint64 room =
        HttpRequestParser::MaxRequestLine + HttpRequestParser::MaxHeaderBytes + 1 - client.received.size();
    client.received += socket->read(std::max<qint64>(0, room + HttpRequestParser::MaxBody));
    // More than a head and a form can hold is refused below; the rest is not read.
    socket->readAll();
    if (client.waiting)
        return;
    if (!client.gotAny) {
        client.gotAny = true;
        client.deadline = m_clock.elapsed() + m_limits.headerMs;
    }
    while (it != m_clients.end()) {
        Client& current = *it;
        const HttpRequestParser::Result result = current.parser.take(current.received);
        if (result == HttpRequestParser::Result::Incomplete)
            return;
        if (result == HttpRequestParser::Result::Refused) {
            send(socket, LiveSite::refusal(current.parser.status()));
            return;
        }
        const HttpRequest request = current.parser.request();
        const LiveSite::Answer answer = m_site.answer(request);
        if (answer.stream && request.method == "HEAD") {
            socket->write(answer.head);
            socket->disconnectFromHost();
            return;
        }
        if (answer.stream) {
            startStream(socket, answer.head, request.field("Last-Event-ID"));
            return;
        }
        if (answer.checkin) {
            askCheckin(socket, current, request, answer.close);
            return;
        }
        send(socket, answer);
        if (answer.close)
            return;
        current.deadline =
            m_clock.elapsed() + (current.received.isEmpty() ? m_limits.idleMs : m_limits.headerMs);
        it = m_clients.find(socket);
    }
}

void LiveServer::send(QTcpSocket* socket, const LiveSite::Answer& answer)
{
    socket->write(answer.head);
    socket->write(answer.body);
    if (answer.close)
        socket->disconnectFromHost();
}

QByteArray LiveServer::eventText(const LiveUpdate& update)
{
    return "id: " + QByteArray::number(update.version) + "\nevent: " + update.event +
           "\ndata: " + update.data + "\n\n";
}

void LiveServer::startStream(QTcpSocket* socket, const QByteArray& head, const QByteArray& lastEventId)
{
    // Phones that lost the laptop come back spread over a few seconds, not all at once.
    QByteArray text =
        head + "retry: " + QByteArray::number(QRandomGenerator::global()->bounded(3000, 10001)) + "\n\n";
    bool ok = false;
    const qint64 last = lastEventId.trimmed().toLongLong(&ok);
    const bool missedKept =
        ok && !m_kept.empty() && last >= m_kept.front().version - 1 && last <= m_site.version();
    if (missedKept) {
        for (const LiveUpdate& update : m_kept) {
            if (update.version > last)
                text += eventText(update);
        }
    } else {
        text += eventText(LiveUpdate{m_site.version(), "snapshot", m_site.results(), QByteArray()});
    }
    // The connection changes threads by its descriptor: this socket lets go of its copy.
    const qintptr descriptor = ::dup(static_cast<int>(socket->socketDescriptor()));
    const QHostAddress peer = m_clients.value(socket).peer;
    m_clients.remove(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    if (descriptor < 0) {
        streamEnded(peer);
        return;
    }
    ++m_streamCount;
    LiveStreams* streams = m_streams;
    const qint64 backlog = m_limits.backlog;
    QMetaObject::invokeMethod(streams, [streams, descriptor, peer, text, backlog] {
        streams->adopt(descriptor, peer, text, backlog);
    });
}

void LiveServer::publish(const LiveUpdate& update)
{
    m_site.setResults(update.results, update.version);
    if (update.event == "reset" && !m_kept.empty() && update.data == update.results) {
        // A whole snapshot makes what came before it moot for a phone that missed it.
        m_kept.clear();
    }
    m_kept.push_back(update);
    while (m_kept.size() > Kept)
        m_kept.pop_front();
    LiveStreams* streams = m_streams;
    const QByteArray text = eventText(update);
    QMetaObject::invokeMethod(streams, [streams, text] { streams->publish(text); });
}

int LiveServer::waitFor(const QHostAddress& peer)
{
    const qint64 now = m_clock.elapsed();
    while (!m_lastFailures.empty() && now - m_lastFailures.front() >= 1000)
        m_lastFailures.pop_front();
    const auto it = m_failures.find(peer);
    if (it == m_failures.end())
        return 0;
    std::deque<qint64>& failures = *it;
    while (!failures.empty() && now - failures.front() >= FailureWindowMs)
        failures.pop_front();
    if (failures.empty()) {
        m_failures.erase(it);
        return 0;
    }
    if (int(failures.size()) >= FailuresAllowed)
        return int((failures.front() + FailureWindowMs - now) / 1000) + 1;
    if (int(m_lastFailures.size()) >= FailuresPerSecond)
        return 10;
    return 0;
}

void LiveServer::askCheckin(QTcpSocket* socket, Client& client, const HttpRequest& request, bool close)
{
    if (const int wait = waitFor(client.peer)) {
        const QByteArray json = "{\"ok\":false,\"message\":\"" + QByteArray(TooMany) + "\"}";
        send(socket, LiveSite::json(429, json, close, wait));
        return;
    }
    // A form's "+" is a space; the rest is percent-encoded UTF-8.
    QByteArray body = request.body;
    body.replace('+', "%20");
    const QUrlQuery form(QString::fromLatin1(body));
    const auto value = [&form](const char* key) {
        return form.queryItemValue(QLatin1String(key), QUrl::FullyDecoded).left(128);
    };
    const quint64 ask = ++m_nextAsk;
    m_asks.insert(ask, socket);
    client.waiting = true;
    client.closeAfter = close;
    client.deadline = m_clock.elapsed() + m_limits.idleMs;
    emit checkinAsked(ask, value("name"), value("code"), value("token"));
}

void LiveServer::answerCheckin(quint64 ask, bool wrong, const QByteArray& json)
{
    QTcpSocket* socket = m_asks.take(ask);
    const auto it = socket ? m_clients.find(socket) : m_clients.end();
    if (it == m_clients.end())
        return;
    if (wrong) {
        const qint64 now = m_clock.elapsed();
        m_failures[it->peer].push_back(now);
        m_lastFailures.push_back(now);
    }
    it->waiting = false;
    const bool close = it->closeAfter;
    send(socket, LiveSite::json(200, json, close));
    if (!close && m_clients.contains(socket)) {
        m_clients[socket].deadline = m_clock.elapsed() + m_limits.idleMs;
        if (!m_clients[socket].received.isEmpty())
            read(socket);
    }
}

void LiveServer::streamEnded(const QHostAddress& peer)
{
    m_streamCount = std::max(0, m_streamCount - 1);
    if (--m_perAddress[peer] <= 0)
        m_perAddress.remove(peer);
    tell();
}

void LiveServer::drop(QTcpSocket* socket)
{
    const auto it = m_clients.find(socket);
    if (it == m_clients.end())
        return;
    const QHostAddress peer = it->peer;
    m_clients.erase(it);
    for (auto ask = m_asks.begin(); ask != m_asks.end();)
        ask = ask.value() == socket ? m_asks.erase(ask) : std::next(ask);
    if (--m_perAddress[peer] <= 0)
        m_perAddress.remove(peer);
    socket->deleteLater();
    tell();
}

void LiveServer::sweep()
{
    const qint64 now = m_clock.elapsed();
    const QList<QTcpSocket*> sockets = m_clients.keys();
    for (QTcpSocket* socket : sockets) {
        const auto it = m_clients.find(socket);
        if (it == m_clients.end())
            continue;
        if (now >= it->deadline) {
            // A head begun and not finished in time hears why, with a moment to
            // read it; an idle connection, or one that did not read, just ends.
            if (!it->closing && !it->received.isEmpty() &&
                socket->state() == QAbstractSocket::ConnectedState) {
                const LiveSite::Answer late = LiveSite::refusal(408);
                it->closing = true;
                it->deadline = now + 2000;
                socket->write(late.head + late.body);
                socket->disconnectFromHost();
            } else {
                socket->abort();
                drop(socket);
            }
        }
    }
    for (auto it = m_capped.begin(); it != m_capped.end();)
        it = now - it.value() > CappedMs ? m_capped.erase(it) : std::next(it);
    tell();
}

void LiveServer::tell()
{
    QStringList capped;
    for (auto it = m_capped.cbegin(); it != m_capped.cend(); ++it)
        capped.append(it.key().toString());
    capped.sort();
    if (connections() == m_told && capped == m_toldCapped)
        return;
    m_told = connections();
    m_toldCapped = capped;
    emit phonesChanged(m_told, capped);
}
