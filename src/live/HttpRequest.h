#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// One request's head as a phone sent it: the method, the target, the
// version and the header fields, names as sent.
struct HttpRequest
{
    QByteArray method;
    QByteArray target;
    QByteArray version;
    QList<QPair<QByteArray, QByteArray>> fields;
    // A form's, never longer than the parser's limit.
    QByteArray body;

    // The field's value (the first, case-insensitive name); empty when absent.
    QByteArray field(const QByteArray& name) const;
    int count(const QByteArray& name) const;
    // Whether the connection stays open after the answer.
    bool keepsAlive() const;
};

// Reads request heads out of what a connection received, within limits a
// phone never reaches and a hostile client cannot pass. Only a POST carries
// a body (the check-in form), of a declared length and a short one.
class HttpRequestParser
{
public:
    static constexpr int MaxRequestLine = 2048;
    static constexpr int MaxHeaderBytes = 8192;
    static constexpr int MaxFields = 50;
    static constexpr int MaxBody = 512;

    enum class Result
    {
        Incomplete,
        Complete,
        Refused
    };

    // Takes one whole head from the front of `received`. Refused sets the
    // status to answer with, and the connection closes after it.
    Result take(QByteArray& received);
    const HttpRequest& request() const { return m_request; }
    int status() const { return m_status; }

private:
    Result refuse(int status);

    HttpRequest m_request;
    int m_status = 0;
};
