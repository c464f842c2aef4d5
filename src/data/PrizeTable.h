#pragma once

#include "app/AwardItem.h"

#include <vector>

class EventFolder;
class IniDocument;

// The prize rows of section "AwardInfo": "AwardItem<i>" =
// award name|0|winner count|prize name|picture path; a "|" inside a text is
// written as the full-width bar.

bool ParsePrizeRow(const tstring& value, AwardItem& item);
tstring FormatPrizeRow(const AwardItem& item);

// Appends the rows found under the indexes 0 .. number of keys - 1.
void LoadPrizeTable(const EventFolder& folder, std::vector<AwardItem>& awards);
// Replaces every row of the section with the table.
void WritePrizeTable(IniDocument& doc, const std::vector<AwardItem>& awards);
