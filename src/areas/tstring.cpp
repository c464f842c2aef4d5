#include "areas/tstring.h"

#include <cstdarg>
#include <cwchar>

namespace {

constexpr size_t FormatBufferChars = 500;

} // namespace

tstring& tstring::Trim()
{
    const size_type begin = find_first_not_of(L' ');
    if (begin == npos) {
        clear();
        return *this;
    }
    erase(find_last_not_of(L' ') + 1);
    erase(0, begin);
    return *this;
}

tstring& tstring::ToUpper()
{
    for (wchar_t& c : *this) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return *this;
}

tstring& tstring::ToLower()
{
    for (wchar_t& c : *this) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return *this;
}

tstring& tstring::Format(const wchar_t* format, ...)
{
    // vswprintf gives nothing usable when the text does not fit, so format
    // into a buffer that grows until it does and then cut to the limit.
    std::wstring buffer(FormatBufferChars, L'\0');
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written >= 0) {
            buffer.resize(static_cast<size_type>(written));
            break;
        }
        if (buffer.size() >= (size_type(1) << 24)) {
            buffer.clear();
            break;
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
    if (buffer.size() > FormatBufferChars - 1)
        buffer.resize(FormatBufferChars - 1);
    assign(buffer);
    return *this;
}

tstring tstring::Left(size_type count) const
{
    return tstring(substr(0, count));
}

tstring tstring::Mid(size_type position) const
{
    return tstring(substr(position));
}

std::vector<tstring> tstring::Tokenize(const tstring& delimiters, bool skipEmpty) const
{
    if (empty() || delimiters.empty())
        throw TokenizeError();
    std::vector<tstring> pieces;
    size_type pos = 0;
    for (size_type d = find_first_of(delimiters, pos); d != npos; d = find_first_of(delimiters, pos)) {
        if (d > pos)
            pieces.emplace_back(substr(pos, d - pos));
        else if (!skipEmpty)
            pieces.emplace_back();
        pos = d + 1;
    }
    tstring rest(substr(pos));
    if (!rest.empty() || !skipEmpty)
        pieces.push_back(std::move(rest));
    return pieces;
}

tstring tstring::WithFullWidthBars() const
{
    tstring text = *this;
    for (wchar_t& c : text) {
        if (c == L'|')
            c = L'\uFF5C';
    }
    return text;
}
