// Prize rows as an operator may type them: a row that loads saves and loads
// back to the same prize.
#include "FuzzCheck.h"
#include "data/PrizeTable.h"
#include "platform/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tstring row(CodePage::decode(bytes, CodePage::detect(bytes)));
    AwardItem item;
    if (!ParsePrizeRow(row, item))
        return 0;
    AwardItem again;
    FUZZ_CHECK(ParsePrizeRow(FormatPrizeRow(item), again));
    FUZZ_CHECK(again.awardName == item.awardName);
    FUZZ_CHECK(again.prizeName == item.prizeName);
    FUZZ_CHECK(again.picturePath == item.picturePath);
    FUZZ_CHECK(again.winnerCount == item.winnerCount);
    FUZZ_CHECK(again.reserved == 0);
    return 0;
}
