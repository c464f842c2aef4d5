#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

class QTcpSocket;

// The phones' event streams, on a thread of their own: thousands of open
// connections that only receive. Kept apart from the requests, whose
// thread then waits on a few connections rather than on every phone.
class LiveStreams : public QObject
{
    Q_OBJECT
public:
    explicit LiveStreams(int pingMs, QObject* parent = nullptr);
    ~LiveStreams() override;

public slots:
    // Takes the connection over by its descriptor and sends it `first`, then
    // everything published; it is let go when its unsent data passes what
    // `first` held by `backlog`.
    void adopt(qintptr descriptor, const QHostAddress& peer, const QByteArray& first, qint64 backlog);
    void publish(const QByteArray& text);
    // Every stream ends, unannounced.
    void closeAll();

signals:
    // A stream from that address ended.
    void ended(const QHostAddress& peer);

private:
    struct Stream
    {
        QHostAddress peer;
        qint64 allowance = 0;
    };
    void write(QTcpSocket* socket, const QByteArray& text);
    void end(QTcpSocket* socket);

    QHash<QTcpSocket*, Stream> m_streams;
    QTimer m_ping;
};
