#include "app/PoolDigest.h"

#include <QString>
#include <openssl/evp.h>

#include <array>
#include <memory>

namespace {

// Appends a name as UTF-8 and a line feed. Names are converted by hand, a
// million of them in a few milliseconds; one holding something that is not a
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
    for (const wchar_t c : name) {
        const auto u = static_cast<std::uint32_t>(c);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else if (u < 0x10000) {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (u >> 18));
            out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
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
