#pragma once

#include "areas/CLottoryArea.h"
#include "data/CIni.h"

#include <array>
#include <memory>

class IniDocument;

// The eight text areas of the draw screen at their fixed indexes; each index
// also names the area's section of the configuration file.
constexpr int AreaCount = 8;
using AreaSet = std::array<std::unique_ptr<CLottoryArea>, AreaCount>;

enum AreaIndex
{
    AreaMainTitle = 0,
    AreaSubTitle = 1,
    AreaType = 2,
    AreaScroll = 3,
    AreaText = 4,
    AreaPic = 5,
    AreaStatus = 6,
    AreaResultLine = 7
};

extern const wchar_t* const AreaSectionNames[AreaCount];
extern const wchar_t* const AwardInfoFile;

// "alpha,red,green,blue"; anything else leaves the colour as it was.
void ParseFontColor(const tstring& value, COLORREF& color);

void LoadArea(CIni& ini, CLottoryArea& area, const tstring& section);

// What the layout keys hold of an area, to tell whether it changed.
struct AreaLayout
{
    Rect rect;
    COLORREF color = 0;
    int size = 0;
    QString faceName;

    static AreaLayout of(const CLottoryArea& area)
    {
        return AreaLayout{area.m_rect, area.m_fontColor, area.m_fontSize, area.m_fontName};
    }
    friend bool operator==(const AreaLayout& a, const AreaLayout& b)
    {
        return a.rect == b.rect && a.color == b.color && a.size == b.size && a.faceName == b.faceName;
    }
    friend bool operator!=(const AreaLayout& a, const AreaLayout& b) { return !(a == b); }
};

// The layout keys of one area (position, font size, face and colour; not
// the title) and its title, for changes that go into the file together.
void WriteAreaLayout(IniDocument& doc, int index, const CLottoryArea& area);
void WriteAreaTitle(IniDocument& doc, int index, const CLottoryArea& area);

// Replaces the eight areas by new ones loaded from the configuration file.
void CreateAreas(const EventFolder& folder, AreaSet& areas);
