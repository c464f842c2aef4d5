#include "live/HttpRequest.h"

namespace {

bool isToken(const QByteArray& text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum && !QByteArray("!#$%&'*+-.^_`|~").contains(c))
            return false;
    }
    return true;
}

bool hasControl(const QByteArray& text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f)
            return true;
    }
    return false;
}

} // namespace

QByteArray HttpRequest::field(const QByteArray& name) const
{
    for (const auto& field : fields) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return QByteArray();
}

int HttpRequest::count(const QByteArray& name) const
{
    int found = 0;
    for (const auto& field : fields)
        found += field.first.compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
    return found;
}

bool HttpRequest::keepsAlive() const
{
    const QByteArray connection = field("Connection").toLower();
    if (version == "HTTP/1.0")
        return connection.contains("keep-alive");
    return !connection.contains("close");
}

HttpRequestParser::Result HttpRequestParser::refuse(int status)
{
    m_status = status;
    return Result::Refused;
}

HttpRequestParser::Result HttpRequestParser::take(QByteArray& received)
{
    m_request = HttpRequest();
    m_status = 0;
    // Empty lines before a request are allowed between kept-alive requests.
    qsizetype start = 0;
    while (start < received.size() && (received[start] == '\r' || received[start] == '\n'))
        ++start;
    if (start > 0)
        received.remove(0, start);
    const qsizetype lineEnd = received.indexOf('\n');
    if (lineEnd < 0)
        return received.size() > MaxRequestLine ? refuse(414) : Result::Incomplete;
    if (lineEnd > MaxRequestLine)
        return refuse(414);
    qsizetype headEnd = received.indexOf("\r\n\r\n");
    qsizetype bodyStart = headEnd + 4;
    const qsizetype bare = received.indexOf("\n\n");
    if (bare >= 0 && (headEnd < 0 || bare < headEnd)) {
        headEnd = bare;
        bodyStart = bare + 2;
    }
    if (headEnd < 0)
        return received.size() > MaxRequestLine + MaxHeaderBytes ? refuse(431) : Result::Incomplete;
    if (headEnd - lineEnd > MaxHeaderBytes)
        return refuse(431);

    const QByteArray head = received.left(headEnd);
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> parts = lines.takeFirst().split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() || hasControl(parts[1]))
        return refuse(400);
    m_request.method = parts[0];
    m_request.target = parts[1];
    m_request.version = parts[2];
    if (m_request.version != "HTTP/1.1" && m_request.version != "HTTP/1.0")
        return m_request.version.startsWith("HTTP/") ? refuse(505) : refuse(400);
    if (lines.size() > MaxFields)
        return refuse(431);
    for (const QByteArray& line : std::as_const(lines)) {
        const qsizetype colon = line.indexOf(':');
        // Folded lines and names with spaces are refused, as requests smuggle through them.
        if (colon <= 0 || !isToken(line.left(colon)))
            return refuse(400);
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (hasControl(value))
            return refuse(400);
        m_request.fields.append({line.left(colon), value});
    }
    if (m_request.count("Host") != 1)
        return refuse(400);
    if (m_request.count("Transfer-Encoding") > 0)
        return refuse(411);
    if (m_request.count("Content-Length") > 1)
        return refuse(400);
    qlonglong length = 0;
    if (m_request.count("Content-Length") == 1) {
        bool ok = false;
        length = m_request.field("Content-Length").toLongLong(&ok);
        if (!ok || length < 0)
            return refuse(400);
    }
    const bool posting = m_request.method == "POST";
    if (!posting && m_request.method != "GET" && m_request.method != "HEAD")
        return refuse(405);
    // Only a form may carry a body, and a short one; reading pages carries none.
    if (length > (posting ? MaxBody : 0))
        return refuse(413);
    if (posting && m_request.count("Content-Length") == 0)
        return refuse(411);
    if (received.size() - bodyStart < length)
        return Result::Incomplete;
    m_request.body = received.mid(bodyStart, length);
    received.remove(0, bodyStart + length);
    return Result::Complete;
}
