#include "data/XmlStream.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// The document's tokens as one line each; text pieces joined, so that
// readings in pieces of any size compare equal.
std::string tokensOf(const std::string& document, qint64 piece)
{
    size_t at = 0;
    XmlStream xml([&](char* data, qint64 size) {
        const size_t n = std::min({size_t(size), size_t(piece), document.size() - at});
        std::memcpy(data, document.data() + at, n);
        at += n;
        return qint64(n);
    });
    std::string out;
    bool inText = false;
    for (;;) {
        const XmlStream::Token token = xml.next();
        if (token == XmlStream::Text) {
            out += inText ? "" : "text:";
            out += xml.text().toStdString();
            inText = true;
            continue;
        }
        if (inText)
            out += "\n";
        inText = false;
        if (token == XmlStream::StartElement)
            out += "<" + std::string(xml.name()) + " r=" + xml.attribute("r").toStdString() + ">\n";
        else if (token == XmlStream::EndElement)
            out += "</" + std::string(xml.name()) + ">\n";
        else
            return out + (token == XmlStream::End ? "end" : "invalid");
    }
}

} // namespace

// Where a piece ends never changes what is read: every split of every document gives the same tokens.
TEST(XmlStream, ReadsTheSameWhereverAPieceEnds)
{
    const struct
    {
        const char* document;
        const char* tokens;
    } cases[] = {
        {"<?xml version=\"1.0\"?>\r\n<x:c r='A1' t=\"s\"><v>1&amp;2&#x4E2D;&#25991;</v><e/></x:c>",
         "text:\n\n<c r=A1>\n<v r=>\ntext:1&2中文\n</v>\n<e r=>\n</e>\n</c>\nend"},
        {"<a><!-- <b> --><![CDATA[<&>]]>x<?pi <c>?>y</a>", "<a r=>\ntext:<&>xy\n</a>\nend"},
        {"<a r=\"&lt;&quot;&apos;&gt;\">line\r\nbreak\rhere</a >",
         "<a r=<\"'>>\ntext:line\nbreak\nhere\n</a>\nend"},
        {"<a><b r=\"x>y\"/></a><!-- after -->\n", "<a r=>\n<b r=x>y>\n</b>\n</a>\ntext:\n\nend"},
        {"<a>cut", "<a r=>\ntext:cut\ninvalid"},
        {"<a><!-- never ends </a>", "<a r=>\ninvalid"},
        {"<!DOCTYPE a [<!ENTITY e \"boom\">]><a>&e;</a>", "invalid"},
        {"<a>&bogus;</a>", "<a r=>\ninvalid"},
        {"<a>&#0;</a>", "<a r=>\ninvalid"},
        {"<a></a><b/>", "<a r=>\n</a>\ninvalid"},
        {"<a></b></a>", "<a r=>\ninvalid"},
        {"<a b></a>", "invalid"},
    };
    for (const auto& c : cases) {
        for (const qint64 piece : {qint64(1) << 20, qint64(1), qint64(2), qint64(3), qint64(7)})
            EXPECT_EQ(tokensOf(c.document, piece), c.tokens) << c.document << " in pieces of " << piece;
    }
}

// Comments, CDATA and instructions far longer than a piece cost their length
// once; a tag that long is refused.
TEST(XmlStream, LongConstructsAreReadInOnePassOrRefused)
{
    const std::string filler(8 * XmlStream::PieceBytes + 5, 'x');
    EXPECT_EQ(tokensOf("<a><!--" + filler + "--><?p " + filler + "?></a>", XmlStream::PieceBytes),
              "<a r=>\n</a>\nend");
    const std::string text = tokensOf("<a><![CDATA[" + filler + "]]></a>", XmlStream::PieceBytes);
    EXPECT_TRUE(text == "<a r=>\ntext:" + filler + "\n</a>\nend") << text.substr(0, 100);
    const std::string longTag = "<a r=\"" + std::string(XmlStream::MaxTagBytes, 'x') + "\"/>";
    EXPECT_EQ(tokensOf(longTag, XmlStream::PieceBytes).substr(0, 100), "invalid");
}
