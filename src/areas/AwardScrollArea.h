#pragma once

#include "areas/CLottoryArea.h"

// The cycling names and the winners; the draw screen paints them.
class AwardScrollArea : public CLottoryArea
{
public:
    void Draw(QPainter* painter) override;
};
