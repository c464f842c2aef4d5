#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace {

constexpr wchar_t Replacement = L'?';
constexpr char AnsiCodePage[] = "CP936";
// Valid multi-byte sequences needed for each damaged byte of a file read as UTF-8.
constexpr size_t MostlyUtf8 = 8;

class Iconv
{
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Opening a converter costs more than converting a line, so each thread keeps one.
Iconv& ansiDecoder()
{
    thread_local Iconv cd("WCHAR_T", AnsiCodePage);
    return cd;
}

Iconv& ansiEncoder()
{
    thread_local Iconv cd(AnsiCodePage, "WCHAR_T");
    return cd;
}

std::wstring ansiToWide(std::string_view bytes)
{
    std::wstring out;
    Iconv& cd = ansiDecoder();
    if (!cd.valid()) {
        // Without a converter, keep at least the ASCII characters.
        for (unsigned char c : bytes)
            out.push_back(c < 0x80 ? static_cast<wchar_t>(c) : Replacement);
        return out;
    }
    iconv(cd.handle(), nullptr, nullptr, nullptr, nullptr);
    out.resize(bytes.size());
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outPtr = reinterpret_cast<char*>(out.data());
    size_t outLeft = out.size() * sizeof(wchar_t);
    while (inLeft > 0) {
        if (iconv(cd.handle(), &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: every byte yields at most one character
        // An invalid or truncated sequence: one "?" for its first byte, then go on.
        *reinterpret_cast<wchar_t*>(outPtr) = Replacement;
        outPtr += sizeof(wchar_t);
        outLeft -= sizeof(wchar_t);
        ++in;
        --inLeft;
        iconv(cd.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - outLeft / sizeof(wchar_t));
    return out;
}

std::string wideToAnsi(std::wstring_view text)
{
    std::string out;
    Iconv& cd = ansiEncoder();
    if (!cd.valid()) {
        for (wchar_t c : text)
            out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
    iconv(cd.handle(), nullptr, nullptr, nullptr, nullptr);
    out.resize(text.size() * 2);
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(text.data()));
    size_t inLeft = text.size() * sizeof(wchar_t);
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd.handle(), &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: code page 936 uses at most two bytes a character
        *outPtr++ = '?';
        --outLeft;
        in += sizeof(wchar_t);
        inLeft -= sizeof(wchar_t);
        iconv(cd.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - outLeft);
    return out;
}

// Length of the valid UTF-8 sequence at bytes[i], or 0 when it is not valid.
size_t utf8SequenceLength(std::string_view bytes, size_t i, char32_t& code);

// The two cases nearly every name file consists of, checked inline: ASCII
// and the three-byte sequences of Chinese text.
inline size_t utf8QuickLength(std::string_view bytes, size_t i, char32_t& code)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xF0) == 0xE0 && i + 2 < bytes.size()) {
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const auto third = static_cast<unsigned char>(bytes[i + 2]);
        if ((second & 0xC0) == 0x80 && (third & 0xC0) == 0x80) {
            code = (char32_t(lead & 0x0F) << 12) | (char32_t(second & 0x3F) << 6) | (third & 0x3F);
            if (code >= 0x800 && (code < 0xD800 || code > 0xDFFF))
                return 3;
        }
    }
    return utf8SequenceLength(bytes, i, code);
}

size_t utf8SequenceLength(std::string_view bytes, size_t i, char32_t& code)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char c = byte(i + k);
        if ((c & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (c & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

std::wstring utf8ToWide(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t code = 0;
        const size_t length = utf8QuickLength(bytes, i, code);
        if (length == 0) {
            out.push_back(Replacement);
            ++i;
        } else {
            out.push_back(static_cast<wchar_t>(code));
            i += length;
        }
    }
    return out;
}

std::string wideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    CodePage::appendAsUtf8(text, out);
    return out;
}

std::wstring utf16ToWide(std::string_view bytes, bool bigEndian)
{
    std::wstring out;
    out.reserve(bytes.size() / 2 + 1);
    const auto unit = [&](size_t k) {
        const auto first = static_cast<unsigned char>(bytes[k]);
        const auto second = static_cast<unsigned char>(bytes[k + 1]);
        return static_cast<char16_t>(bigEndian ? (first << 8) | second : first | (second << 8));
    };
    size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
                i += 2;
                continue;
            }
        }
        out.push_back(u >= 0xD800 && u <= 0xDFFF ? Replacement : static_cast<wchar_t>(u));
    }
    if (i < bytes.size())
        out.push_back(Replacement);
    return out;
}

