#pragma once

#include "support/TestFiles.h"

#include <QColor>
#include <initializer_list>

// A complete event folder made for a 1920 x 1080 screen, with pictures of
// one plain colour each so tests can tell what is drawn where.
namespace TestEvent {

const QColor Show(20, 40, 160);
const QColor Start(0, 200, 0);
const QColor Stop(200, 0, 0);
const QColor Prize(200, 0, 200);
const QColor Result(60, 60, 60);
const QColor Exit(0, 200, 200);
const QColor ScrollText(255, 255, 0);
const QColor CaptionText(255, 255, 255);

// Participants "p0" ... and one prize per winner count ("Prize0" ...).
void make(TestFolder& folder, int participants, std::initializer_list<int> winnerCounts);

} // namespace TestEvent
