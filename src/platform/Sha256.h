#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// SHA-256 through OpenSSL's libcrypto, which uses the processor's SHA
// instructions where it has them: a gigabyte in about two seconds.
class Sha256
{
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void add(const void* data, std::size_t size);
    void add(std::string_view bytes) { add(bytes.data(), bytes.size()); }
    // The digest of everything added; the hash then starts again.
    Digest finish();

    static Digest of(std::string_view bytes);
    // Lower-case hex digits.
    static std::string hex(const Digest& digest);

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};
