#include "data/PendingSettings.h"

#include "data/CIni.h"
#include "data/DrawData.h"
#include "data/PrizeTable.h"
#include "platform/IniDocument.h"

namespace {

const wchar_t* const ScreenSection = L"ScreenPixel";

} // namespace

void PendingSettings::areasSaved(const AreaSet& areas)
{
    for (int i = 0; i < AreaCount; ++i) {
        const CLottoryArea* area = areas[static_cast<size_t>(i)].get();
        m_saved[static_cast<size_t>(i)] = area ? std::optional(AreaLayout::of(*area)) : std::nullopt;
        m_tried[static_cast<size_t>(i)] = m_saved[static_cast<size_t>(i)];
        m_forced[static_cast<size_t>(i)] = false;
    }
}

void PendingSettings::layoutChanged(int index)
{
    m_forced[static_cast<size_t>(index)] = true;
}

void PendingSettings::screenScaled(Values screenPixel, bool areasScaled)
{
    m_screenPixel = std::move(screenPixel);
    if (areasScaled)
        m_forced.fill(true);
}

void PendingSettings::prizesChanged(const std::vector<AwardItem>& awards)
{
    std::vector<AwardItem> table;
    table.reserve(awards.size());
    for (const AwardItem& award : awards) {
        AwardItem row;
        row.awardName = award.awardName;
        row.prizeName = award.prizeName;
        row.picturePath = award.picturePath;
        row.reserved = award.reserved;
        row.winnerCount = award.winnerCount;
        row.range = award.range;
        row.startMusic = award.startMusic;
        row.stopMusic = award.stopMusic;
        row.reveal = award.reveal;
        table.push_back(std::move(row));
    }
    m_prizes = std::move(table);
}

bool PendingSettings::owesLayout(int index, const CLottoryArea& area) const
{
    const auto& saved = m_saved[static_cast<size_t>(index)];
    return m_forced[static_cast<size_t>(index)] || (saved && *saved != AreaLayout::of(area));
}

bool PendingSettings::changedSinceLastTry(int index, const CLottoryArea& area) const
{
    const auto& tried = m_tried[static_cast<size_t>(index)];
    return tried && *tried != AreaLayout::of(area);
}

bool PendingSettings::owesAnything(const AreaSet& areas) const
{
    for (int i = 0; i < AreaCount; ++i) {
        const CLottoryArea* area = areas[static_cast<size_t>(i)].get();
        if (area && owesLayout(i, *area))
            return true;
    }
    return !m_screenPixel.empty() || m_titles || m_prizes || m_fields;
}

bool PendingSettings::write(const EventFolder& folder, const AreaSet& areas)
{
    if (!owesAnything(areas))
        return true;
    for (int i = 0; i < AreaCount; ++i) {
        if (const CLottoryArea* area = areas[static_cast<size_t>(i)].get())
            m_tried[static_cast<size_t>(i)] = AreaLayout::of(*area);
    }
    CIni ini(folder, AwardInfoFile);
    if (!ini.IsOpen())
        return false;
    const bool written = ini.Apply([&](IniDocument& doc) {
        for (int i = 0; i < AreaCount; ++i) {
            const CLottoryArea* area = areas[static_cast<size_t>(i)].get();
            if (area && owesLayout(i, *area))
                WriteAreaLayout(doc, i, *area);
        }
        for (const auto& [key, value] : m_screenPixel)
            doc.setValue(ScreenSection, key, value);
        for (int index : TitleAreas) {
            if (m_titles && areas[static_cast<size_t>(index)])
                WriteAreaTitle(doc, index, *areas[static_cast<size_t>(index)]);
        }
        if (m_prizes)
            WritePrizeTable(doc, *m_prizes);
        if (m_fields)
            doc.setValue(ParticipantSection, ParticipantFieldsKey, *m_fields);
    });
    if (!written)
        return false;
    areasSaved(areas);
    m_screenPixel.clear();
    m_titles = false;
    m_prizes.reset();
    m_fields.reset();
    return true;
}
