#include "areas/TextAreas.h"

#include "areas/AwardPicArea.h"
#include "areas/AwardResult.h"
#include "areas/AwardScrollArea.h"
#include "platform/DecimalText.h"
#include "platform/IniDocument.h"

const wchar_t* const AreaSectionNames[AreaCount] = {L"AwardMainTitle", L"AwardSubTitle", L"AwardType",
                                                    L"AwardScroll",    L"AwardText",     L"AwardPic",
                                                    L"AwardStatus",    L"AwardResult"};
const wchar_t* const AwardInfoFile = L".\\AwardInfo.ini";

void ParseFontColor(const tstring& value, COLORREF& color)
{
    if (value.empty())
        return;
    const std::vector<tstring> fields = value.Tokenize(L",", false);
    if (fields.size() != 4)
        return;
    const auto byte = [&](size_t i) { return DecimalText::toClampedInt(fields[i]) & 0xFF; };
    color = rgbColor(byte(1), byte(2), byte(3));
}

namespace {

std::unique_ptr<CLottoryArea> makeArea(int index)
{
    switch (index) {
    case AreaScroll:
        return std::make_unique<AwardScrollArea>();
    case AreaPic:
        return std::make_unique<AwardPicArea>();
    case AreaResultLine:
        return std::make_unique<AwardResult>();
    default:
        return std::make_unique<CLottoryArea>();
    }
}

} // namespace

void LoadArea(CIni& ini, CLottoryArea& area, const tstring& section)
{
    const int left = ini.GetInt(section, L"PosLeft");
    const int top = ini.GetInt(section, L"PosTop");
    const int right = ini.GetInt(section, L"PosRight");
    const int bottom = ini.GetInt(section, L"PosBottom");
    area.m_rect = Rect(left, top, right, bottom);
    area.m_titleName = QString::fromStdWString(ini.GetString(section, L"TitleName"));
    area.m_fontName = QString::fromStdWString(ini.GetString(section, L"FontName"));
    area.m_fontSize = ini.GetInt(section, L"FontSize");
    ParseFontColor(ini.GetString(section, L"FontColor"), area.m_fontColor);
}

void WriteAreaLayout(IniDocument& doc, int index, const CLottoryArea& area)
{
    const std::wstring section = AreaSectionNames[index];
    tstring color;
    color.Format(L"255,%d,%d,%d", redOf(area.m_fontColor), greenOf(area.m_fontColor),
                 blueOf(area.m_fontColor));
    doc.setValue(section, L"PosLeft", std::to_wstring(area.m_rect.left));
    doc.setValue(section, L"PosTop", std::to_wstring(area.m_rect.top));
    doc.setValue(section, L"PosRight", std::to_wstring(area.m_rect.right));
    doc.setValue(section, L"PosBottom", std::to_wstring(area.m_rect.bottom));
    doc.setValue(section, L"FontSize", std::to_wstring(area.m_fontSize));
    doc.setValue(section, L"FontName", area.m_fontName.toStdWString());
    doc.setValue(section, L"FontColor", color);
}

void WriteAreaTitle(IniDocument& doc, int index, const CLottoryArea& area)
{
    doc.setValue(AreaSectionNames[index], L"TitleName", area.m_titleName.toStdWString());
}

void CreateAreas(const EventFolder& folder, AreaSet& areas)
{
    CIni ini(folder, AwardInfoFile);
    for (int i = 0; i < AreaCount; ++i) {
        areas[static_cast<size_t>(i)] = makeArea(i);
        // A missing file has been reported once by its opening; no need to say it for every key.
        if (ini.IsOpen())
            LoadArea(ini, *areas[static_cast<size_t>(i)], AreaSectionNames[i]);
    }
}
