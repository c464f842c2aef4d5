#pragma once

#include "platform/Rect.h"

#include <QString>
#include <array>

// The sixteen colours the font dialog offers, with their Chinese names.
struct ColorEntry
{
    COLORREF color;
    const char* name;
};

namespace ColorTable {

constexpr int Count = 16;
extern const std::array<ColorEntry, Count> Entries;

// The order a Simplified Chinese system sorts these names in: by the pinyin
// of each character, then by the character itself.
bool sortsBefore(const QString& a, const QString& b);

} // namespace ColorTable
