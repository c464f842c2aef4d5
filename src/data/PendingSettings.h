#pragma once

#include "app/AwardItem.h"
#include "areas/TextAreas.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class EventFolder;

// The show's own changes of "AwardInfo.ini" that the file does not hold
// yet. Every write takes all of them in one replacement of the file, so a
// change whose write failed (a full disk) goes in with the next change or at
// exit, and until then the show goes on with what it holds in memory.
class PendingSettings
{
public:
    using Values = std::vector<std::pair<std::wstring, std::wstring>>;

    // The three texts of the title dialog.
    static constexpr int TitleAreas[3] = {AreaMainTitle, AreaSubTitle, AreaResultLine};

    // The file holds the areas as they are now.
    void areasSaved(const AreaSet& areas);
    // Written with the next write even where it looks unchanged, as a font
    // confirmed in the font dialog is.
    void layoutChanged(int index);
    // The start-up scaling: the keys of "ScreenPixel" and, when the areas
    // were scaled, every area.
    void screenScaled(Values screenPixel, bool areasScaled);
    void titlesChanged() { m_titles = true; }
    void prizesChanged(const std::vector<AwardItem>& awards);
    // The headings of the fields of a name, as an import found them.
    void fieldsChanged(const std::wstring& fields) { m_fields = fields; }

    bool owesLayout(int index, const CLottoryArea& area) const;
    // Whether the layout moved on since the last write was tried, so a
    // write that failed is not tried again on every frame.
    bool changedSinceLastTry(int index, const CLottoryArea& area) const;
    // The prize table the file does not hold yet, without winners.
    const std::optional<std::vector<AwardItem>>& owedPrizes() const { return m_prizes; }
    const std::optional<std::wstring>& owedFields() const { return m_fields; }
    bool owesAnything(const AreaSet& areas) const;

    // Writes all that is owed in one step; true when the file holds it
    // afterwards. A failure has been told by CIni, and everything stays owed.
    bool write(const EventFolder& folder, const AreaSet& areas);

private:
    std::array<std::optional<AreaLayout>, AreaCount> m_saved;
    std::array<std::optional<AreaLayout>, AreaCount> m_tried;
    std::array<bool, AreaCount> m_forced{};
    Values m_screenPixel;
    bool m_titles = false;
    std::optional<std::vector<AwardItem>> m_prizes;
    std::optional<std::wstring> m_fields;
};
