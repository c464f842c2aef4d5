#include "areas/AwardResult.h"

void AwardResult::Draw(QPainter*) {}
