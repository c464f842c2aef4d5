#pragma once

#include <exception>
#include <string>
#include <vector>

// Raised by tstring::Tokenize on an empty text or an empty delimiter set.
class TokenizeError : public std::exception
{
public:
    const wchar_t* message() const noexcept { return L"tokenize: empty string"; }
    const char* what() const noexcept override { return "tokenize: empty string"; }
};

// The program's own wide string: the standard one plus the few operations
// the INI access, the loaders and the text areas need.
class tstring : public std::wstring
{
public:
    tstring() = default;
    tstring(const std::wstring& text) : std::wstring(text) {}
    tstring(std::wstring&& text) : std::wstring(std::move(text)) {}
    tstring(const wchar_t* text) : std::wstring(text ? text : L"") {}
    tstring(const tstring&) = default;
    tstring(tstring&&) = default;
    tstring& operator=(const tstring&) = default;
    tstring& operator=(tstring&&) = default;
    virtual ~tstring() = default;

    // Spaces only; tabs and line breaks stay.
    tstring& Trim();
    // ASCII letters only.
    tstring& ToUpper();
    tstring& ToLower();

    // printf-style; the result holds at most 499 characters. Wide strings are
    // passed with %ls.
    tstring& Format(const wchar_t* format, ...);

    tstring Left(size_type count) const;
    // Throws std::out_of_range when the position lies beyond the end.
    tstring Mid(size_type position) const;

    // Splits at each of the delimiter characters. Throws TokenizeError when the
    // text or the delimiter set is empty.
    std::vector<tstring> Tokenize(const tstring& delimiters, bool skipEmpty) const;

    // "|" separates the fields of a prize row and the winners of a prize in
    // the event files, so inside a text it becomes the full-width "｜", which
    // reads the same and loses nothing at the next load.
    tstring WithFullWidthBars() const;
};
