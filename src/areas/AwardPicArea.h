#pragma once

#include "areas/CLottoryArea.h"

// The current prize's picture; the draw screen paints it.
class AwardPicArea : public CLottoryArea
{
public:
    void Draw(QPainter* painter) override;
};
