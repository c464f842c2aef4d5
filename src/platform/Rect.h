#pragma once

#include <QRect>
#include <algorithm>
#include <climits>
#include <cstdint>

// Coordinates come from hand-edited files; arithmetic on them saturates
// instead of overflowing.
constexpr int saturated(long long value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// A rectangle as the event files store it: right and bottom lie outside.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int width() const { return saturated(static_cast<long long>(right) - left); }
    constexpr int height() const { return saturated(static_cast<long long>(bottom) - top); }
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
        left = saturated(static_cast<long long>(left) + dx);
        right = saturated(static_cast<long long>(right) + dx);
        top = saturated(static_cast<long long>(top) + dy);
        bottom = saturated(static_cast<long long>(bottom) + dy);
    }

    // Qt's rectangles hold their size in an int too; far beyond any screen
    // the coordinates are held to a range Qt can still work with.
    static constexpr int QtLimit = 1 << 24;
    QRect toQRect() const
    {
        const auto held = [](int v) { return std::clamp(v, -QtLimit, QtLimit); };
        return QRect(QPoint(held(left), held(top)), QPoint(held(right) - 1, held(bottom) - 1));
    }
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
