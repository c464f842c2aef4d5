#pragma once

#include <string>
#include <string_view>

// How a file's bytes turn into text. Windows-made event files are in code
// page 936; Linux editors write UTF-8; INI files may also be UTF-16LE.
enum class TextEncoding
{
    Ansi,
    Utf8,
    Utf8Bom,
    Utf16Le,
    Utf16Be
};

namespace CodePage {

// Decided once per file: a byte-order mark, else UTF-8 that is not plain
// ASCII and valid but for a damaged byte here and there, else code page 936.
// UTF-16 (marked) only where the caller allows it.
TextEncoding detect(std::string_view bytes, bool allowUtf16 = false);

std::string byteOrderMark(TextEncoding encoding);
bool isValidUtf8(std::string_view bytes);

// Bytes without the byte-order mark. A byte sequence that cannot be decoded
// becomes "?" and the rest of the text is still decoded.
std::wstring decode(std::string_view bytes, TextEncoding encoding);

// No byte-order mark is written. Characters the encoding cannot hold become "?".
std::string encode(std::wstring_view text, TextEncoding encoding);
// Appends text to `out` as encode() gives it in UTF-8.
void appendAsUtf8(std::wstring_view text, std::string& out);

// The encoding for text files whose bytes are plain ASCII so far (an empty
// result store, say) when they get their first other character: code page
// 936 unless the event is known to be written in UTF-8.
TextEncoding asciiFileEncoding();
void setAsciiFileEncoding(TextEncoding encoding);

} // namespace CodePage
