#include "app/DrawSeed.h"

#include <QRandomGenerator>
#include <cstring>
#include <limits>

DrawSeed DrawSeed::fresh()
{
    Bytes bytes;
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return ofBytes(bytes);
}

DrawSeed DrawSeed::ofBytes(const Bytes& bytes)
{
    DrawSeed seed;
    seed.m_bytes = bytes;
    return seed;
}

DrawSeed DrawSeed::crtSecond(long long second)
{
    DrawSeed seed;
    seed.m_rule = Rule::CrtSecond;
    seed.m_second = second;
    return seed;
}

std::optional<DrawSeed> DrawSeed::fromHex(const QString& hex)
{
    if (hex.size() != 64)
        return std::nullopt;
    Bytes bytes;
    for (int i = 0; i < 32; ++i) {
        int value = 0;
        for (int half = 0; half < 2; ++half) {
            const char16_t c = hex[2 * i + half].unicode();
            const int digit = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'a' && c <= u'f' ? c - u'a' + 10 : -1;
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
        }
        bytes[static_cast<size_t>(i)] = static_cast<std::uint8_t>(value);
    }
    return ofBytes(bytes);
}

QString DrawSeed::hex() const
{
    return QString::fromStdString(Sha256::hex(m_bytes));
}

DrawSeed::Positions::Positions(const DrawSeed& seed, std::uint64_t firstWord) : m_seed(seed)
{
    if (seed.rule() == Rule::CrtSecond)
        m_crt.seed(static_cast<std::uint32_t>(seed.second()));
    m_block = firstWord / 4;
    if (firstWord % 4 != 0) {
        // The words of that block, from the one asked for.
        nextWord();
        m_used = static_cast<int>(firstWord % 4);
    }
}

std::uint64_t DrawSeed::Positions::nextWord()
{
    if (m_used == 4) {
        // Block j: SHA-256 of the seed bytes and j as 8 bytes, little-endian.
        std::uint8_t input[40];
        std::memcpy(input, m_seed.bytes().data(), 32);
        for (int i = 0; i < 8; ++i)
            input[32 + i] = static_cast<std::uint8_t>(m_block >> (8 * i));
        ++m_block;
        m_words = Sha256::of(std::string_view(reinterpret_cast<const char*>(input), sizeof input));
        m_used = 0;
    }
    std::uint64_t word = 0;
    for (int i = 7; i >= 0; --i)
        word = (word << 8) | m_words[static_cast<size_t>(m_used * 8 + i)];
    ++m_used;
    return word;
}

std::size_t DrawSeed::Positions::next(std::size_t count)
{
    if (count == 0)
        return 0;
    if (m_seed.rule() == Rule::CrtSecond)
        return m_crt.position(count);
    const std::uint64_t m = count;
    // 2^64 mod m: the words at or above 2^64 minus it would favour the first positions.
    const std::uint64_t rest = (std::numeric_limits<std::uint64_t>::max() % m + 1) % m;
    for (;;) {
        const std::uint64_t word = nextWord();
        if (rest == 0 || word <= std::numeric_limits<std::uint64_t>::max() - rest)
            return static_cast<std::size_t>(word % m);
    }
}
