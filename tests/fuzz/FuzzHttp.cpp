// What a connection may receive from anyone on the venue's network: the
// parser takes heads one after another within its limits, and every answer
// is a whole head that serves only the page's own paths.
#include "FuzzCheck.h"
#include "live/HttpRequest.h"
#include "live/LiveSite.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static LiveSite site;
    site.setPlace(QStringLiteral("192.168.1.20"), 8080);
    QByteArray received(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    HttpRequestParser parser;
    for (;;) {
        const qsizetype before = received.size();
        const HttpRequestParser::Result result = parser.take(received);
        if (result == HttpRequestParser::Result::Incomplete) {
            FUZZ_CHECK(received.size() <=
                       HttpRequestParser::MaxRequestLine + HttpRequestParser::MaxHeaderBytes);
            break;
        }
        if (result == HttpRequestParser::Result::Refused) {
            FUZZ_CHECK(parser.status() >= 400 && parser.status() < 600);
            FUZZ_CHECK(LiveSite::refusal(parser.status()).close);
            break;
        }
        FUZZ_CHECK(received.size() < before);
        const HttpRequest& request = parser.request();
        FUZZ_CHECK(request.method == "GET" || request.method == "HEAD" || request.method == "POST");
        FUZZ_CHECK(request.fields.size() <= HttpRequestParser::MaxFields);
        FUZZ_CHECK(request.body.size() <= (request.method == "POST" ? HttpRequestParser::MaxBody : 0));
        const LiveSite::Answer answer = site.answer(request);
        // Only the check-in form goes to the show, and only from the page's own origin.
        if (answer.checkin) {
            FUZZ_CHECK(request.method == "POST" && request.target == "/api/checkin");
            FUZZ_CHECK(request.count("Origin") == 0 ||
                       request.field("Origin") == "http://" + request.field("Host"));
            if (answer.close)
                break;
            continue;
        }
        FUZZ_CHECK(answer.head.startsWith("HTTP/1.1 ") && answer.head.endsWith("\r\n\r\n"));
        FUZZ_CHECK(answer.head.count("\r\n\r\n") == 1);
        // Only the page's paths are served, and only to the names it is reached by.
        if (answer.status == 200 || answer.status == 304) {
            const QByteArray path = request.target.left(
                request.target.indexOf('?') < 0 ? request.target.size() : request.target.indexOf('?'));
            FUZZ_CHECK(path == "/" || path == "/app.js" || path == "/style.css" || path == "/api/results" ||
                       path == "/api/events");
        }
        if (answer.close)
            break;
    }
    return 0;
}
