#pragma once

#include <QString>

class DrawEngine;

// "恭喜!  " and every finished prize with its winners; the caption area's own
// text while no places have been given.
QString BuildCaptionText(const DrawEngine& engine, const QString& ownText);

// "总共 %d 个奖品, 已经抽取了 %d 名"
QString BuildCountLine(const DrawEngine& engine);
