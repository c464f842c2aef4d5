#include "live/LiveSite.h"
#include "live/HttpRequest.h"

#include <gtest/gtest.h>

namespace {

// Refused requests close their connection: what follows them cannot be trusted.
struct Case
{
    const char* what;
    QByteArray sent;
    int status;
    bool stream = false;
    bool close = false;
};

// What the server answers to whole requests, the refused as well.
int answered(const QByteArray& sent, LiveSite::Answer* kept = nullptr)
{
    LiveSite site;
    site.setPlace(QStringLiteral("192.168.1.20"), 8080);
    site.setResults(R"({"version":7})", 7);
    QByteArray received = sent;
    HttpRequestParser parser;
    const HttpRequestParser::Result result = parser.take(received);
    if (result == HttpRequestParser::Result::Incomplete)
        return 0;
    const LiveSite::Answer answer = result == HttpRequestParser::Result::Refused
                                        ? LiveSite::refusal(parser.status())
                                        : site.answer(parser.request());
    if (kept)
        *kept = answer;
    return answer.status;
}

} // namespace

TEST(LiveSite, AnswersThePageAndRefusesWhatAPhoneNeverSends)
{
    const QByteArray host = "Host: 192.168.1.20:8080\r\n";
    const Case cases[] = {
        {"the page", "GET / HTTP/1.1\r\n" + host + "\r\n", 200},
        {"its script, with a cache buster", "GET /app.js?v=2 HTTP/1.1\r\n" + host + "\r\n", 200},
        {"the witnessed draw's arithmetic", "GET /witness.js HTTP/1.1\r\n" + host + "\r\n", 200},
        {"the results", "GET /api/results HTTP/1.1\r\n" + host + "\r\n", 200},
        {"unchanged results", "GET /api/results HTTP/1.1\r\n" + host + "If-None-Match: \"7\"\r\n\r\n", 304},
        {"the events", "GET /api/events HTTP/1.1\r\n" + host + "\r\n", 200, true},
        {"HEAD", "HEAD / HTTP/1.1\r\n" + host + "\r\n", 200},
        {"bare line feeds", "GET / HTTP/1.1\nHost: localhost\n\n", 200},
        {"HTTP/1.0 closes", "GET / HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n", 200, false, true},
        {"Connection: close", "GET / HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n", 200, false, true},
        {"the event file", "GET /../AwardInfo.ini HTTP/1.1\r\n" + host + "\r\n", 404},
        {"encoded dots", "GET /%2e%2e/AwardInfo.ini HTTP/1.1\r\n" + host + "\r\n", 404},
        {"a folder's file", "GET /Backimg/show.jpg HTTP/1.1\r\n" + host + "\r\n", 404},
        {"absolute form", "GET http://192.168.1.20:8080/ HTTP/1.1\r\n" + host + "\r\n", 400, false, true},
        {"asterisk form", "OPTIONS * HTTP/1.1\r\n" + host + "\r\n", 405, false, true},
        {"a form to a page", "POST / HTTP/1.1\r\n" + host + "Content-Length: 5\r\n\r\nhello", 405, false,
         true},
        {"a body on a read", "GET / HTTP/1.1\r\n" + host + "Content-Length: 5\r\n\r\nhello", 413, false,
         true},
        {"a long form", "POST /api/checkin HTTP/1.1\r\n" + host + "Content-Length: 513\r\n\r\n", 413, false,
         true},
        {"a form of no length", "POST /api/checkin HTTP/1.1\r\n" + host + "\r\nname=a", 411, false, true},
        {"a form from elsewhere",
         "POST /api/checkin HTTP/1.1\r\n" + host +
             "Origin: http://evil.example\r\nContent-Length: 6\r\n\r\nname=a",
         403, false, true},
        {"a form still coming", "POST /api/checkin HTTP/1.1\r\n" + host + "Content-Length: 6\r\n\r\nname", 0},
        {"chunked", "GET / HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 411, false,
         true},
        {"two lengths", "GET / HTTP/1.1\r\n" + host + "Content-Length: 0\r\nContent-Length: 0\r\n\r\n", 400,
         false, true},
        {"a rebinding page", "GET / HTTP/1.1\r\nHost: evil.example\r\n\r\n", 421, false, true},
        {"another port", "GET / HTTP/1.1\r\nHost: 127.0.0.1:8081\r\n\r\n", 421, false, true},
        {"no Host", "GET / HTTP/1.1\r\n\r\n", 400, false, true},
        {"two Hosts", "GET / HTTP/1.1\r\n" + host + host + "\r\n", 400, false, true},
        {"a folded field", "GET / HTTP/1.1\r\n" + host + "X-A: 1\r\n folded\r\n\r\n", 400, false, true},
        {"HTTP/2", "GET / HTTP/2.0\r\n" + host + "\r\n", 505, false, true},
        {"not HTTP", "GET / FTP/1.0\r\n" + host + "\r\n", 400, false, true},
        {"a control character", "GET /\x01 HTTP/1.1\r\n" + host + "\r\n", 400, false, true},
        {"an overlong line", "GET /" + QByteArray(3000, 'a') + " HTTP/1.1\r\n" + host + "\r\n", 414, false,
         true},
        {"an overlong line not yet ended", "GET /" + QByteArray(3000, 'a'), 414, false, true},
        {"overlong fields", "GET / HTTP/1.1\r\n" + host + "X-A: " + QByteArray(9000, 'a') + "\r\n\r\n", 431,
         false, true},
        {"too many fields", "GET / HTTP/1.1\r\n" + host + QByteArray("X-A: 1\r\n").repeated(50) + "\r\n", 431,
         false, true},
        {"a head still coming", "GET / HTTP/1.1\r\n" + host, 0},
    };
    for (const Case& c : cases) {
        LiveSite::Answer answer;
        EXPECT_EQ(answered(c.sent, &answer), c.status) << c.what;
        if (c.status == 0)
            continue;
        EXPECT_EQ(answer.stream, c.stream) << c.what;
        EXPECT_EQ(answer.close, c.close) << c.what;
        EXPECT_TRUE(answer.head.endsWith("\r\n\r\n")) << c.what;
        EXPECT_TRUE(answer.head.contains("Content-Security-Policy: default-src 'none'; script-src 'self';"))
            << c.what;
        EXPECT_TRUE(answer.head.contains("X-Content-Type-Options: nosniff\r\n")) << c.what;
        if (c.status == 200 && !c.stream && !c.sent.startsWith("HEAD")) {
            EXPECT_FALSE(answer.body.isEmpty()) << c.what;
        }
    }
    LiveSite::Answer head;
    answered("HEAD /api/results HTTP/1.1\r\nHost: localhost:8080\r\n\r\n", &head);
    EXPECT_TRUE(head.body.isEmpty());
    EXPECT_TRUE(head.head.contains("Content-Length: 13\r\n")) << "HEAD tells the length it leaves out";
    EXPECT_TRUE(head.head.contains("ETag: \"7\"\r\n"));
}

TEST(LiveSite, KeptAliveRequestsAreReadOneAfterAnother)
{
    QByteArray received =
        "GET / HTTP/1.1\r\nHost: localhost\r\n\r\n\r\nGET /style.css HTTP/1.1\r\nHost: localhost\r\n\r\nGET";
    HttpRequestParser parser;
    ASSERT_EQ(parser.take(received), HttpRequestParser::Result::Complete);
    EXPECT_EQ(parser.request().target, "/");
    ASSERT_EQ(parser.take(received), HttpRequestParser::Result::Complete);
    EXPECT_EQ(parser.request().target, "/style.css");
    EXPECT_EQ(parser.take(received), HttpRequestParser::Result::Incomplete);
    EXPECT_EQ(received, "GET");
}
