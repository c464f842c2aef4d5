#pragma once

#include "app/AwardItem.h"

#include <vector>

class IniDocument;

// The prize rows of section "AwardInfo": "AwardItem<i>" =
// award name|0|winner count|prize name|picture path.
// "|" separates the fields, so inside a text it would lose the whole prize at
// the next load; the full-width bar keeps the prize and reads the same.
tstring PrizeFieldText(const tstring& text);

bool ParsePrizeRow(const tstring& value, AwardItem& item);
tstring FormatPrizeRow(const AwardItem& item);

// Appends the rows found under the indexes 0 .. number of keys - 1.
void LoadPrizeTable(std::vector<AwardItem>& awards);
// Replaces every row of the section with the table.
void WritePrizeTable(IniDocument& doc, const std::vector<AwardItem>& awards);
