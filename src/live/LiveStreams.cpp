#include "live/LiveStreams.h"

#include <QTcpSocket>
#include <unistd.h>

// The timer is a child, so it moves with the streams to their thread.
LiveStreams::LiveStreams(int pingMs, QObject* parent) : QObject(parent), m_ping(this)
{
    m_ping.setInterval(pingMs);
    connect(&m_ping, &QTimer::timeout, this, [this] { publish(": ping\n\n"); });
}

LiveStreams::~LiveStreams()
{
    closeAll();
}

void LiveStreams::closeAll()
{
    m_ping.stop();
    for (auto it = m_streams.begin(); it != m_streams.end(); ++it) {
        it.key()->disconnect(this);
        it.key()->abort();
        delete it.key();
    }
    m_streams.clear();
}

void LiveStreams::adopt(qintptr descriptor, const QHostAddress& peer, const QByteArray& first, qint64 backlog)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor, QAbstractSocket::ConnectedState, QIODevice::ReadWrite)) {
        ::close(static_cast<int>(descriptor));
        delete socket;
        emit ended(peer);
        return;
    }
    m_streams.insert(socket, Stream{peer, first.size() + backlog});
    // A phone says nothing more on a stream; what it sends is dropped.
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { end(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { end(socket); });
    if (!m_ping.isActive())
        m_ping.start();
    write(socket, first);
}

void LiveStreams::publish(const QByteArray& text)
{
    const QList<QTcpSocket*> sockets = m_streams.keys();
    for (QTcpSocket* socket : sockets)
        write(socket, text);
}

void LiveStreams::write(QTcpSocket* socket, const QByteArray& text)
{
    const auto it = m_streams.constFind(socket);
    if (it == m_streams.cend())
        return;
    // A phone that stopped reading is let go before it holds the laptop's memory.
    if (socket->bytesToWrite() + text.size() > it->allowance) {
        end(socket);
        return;
    }
    socket->write(text);
}

void LiveStreams::end(QTcpSocket* socket)
{
    const auto it = m_streams.find(socket);
    if (it == m_streams.end())
        return;
    const QHostAddress peer = it->peer;
    m_streams.erase(it);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    emit ended(peer);
}
