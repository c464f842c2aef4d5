#pragma once

#include <QRect>
#include <algorithm>
#include <cstdint>

// A rectangle as the event files store it: right and bottom lie outside.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

    // Hand-edited corners may come in any order.
    constexpr Rect normalized() const
    {
        return Rect(std::min(left, right), std::min(top, bottom), std::max(left, right),
                    std::max(top, bottom));
    }

    constexpr void offset(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }

    QRect toQRect() const { return QRect(left, top, width(), height()); }
    static Rect fromQRect(const QRect& r)
    {
        return Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    }

    friend constexpr bool operator==(const Rect& a, const Rect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend constexpr bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
};

// Colours as the event files store them: red in the low byte.
using COLORREF = std::uint32_t;

constexpr COLORREF rgbColor(int red, int green, int blue)
{
    return static_cast<COLORREF>(red & 0xFF) | (static_cast<COLORREF>(green & 0xFF) << 8) |
           (static_cast<COLORREF>(blue & 0xFF) << 16);
}
constexpr int redOf(COLORREF c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blueOf(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
