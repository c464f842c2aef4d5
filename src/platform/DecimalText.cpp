#include "platform/DecimalText.h"

#include <climits>
#include <cstdint>
#include <cwctype>

namespace {

struct Digits
{
    bool negative = false;
    std::wstring_view digits;
};

Digits split(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i])))
        ++i;
    Digits result;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        result.negative = text[i] == L'-';
        ++i;
    }
    size_t end = i;
    while (end < text.size() && text[end] >= L'0' && text[end] <= L'9')
        ++end;
    result.digits = text.substr(i, end - i);
    return result;
}

} // namespace

int DecimalText::toWrappedInt(std::wstring_view text)
{
    const Digits parts = split(text);
    std::uint32_t value = 0;
    for (wchar_t c : parts.digits)
        value = value * 10u + static_cast<std::uint32_t>(c - L'0');
    if (parts.negative)
        value = 0u - value;
    return static_cast<int>(value);
}

int DecimalText::toClampedInt(std::wstring_view text)
{
    const Digits parts = split(text);
    const std::int64_t limit = parts.negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    std::int64_t value = 0;
    for (wchar_t c : parts.digits) {
        value = value * 10 + (c - L'0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(parts.negative ? -value : value);
}
