#pragma once

#include "areas/tstring.h"

#include <vector>

// How one list of names became another: how many names came and went,
// each name counted as often as it stands.
struct ListChange
{
    long long added = 0;
    long long removed = 0;

    static ListChange between(const std::vector<tstring>& before, const std::vector<tstring>& after);
};
