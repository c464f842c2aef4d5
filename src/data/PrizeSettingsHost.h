#pragma once

#include "app/AwardItem.h"
#include "platform/EventFolder.h"

#include <vector>

class CLottoryArea;

// What the title and prize dialogs reach of the draw screen: the event
// folder, its prize table, whose every change is saved at once, and the areas
// of the texts.
class PrizeSettingsHost
{
public:
    virtual ~PrizeSettingsHost() = default;

    virtual const EventFolder& folder() const = 0;
    virtual const std::vector<AwardItem>& awards() const = 0;
    virtual void appendPrize(const AwardItem& item) = 0;
    virtual void removePrize(int index) = 0;
    virtual bool canMovePrize(int from, int to) const = 0;
    virtual void movePrize(int from, int to) = 0;
    // The four texts of the row as the operator edited them.
    virtual void changePrize(int index, const AwardItem& item) = 0;
    virtual CLottoryArea& textArea(int index) = 0;
    // The three texts were set on their areas; they are saved together.
    virtual void titlesChanged() = 0;
};
