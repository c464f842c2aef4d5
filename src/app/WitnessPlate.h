#pragma once

#include "platform/Rect.h"

#include <QString>
#include <vector>

class QPainter;
class WitnessDesk;

// What the hall photographs of a witnessed draw, on a dark plate along the
// screen's bottom edge: the commitment while the names cycle, the digits as
// they are typed, and after the stop the secret beside the winners.
class WitnessPlate
{
public:
    // The plate's lines for the desk as it stands; none when nothing is committed.
    // `refusal`: a stop refused for too few digits is told here (no console is open).
    static std::vector<QString> lines(const WitnessDesk& desk, bool refusal);
    static void paint(QPainter& painter, const Rect& screen, const WitnessDesk& desk, bool refusal);
};
