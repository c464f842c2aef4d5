// The integer and colour fields of the event files: the two integer rules
// agree with the C runtime's conversion, and a colour always loads.
#include "FuzzCheck.h"
#include "areas/TextAreas.h"
#include "platform/CodePage.h"
#include "platform/DecimalText.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <string_view>

namespace {

size_t digitsAfterSign(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i])))
        ++i;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        ++i;
    size_t digits = 0;
    while (i + digits < text.size() && text[i + digits] >= L'0' && text[i + digits] <= L'9')
        ++digits;
    return digits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring text = CodePage::decode(bytes, CodePage::detect(bytes));

    // wcstoll saturates at the 64-bit range, and so does the clamped rule at
    // the 32-bit one; a NUL stops both, as it is neither blank nor a digit.
    const long long reference = std::wcstoll(text.c_str(), nullptr, 10);
    FUZZ_CHECK(DecimalText::toClampedInt(text) ==
               static_cast<int>(std::clamp<long long>(reference, INT_MIN, INT_MAX)));
    if (digitsAfterSign(text) <= 18)
        FUZZ_CHECK(DecimalText::toWrappedInt(text) ==
                   static_cast<int>(static_cast<std::uint32_t>(static_cast<unsigned long long>(reference))));

    COLORREF color = 0x12345678;
    if (!text.empty())
        ParseFontColor(tstring(text), color);
    FUZZ_CHECK(color == 0x12345678 || color <= 0xFFFFFF);
    return 0;
}
