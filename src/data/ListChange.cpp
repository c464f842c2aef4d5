#include "data/ListChange.h"

#include <string>
#include <unordered_map>

ListChange ListChange::between(const std::vector<tstring>& before, const std::vector<tstring>& after)
{
    std::unordered_map<std::wstring, long long> count;
    for (const tstring& name : before)
        ++count[name];
    ListChange change;
    for (const tstring& name : after) {
        const auto found = count.find(name);
        if (found != count.end() && found->second > 0)
            --found->second;
        else
            ++change.added;
    }
    for (const auto& [name, left] : count)
        change.removed += left;
    return change;
}
