#pragma once

#include <QString>

class DrawEngine;
struct AwardItem;

// "恭喜!  " and every finished prize with its winners; the caption area's own
// text while no places have been given.
// `lastPart` gets where the last finished prize's part begins.
QString BuildCaptionText(const DrawEngine& engine, const QString& ownText, qsizetype* lastPart = nullptr);

// What the caption says before the prizes.
QString CaptionGreeting();
// One prize's part of the caption: "三等奖: 甲 乙     ".
QString BuildCaptionPart(const AwardItem& award);

// "总共 %d 个奖品, 已经抽取了 %d 名"
QString BuildCountLine(const DrawEngine& engine);
