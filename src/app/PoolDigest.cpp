#include "app/PoolDigest.h"

#include "platform/CodePage.h"

#include <QString>
#include <openssl/evp.h>

#include <array>
#include <memory>

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
    // OpenSSL's SHA-256 uses the processor's SHA instructions where it has them.
    const std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return tstring();
    constexpr std::size_t Chunk = 64 * 1024;
    std::string buffer;
    buffer.reserve(Chunk * 2);
    for (const tstring& name : names) {
        appendLine(buffer, name);
        if (buffer.size() >= Chunk) {
            EVP_DigestUpdate(context.get(), buffer.data(), buffer.size());
            buffer.clear();
        }
    }
    EVP_DigestUpdate(context.get(), buffer.data(), buffer.size());
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1)
        return tstring();
    static const char hex[] = "0123456789abcdef";
    tstring text;
    for (unsigned int i = 0; i < length; ++i) {
        text += static_cast<wchar_t>(hex[digest[i] >> 4]);
        text += static_cast<wchar_t>(hex[digest[i] & 0xF]);
    }
    return text;
}
