#include "areas/AwardPicArea.h"

void AwardPicArea::Draw(QPainter*) {}
