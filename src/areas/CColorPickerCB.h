#pragma once

#include "platform/Rect.h"

#include <QComboBox>

// A drop-down list of the sixteen named colours, each drawn as a swatch
// followed by its name, in the order a Chinese system sorts the names.
class CColorPickerCB : public QComboBox
{
    Q_OBJECT
public:
    enum ItemState : unsigned
    {
        ItemSelected = 0x1,
        ItemFocus = 0x2,
        ItemDisabled = 0x4
    };

    explicit CColorPickerCB(QWidget* parent = nullptr);

    // Adds the colours once per control.
    void FillColors();
    // Selects the entry of that colour; the last match wins, no match keeps the selection.
    void SelectColor(COLORREF color);
    COLORREF colorAt(int index) const;

    // One entry (or none, for -1) in the rectangle, whose right and bottom lie outside.
    void DrawItem(QPainter& painter, const Rect& rect, int index, unsigned state) const;

    bool m_filled = false;

protected:
    void paintEvent(QPaintEvent* event) override;
};
