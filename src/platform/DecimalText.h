#pragma once

#include <string_view>

// The two ways the event files turn text into numbers. Both take leading
// white space, an optional sign and the decimal digits up to the first other
// character, and give 0 when there are none.
namespace DecimalText {

// Wrapped modulo 2^32, as the profile functions read integers.
int toWrappedInt(std::wstring_view text);

// Held to the 32-bit signed range, as the C runtime's conversion does.
int toClampedInt(std::wstring_view text);

} // namespace DecimalText
