#include "data/ParticipantFile.h"

#include "platform/TextFile.h"
#include "platform/WinPath.h"

#include <QChar>
#include <QFileInfo>
#include <algorithm>

const wchar_t* const ParticipantFileName = L"data.txt";

ParticipantList ParseParticipants(const std::string& bytes)
{
    ParticipantList list;
    list.encoding = CodePage::detect(bytes, true);
    const std::string_view body =
        std::string_view(bytes).substr(CodePage::byteOrderMark(list.encoding).size());
    const std::wstring text = CodePage::decode(body, list.encoding);

    size_t start = 0;
    while (start < text.size()) {
        if (text[start] == L'\0')
            break;
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        const auto nul = std::find(text.begin() + static_cast<std::ptrdiff_t>(start),
                                   text.begin() + static_cast<std::ptrdiff_t>(end), L'\0');
        list.names.emplace_back(std::wstring(text.begin() + static_cast<std::ptrdiff_t>(start), nul));
        start = end;
        if (start < text.size() && text[start] == L'\r')
            ++start;
        if (start < text.size() && text[start] == L'\n' && (start == end || text[start - 1] == L'\r'))
            ++start;
    }
    return list;
}

bool ReadParticipants(ParticipantList& list)
{
    const QString path = WinPath::toLocal(ParticipantFileName);
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

bool WriteParticipants(const std::wstring& editText, TextEncoding encoding)
{
    const std::string bytes =
        CodePage::byteOrderMark(encoding) + CodePage::encode(ParticipantFileText(editText), encoding);
    return TextFile::writeAtomically(WinPath::toLocal(ParticipantFileName), bytes);
}
