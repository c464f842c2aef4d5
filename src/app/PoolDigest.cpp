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

} // namespace

std::string PoolText(const std::vector<tstring>& names)
{
    std::string text;
    for (const tstring& name : names)
        appendLine(text, name);
    return text;
}

tstring PoolDigest(const std::vector<tstring>& names)
{
    constexpr std::size_t Chunk = 64 * 1024;
    Sha256 hash;
    std::string buffer;
    buffer.reserve(Chunk * 2);
    for (const tstring& name : names) {
        appendLine(buffer, name);
        if (buffer.size() >= Chunk) {
            hash.add(buffer);
            buffer.clear();
        }
    }
    hash.add(buffer);
    const std::string hex = Sha256::hex(hash.finish());
    return tstring(std::wstring(hex.begin(), hex.end()));
}
