#include "data/PrizeTable.h"

#include "app/DrawScope.h"

#include "areas/TextAreas.h"
#include "data/CIni.h"
#include "platform/DecimalText.h"
#include "platform/IniDocument.h"

namespace {

const wchar_t* const Section = L"AwardInfo";
// Beside the rows, since every key of [AwardInfo] is taken for a prize row.
const wchar_t* const RangeSection = L"AwardRange";
const wchar_t* const MusicSection = L"AwardMusic";
const wchar_t* const RevealSection = L"AwardReveal";

tstring rowKey(size_t index)
{
    tstring key;
    key.Format(L"AwardItem%d", static_cast<int>(index));
    return key;
}

tstring rangeKey(size_t index)
{
    tstring key;
    key.Format(L"Range%d", static_cast<int>(index));
    return key;
}

tstring indexedKey(const wchar_t* name, size_t index)
{
    return tstring(name) + std::to_wstring(index);
}

} // namespace

bool ParsePrizeRow(const tstring& value, AwardItem& item)
{
    if (value.empty())
        return false;
    const std::vector<tstring> fields = value.Tokenize(L"|", false);
    if (fields.size() != 5)
        return false;
    item = AwardItem();
    item.awardName = fields[0];
    item.reserved = DecimalText::toClampedInt(fields[1]);
    item.winnerCount = DecimalText::toClampedInt(fields[2]);
    item.prizeName = fields[3];
    item.picturePath = fields[4];
    return true;
}

tstring FormatPrizeRow(const AwardItem& item)
{
    tstring count;
    count.Format(L"%d", item.winnerCount);
    return item.awardName.WithFullWidthBars() + L"|0|" + count + L"|" + item.prizeName.WithFullWidthBars() +
           L"|" + item.picturePath.WithFullWidthBars();
}

void LoadPrizeTable(const EventFolder& folder, std::vector<AwardItem>& awards)
{
    CIni ini(folder, AwardInfoFile);
    if (!ini.IsOpen())
        return;
    const size_t rows = ini.GetKeyNames(Section).size();
    for (size_t i = 0; i < rows; ++i) {
        AwardItem item;
        if (ParsePrizeRow(ini.GetString(Section, rowKey(i)), item)) {
            item.range = ini.GetString(RangeSection, rangeKey(i));
            item.startMusic = ini.GetString(MusicSection, indexedKey(L"Start", i));
            item.stopMusic = ini.GetString(MusicSection, indexedKey(L"Stop", i));
            item.reveal = ini.GetString(RevealSection, indexedKey(L"Reveal", i)) == L"1";
            awards.push_back(std::move(item));
        }
    }
}

void WritePrizeTable(IniDocument& doc, const std::vector<AwardItem>& awards)
{
    for (const std::wstring& key : doc.keyNames(Section)) {
        if (!key.empty())
            doc.removeKey(Section, key);
    }
    for (size_t i = 0; i < awards.size(); ++i)
        doc.setValue(Section, rowKey(i), FormatPrizeRow(awards[i]));
    for (const std::wstring& key : doc.keyNames(RangeSection)) {
        if (!key.empty())
            doc.removeKey(RangeSection, key);
    }
    for (size_t i = 0; i < awards.size(); ++i) {
        if (!DrawScope::isEveryone(awards[i].range))
            doc.setValue(RangeSection, rangeKey(i), awards[i].range);
    }
    for (const std::wstring& key : doc.keyNames(MusicSection)) {
        if (!key.empty())
            doc.removeKey(MusicSection, key);
    }
    for (const std::wstring& key : doc.keyNames(RevealSection)) {
        if (!key.empty())
            doc.removeKey(RevealSection, key);
    }
    for (size_t i = 0; i < awards.size(); ++i) {
        if (awards[i].reveal)
            doc.setValue(RevealSection, indexedKey(L"Reveal", i), L"1");
        if (!awards[i].startMusic.empty())
            doc.setValue(MusicSection, indexedKey(L"Start", i), awards[i].startMusic);
        if (!awards[i].stopMusic.empty())
            doc.setValue(MusicSection, indexedKey(L"Stop", i), awards[i].stopMusic);
    }
}
