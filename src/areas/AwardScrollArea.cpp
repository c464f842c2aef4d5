#include "areas/AwardScrollArea.h"

void AwardScrollArea::Draw(QPainter*) {}
