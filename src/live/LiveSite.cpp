#include "live/LiveSite.h"

#include <QFile>

// The page is built into this library, whose resources a program registers by name.
static void registerPage()
{
    Q_INIT_RESOURCE(live);
}

namespace {

QByteArray resource(const QString& path)
{
    registerPage();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 411:
        return "Length Required";
    case 413:
        return "Content Too Large";
    case 414:
        return "URI Too Long";
    case 421:
        return "Misdirected Request";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Error";
    }
}

} // namespace

LiveSite::LiveSite()
    : m_page(resource(QStringLiteral(":/live/index.html"))),
      m_script(resource(QStringLiteral(":/live/app.js"))),
      m_witnessScript(resource(QStringLiteral(":/live/witness.js"))),
      m_style(resource(QStringLiteral(":/live/style.css")))
{}

void LiveSite::setPlace(const QString& address, quint16 port)
{
    m_address = address;
    m_port = port;
}

void LiveSite::setResults(const QByteArray& json, qint64 version)
{
    m_results = json;
    m_version = version;
}

bool LiveSite::hostAllowed(const QByteArray& host) const
{
    QByteArray name = host.toLower();
    const qsizetype colon = name.lastIndexOf(':');
    if (colon >= 0) {
        bool ok = false;
        const uint port = name.mid(colon + 1).toUInt(&ok);
        if (!ok || port != m_port)
            return false;
        name.truncate(colon);
    }
    return name == "127.0.0.1" || name == "localhost" ||
           (!m_address.isEmpty() && name == m_address.toLatin1());
}

LiveSite::Answer LiveSite::make(int status, const QByteArray& type, const QByteArray& body,
                                const QList<QPair<QByteArray, QByteArray>>& extra)
{
    Answer answer;
    answer.status = status;
    answer.body = body;
    QByteArray& head = answer.head;
    head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    if (!type.isEmpty())
        head += "Content-Type: " + type + "\r\n";
    head += "Content-Security-Policy: default-src 'none'; script-src 'self'; style-src 'self'; "
            "connect-src 'self'; img-src 'self'\r\n"
            "X-Content-Type-Options: nosniff\r\n"
            "Referrer-Policy: no-referrer\r\n";
    for (const auto& field : extra)
        head += field.first + ": " + field.second + "\r\n";
    return answer;
}

LiveSite::Answer LiveSite::refusal(int status)
{
    Answer answer = make(status, "text/plain; charset=utf-8", reason(status) + '\n',
                         status == 405 ? QList<QPair<QByteArray, QByteArray>>{{"Allow", "GET, HEAD"}}
                                       : QList<QPair<QByteArray, QByteArray>>{});
    answer.head +=
        "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n";
    answer.close = true;
    return answer;
}

LiveSite::Answer LiveSite::json(int status, const QByteArray& body, bool close, int retryAfterSeconds)
{
    QList<QPair<QByteArray, QByteArray>> extra{{"Cache-Control", "no-store"}};
    if (retryAfterSeconds > 0)
        extra.append({"Retry-After", QByteArray::number(retryAfterSeconds)});
    Answer answer = make(status, "application/json; charset=utf-8", body, extra);
    answer.close = close;
    answer.head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    answer.head += close ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
    return answer;
}

LiveSite::Answer LiveSite::answer(const HttpRequest& request) const
{
    if (!hostAllowed(request.field("Host")))
        return refusal(421);
    if (request.method == "POST") {
        if (request.target != "/api/checkin")
            return refusal(405);
        // Another page may not post for a guest: a form from elsewhere is refused.
        const QByteArray origin = request.field("Origin");
        if (request.count("Origin") > 0 && origin != "http://" + request.field("Host"))
            return refusal(403);
        Answer form;
        form.checkin = true;
        form.close = !request.keepsAlive();
        return form;
    }
    // Only the paths below, as sent: nothing is decoded, so nothing can climb out.
    if (!request.target.startsWith('/'))
        return refusal(400);
    const qsizetype query = request.target.indexOf('?');
    const QByteArray path = query < 0 ? request.target : request.target.left(query);
    Answer answer;
    if (path == "/") {
        answer = make(200, "text/html; charset=utf-8", m_page, {{"Cache-Control", "no-cache"}});
    } else if (path == "/app.js") {
        answer = make(200, "text/javascript; charset=utf-8", m_script, {{"Cache-Control", "no-cache"}});
    } else if (path == "/witness.js") {
        answer =
            make(200, "text/javascript; charset=utf-8", m_witnessScript, {{"Cache-Control", "no-cache"}});
    } else if (path == "/style.css") {
        answer = make(200, "text/css; charset=utf-8", m_style, {{"Cache-Control", "no-cache"}});
    } else if (path == "/api/results") {
        const QByteArray tag = '"' + QByteArray::number(m_version) + '"';
        const QList<QPair<QByteArray, QByteArray>> fields{{"ETag", tag}, {"Cache-Control", "no-cache"}};
        if (request.field("If-None-Match") == tag)
            answer = make(304, QByteArray(), QByteArray(), fields);
        else
            answer = make(200, "application/json; charset=utf-8", m_results, fields);
    } else if (path == "/api/events") {
        answer = make(200, "text/event-stream; charset=utf-8", QByteArray(), {{"Cache-Control", "no-cache"}});
        answer.stream = true;
    } else {
        answer = make(404, "text/plain; charset=utf-8", "Not Found\n");
    }
    answer.close = !request.keepsAlive();
    if (!answer.stream) {
        answer.head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        answer.head += answer.close ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
    } else {
        // The stream ends when the connection does.
        answer.head += "Connection: close\r\n";
        answer.close = false;
    }
    answer.head += "\r\n";
    if (request.method == "HEAD" || answer.status == 304)
        answer.body.clear();
    return answer;
}
