#pragma once

#include "app/AwardItem.h"
#include "app/DrawScope.h"
#include "platform/EventFolder.h"

#include <QString>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class DrawEngine;

// The prizes' ranges as the show applies them: one made ready to draw from
// its text and the lists it excludes, or what is wrong with it as the
// operator is told; every range still to be drawn checked at once; and what
// a prize's excluded lists do to the pool, for the console.
class PrizeRanges
{
public:
    static constexpr const wchar_t* ExclusionUnreadable = L"无法读取排除名单: ";
    // After the prize and the range.
    static constexpr const wchar_t* NobodyInRange = L" 内没有可抽的人";
    static constexpr qint64 MaxExclusionBytes = qint64(1) << 30;

    // Keeps an excluded list beside the journal and gives its digest.
    using KeepList = std::function<QString(const std::vector<tstring>&)>;

    // The ranges of that event folder, whose files they name.
    explicit PrizeRanges(EventFolder folder) : m_folder(std::move(folder)) {}

    // Parses the range, reads its lists (handing them to `keep` when given)
    // and sees that it admits someone left in the pool; what is wrong, or nothing.
    std::optional<std::wstring> prepare(const AwardItem& award, const NamePool& pool, DrawScope& scope,
                                        const KeepList& keep = {}) const;
    // The problems of the prizes still to be drawn that the last check did
    // not find, one a line; empty when there are none.
    std::wstring check(const DrawEngine& engine);
    // "幸运奖: vip.txt 去掉 4 人, "张伟" 对应 4 人" for the prize running, or
    // else the next; empty when it excludes no list or its range is wrong.
    QString exclusionReport(const DrawEngine& engine) const;
    // The same for a range made ready.
    static QString exclusionReport(const AwardItem& award, const DrawScope& scope, const NamePool& pool);

private:
    EventFolder m_folder;
    std::set<std::wstring> m_found;
};
