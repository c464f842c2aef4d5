#pragma once

#include "areas/CLottoryArea.h"

// The moving line of winners; the draw screen and the result screen paint it.
class AwardResult : public CLottoryArea
{
public:
    void Draw(QPainter* painter) override;
};
