#include "platform/Sha256.h"

#include <openssl/evp.h>

struct Sha256::Context
{
    EVP_MD_CTX* md = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(md); }
};

Sha256::Sha256() : m_context(std::make_unique<Context>())
{
    EVP_DigestInit_ex(m_context->md, EVP_sha256(), nullptr);
}

Sha256::~Sha256() = default;

void Sha256::add(const void* data, std::size_t size)
{
    EVP_DigestUpdate(m_context->md, data, size);
}

Sha256::Digest Sha256::finish()
{
    Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_context->md, digest.data(), &length);
    EVP_DigestInit_ex(m_context->md, EVP_sha256(), nullptr);
    return digest;
}

Sha256::Digest Sha256::of(std::string_view bytes)
{
    Sha256 hash;
    hash.add(bytes);
    return hash.finish();
}

std::string Sha256::hex(const Digest& digest)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (std::uint8_t byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}
