#include "app/PoolDigest.h"

#include "platform/CodePage.h"
#include "platform/Sha256.h"

#include <QString>

namespace {

// Appends a name as UTF-8 and a line feed, without a string per name: a
// million take a few milliseconds. One holding something that is not a
// Unicode scalar value goes through Qt, so the bytes stay Qt's either way.
void appendLine(std::string& out, const tstring& name)
{
    for (const wchar_t c : name) {
        const auto u = static_cast<std::uint32_t>(c);
        if ((u >= 0xD800 && u < 0xE000) || u > 0x10FFFF) {
            out += QString::fromStdWString(name).toUtf8().toStdString();
            out += '\n';
            return;
        }
    }
    CodePage::appendAsUtf8(name, out);
    out += '\n';
}

// Calls `line` with each name; a pool's names come into one string used again.
template <typename Line> void eachName(const std::vector<tstring>& names, const Line& line)
{
    for (const tstring& name : names)
        line(name);
}

template <typename Line> void eachName(const NamePool& names, const Line& line)
{
    tstring name;
    for (std::size_t i = 0; i < names.size(); ++i) {
        names.copy(i, name);
        line(name);
    }
}

template <typename Names> std::string textOf(const Names& names)
{
    std::string text;
    eachName(names, [&text](const tstring& name) { appendLine(text, name); });
    return text;
}

template <typename Names> tstring digestOf(const Names& names)
{
    constexpr std::size_t Chunk = 64 * 1024;
    Sha256 hash;
    std::string buffer;
    buffer.reserve(Chunk * 2);
    eachName(names, [&](const tstring& name) {
        appendLine(buffer, name);
        if (buffer.size() >= Chunk) {
            hash.add(buffer);
            buffer.clear();
        }
    });
    hash.add(buffer);
    const std::string hex = Sha256::hex(hash.finish());
    return tstring(std::wstring(hex.begin(), hex.end()));
}

} // namespace

std::string PoolText(const std::vector<tstring>& names)
{
    return textOf(names);
}

std::string PoolText(const NamePool& names)
{
    return textOf(names);
}

tstring PoolDigest(const std::vector<tstring>& names)
{
    return digestOf(names);
}

tstring PoolDigest(const NamePool& names)
{
    return digestOf(names);
}
