// "data.txt" of any bytes: names never hold a line break or a NUL, and the
// list written back in the encoding it was read in reads the same.
#include "FuzzCheck.h"
#include "data/ParticipantFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ParticipantList list = ParseParticipants(bytes);
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
        FUZZ_CHECK(again.names == list.names);
    return 0;
}
