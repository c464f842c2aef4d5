// "data.txt" of any bytes: names never hold a line break or a NUL, text read
// piece by piece, in pieces of any size, gives the names of the whole text
// decoded at once, and the list written back in the encoding it was read in
// reads the same.
#include "FuzzCheck.h"
#include "data/ParticipantFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

std::vector<tstring> namesOfWholeText(const std::wstring& text)
{
    std::vector<tstring> names;
    size_t start = 0;
    while (start < text.size() && text[start] != L'\0') {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        const auto nul = std::find(text.begin() + static_cast<std::ptrdiff_t>(start),
                                   text.begin() + static_cast<std::ptrdiff_t>(end), L'\0');
        names.emplace_back(std::wstring(text.begin() + static_cast<std::ptrdiff_t>(start), nul));
        start = end;
        if (start < text.size() && text[start] == L'\r')
            ++start;
        if (start < text.size() && text[start] == L'\n' && (start == end || text[start - 1] == L'\r'))
            ++start;
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ParticipantList list = ParseParticipants(bytes);
    const std::string_view body =
        std::string_view(bytes).substr(CodePage::byteOrderMark(list.encoding).size());
    FUZZ_CHECK(list.names.names() == namesOfWholeText(CodePage::decode(body, list.encoding)));
    FUZZ_CHECK(ParseParticipants(bytes, size % 7).names.names() == list.names.names());
    std::wstring text;
    for (const tstring& name : list.names) {
        FUZZ_CHECK(name.find_first_of(std::wstring(L"\r\n\0", 3)) == tstring::npos);
        text += name + L"\r\n";
    }
    const std::string written =
        CodePage::byteOrderMark(list.encoding) + CodePage::encode(text, list.encoding);
    const ParticipantList again = ParseParticipants(written);
    // Bytes may come out in a form the reader takes for another encoding.
    if (again.encoding == list.encoding)
        FUZZ_CHECK(again.names.names() == list.names.names());
    return 0;
}
