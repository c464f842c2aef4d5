#include "data/ParticipantFile.h"

#include "platform/EventFolder.h"
#include "platform/TextFile.h"

#include <QChar>
#include <QFileInfo>
#include <algorithm>

const wchar_t* const ParticipantFileName = L"data.txt";

namespace {

// One name per line, ended by CR, LF or CR LF; a NUL cuts its name, and a
// line that starts with one ends the list (then the result is false). `add`
// gets each line up to its NUL.
template <typename Char, typename Add> bool splitLines(const Char* data, size_t size, Add add)
{
    size_t start = 0;
    while (start < size) {
        if (data[start] == Char(0))
            return false;
        size_t end = start;
        size_t nul = size;
        while (end < size && data[end] != Char('\r') && data[end] != Char('\n')) {
            if (data[end] == Char(0) && nul == size)
                nul = end;
            ++end;
        }
        add(data + start, std::min(nul, end) - start);
        start = end;
        if (start < size && data[start] == Char('\r'))
            ++start;
        if (start < size && data[start] == Char('\n') && (start == end || data[start - 1] == Char('\r')))
            ++start;
    }
    return true;
}

} // namespace

ParticipantList ParseParticipants(const std::string& bytes, size_t decodedPiece)
{
    ParticipantList list;
    list.encoding = CodePage::detect(bytes, true);
    const std::string_view body =
        std::string_view(bytes).substr(CodePage::byteOrderMark(list.encoding).size());
    // One name a line at most; a million names are neither moved again nor
    // given room for millions more.
    const auto breaks = [&body](char c) { return size_t(std::count(body.begin(), body.end(), c)); };
    // No more UTF-16 units than bytes: room never touched takes no memory.
    list.names.reserve(std::max(breaks('\n'), breaks('\r')) + 1, body.size());
    const auto add = [&](const wchar_t* line, size_t length) { list.names.append(line, length); };
    if (list.encoding == TextEncoding::Utf16Le || list.encoding == TextEncoding::Utf16Be) {
        const std::wstring text = CodePage::decode(body, list.encoding);
        splitLines(text.data(), text.size(), add);
        return list;
    }
    // A piece at a time, so a million names never wait for the whole text
    // decoded at once. Line feeds are single bytes in code page 936 and in
    // UTF-8, never part of a character, so each piece ends after one.
    for (size_t from = 0; from < body.size();) {
        const size_t feed = body.find('\n', std::min(body.size(), from + decodedPiece));
        const size_t to = feed == std::string_view::npos ? body.size() : feed + 1;
        const std::wstring text = CodePage::decode(body.substr(from, to - from), list.encoding);
        if (!splitLines(text.data(), text.size(), add))
            break;
        from = to;
    }
    return list;
}

bool ReadParticipants(const EventFolder& folder, ParticipantList& list)
{
    const QString path = folder.file(ParticipantFileName);
    std::string bytes;
    if (QFileInfo(path).isDir() || !TextFile::readAll(path, bytes))
        return false;
    list = ParseParticipants(bytes);
    return true;
}

std::wstring ParticipantFileText(const std::wstring& editText)
{
    const auto trimmed = [](std::wstring_view piece) {
        size_t begin = 0;
        size_t end = piece.size();
        while (begin < end && QChar::isSpace(static_cast<char32_t>(piece[begin])))
            ++begin;
        while (end > begin && QChar::isSpace(static_cast<char32_t>(piece[end - 1])))
            --end;
        return piece.substr(begin, end - begin);
    };
    std::wstring text;
    size_t start = 0;
    for (;;) {
        const size_t end = editText.find(L'\n', start);
        const std::wstring_view piece = trimmed(std::wstring_view(editText).substr(start, end - start));
        if (!piece.empty()) {
            text += piece;
            if (end != std::wstring::npos)
                text += L"\r\n";
        }
        if (end == std::wstring::npos)
            return text;
        start = end + 1;
    }
}

bool WriteParticipants(const EventFolder& folder, const std::wstring& editText, TextEncoding encoding)
{
    const std::string bytes =
        CodePage::byteOrderMark(encoding) + CodePage::encode(ParticipantFileText(editText), encoding);
    return TextFile::writeAtomically(folder.file(ParticipantFileName), bytes);
}
