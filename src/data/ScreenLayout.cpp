#include "data/ScreenLayout.h"

#include "data/CIni.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const wchar_t* const Section = L"ScreenPixel";
const wchar_t* const ZoneKeys[12] = {L"startx1", L"starty1", L"startx2", L"starty2", L"stopx1", L"stopy1",
                                     L"stopx2",  L"stopy2",  L"exitx1",  L"exity1",  L"exitx2", L"exity2"};

} // namespace

int ScaleFontSize(int size, float factor)
{
    if (size <= 0 || !(factor > 0.0f))
        return size;
    const double product = std::round(static_cast<double>(size) * static_cast<double>(factor));
    return static_cast<int>(std::clamp(product, 1.0, static_cast<double>(INT_MAX)));
}

int ScaleCoordinate(int value, float factor)
{
    const double product = std::trunc(static_cast<double>(value) * static_cast<double>(factor));
    if (product >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (product <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(product);
}

HotZones ScaleScreenLayout(const EventFolder& folder, AreaSet& areas, int width, int height,
                           PendingSettings& settings)
{
    HotZones zones;
    CIni ini(folder, AwardInfoFile);
    if (!ini.IsOpen())
        return zones;
    const int cx = ini.GetInt(Section, L"cx");
    const int cy = ini.GetInt(Section, L"cy");
    const bool usable = cx > 0 && cy > 0;
    const float fx = usable ? static_cast<float>(static_cast<double>(width) / cx) : 1.0f;
    const float fy = usable ? static_cast<float>(static_cast<double>(height) / cy) : 1.0f;
    const bool rescale = cx != width || cy != height;

    int values[12];
    for (int i = 0; i < 12; ++i)
        values[i] = ScaleCoordinate(ini.GetInt(Section, ZoneKeys[i]), i % 2 == 0 ? fx : fy);
    zones.start = Rect(values[0], values[1], values[2], values[3]);
    zones.stop = Rect(values[4], values[5], values[6], values[7]);
    zones.exit = Rect(values[8], values[9], values[10], values[11]);

    PendingSettings::Values screenPixel;
    if (rescale) {
        for (int i = 0; i < AreaCount && usable; ++i) {
            CLottoryArea* area = areas[static_cast<size_t>(i)].get();
            if (!area)
                continue;
            const Rect r = area->m_rect;
            area->m_rect = Rect(ScaleCoordinate(r.left, fx), ScaleCoordinate(r.top, fy),
                                ScaleCoordinate(r.right, fx), ScaleCoordinate(r.bottom, fy));
            // A 1080p layout on a 720p projector: its fonts would crowd the pictures.
            area->m_fontSize = ScaleFontSize(area->m_fontSize, std::min(fx, fy));
        }
        screenPixel.emplace_back(L"cx", std::to_wstring(width));
        screenPixel.emplace_back(L"cy", std::to_wstring(height));
    }
    for (int i = 0; i < 12; ++i)
        screenPixel.emplace_back(ZoneKeys[i], std::to_wstring(values[i]));
    settings.screenScaled(std::move(screenPixel), rescale && usable);
    settings.write(folder, areas);
    return zones;
}
