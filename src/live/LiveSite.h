#pragma once

#include "live/HttpRequest.h"

#include <QByteArray>
#include <QStringList>

// What the phones are served: the page, its script and style, built into the
// program, and the results as the show last handed them over. Answers only
// to the names the page is reached by, so a page elsewhere that rebinds its
// own name to the laptop's address reads nothing.
class LiveSite
{
public:
    struct Answer
    {
        int status = 200;
        QByteArray head;
        QByteArray body;
        // The event stream: the head now, the events as they come.
        bool stream = false;
        // A check-in form, for the show to answer.
        bool checkin = false;
        bool close = false;
    };

    LiveSite();

    // The address the page is advertised at and the port it listens on.
    void setPlace(const QString& address, quint16 port);
    // The results and their version, as /api/results serves them.
    void setResults(const QByteArray& json, qint64 version);
    qint64 version() const { return m_version; }
    const QByteArray& results() const { return m_results; }

    Answer answer(const HttpRequest& request) const;
    // The answer to a request the parser refused; the connection closes.
    static Answer refusal(int status);
    // The answer to a check-in: JSON, and when refused for too many tries, when to come back.
    static Answer json(int status, const QByteArray& body, bool close, int retryAfterSeconds = 0);

private:
    bool hostAllowed(const QByteArray& host) const;
    static Answer make(int status, const QByteArray& type, const QByteArray& body,
                       const QList<QPair<QByteArray, QByteArray>>& extra = {});

    QByteArray m_page;
    QByteArray m_script;
    QByteArray m_witnessScript;
    QByteArray m_style;
    QByteArray m_results;
    qint64 m_version = 0;
    QString m_address;
    quint16 m_port = 0;
};