std::string wideToUtf16(std::wstring_view text, bool bigEndian)
{
    std::string out;
    out.reserve(text.size() * 2);
    const auto put = [&](char16_t u) {
        const char low = static_cast<char>(u & 0xFF);
        const char high = static_cast<char>(u >> 8);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    };
    for (wchar_t wc : text) {
        const auto c = static_cast<char32_t>(wc);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            put(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else if (c > 0x10FFFF) {
            put(u'?');
        } else {
            put(static_cast<char16_t>(c));
        }
    }
    return out;
}

TextEncoding& asciiEncoding()
{
    static TextEncoding encoding = TextEncoding::Ansi;
    return encoding;
}

bool startsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

} // namespace

TextEncoding CodePage::detect(std::string_view bytes, bool allowUtf16)
{
    if (allowUtf16 && startsWith(bytes, byteOrderMark(TextEncoding::Utf16Le)))
        return TextEncoding::Utf16Le;
    if (allowUtf16 && startsWith(bytes, byteOrderMark(TextEncoding::Utf16Be)))
        return TextEncoding::Utf16Be;
    if (startsWith(bytes, byteOrderMark(TextEncoding::Utf8Bom)))
        return TextEncoding::Utf8Bom;
    // A UTF-8 file with a few damaged bytes is still UTF-8: read as code page
    // 936 every name in it would be garbled, not just the damaged one. Code
    // page 936 text is valid UTF-8 only here and there, by chance.
    size_t sequences = 0;
    size_t damaged = 0;
    for (size_t i = 0; i < bytes.size();) {
        char32_t code;
        const size_t length = utf8QuickLength(bytes, i, code);
        if (length == 0) {
            ++damaged;
            ++i;
        } else {
            sequences += length > 1;
            i += length;
        }
    }
    return sequences > 0 && sequences >= MostlyUtf8 * damaged ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::string CodePage::byteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return "\xEF\xBB\xBF";
    case TextEncoding::Utf16Le:
        return "\xFF\xFE";
    case TextEncoding::Utf16Be:
        return "\xFE\xFF";
    default:
        return std::string();
    }
}

bool CodePage::isValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        char32_t code;
        const size_t length = utf8SequenceLength(bytes, i, code);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

void CodePage::appendAsUtf8(std::wstring_view text, std::string& out)
{
    for (wchar_t wc : text) {
        const auto c = static_cast<char32_t>(wc);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out.push_back('?');
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c <= 0x10FFFF) {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back('?');
        }
    }
}

std::wstring CodePage::decode(std::string_view bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return utf8ToWide(bytes);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return utf16ToWide(bytes, encoding == TextEncoding::Utf16Be);
    case TextEncoding::Ansi:
        break;
    }
    return ansiToWide(bytes);
}

std::string CodePage::encode(std::wstring_view text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return wideToUtf8(text);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return wideToUtf16(text, encoding == TextEncoding::Utf16Be);
    case TextEncoding::Ansi:
        break;
    }
    return wideToAnsi(text);
}

TextEncoding CodePage::asciiFileEncoding()
{
    return asciiEncoding();
}

void CodePage::setAsciiFileEncoding(TextEncoding encoding)
{
    asciiEncoding() = encoding == TextEncoding::Ansi ? TextEncoding::Ansi : TextEncoding::Utf8;
}
