#pragma once
// Integer rectangles (right and bottom edges exclusive) and their double-precision
// cousin used for resampling sources.
#include <algorithm>
#include <cstdint>

namespace Zant {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr Rect() = default;
    constexpr Rect(int theX, int theY, int theWidth, int theHeight)
        : x(theX), y(theY), width(theWidth), height(theHeight)
    {
    }

    // A zero-width or zero-height overlap keeps its position (touching rectangles give
    // an empty strip on the shared edge); a true miss gives all zeros.
    constexpr Rect Intersection(const Rect& other) const
    {
        // Edges in 64 bits: a huge rectangle used as "everything" must not overflow.
        const int64_t left = std::max(x, other.x);
        const int64_t top = std::max(y, other.y);
        const int64_t w = std::min(Right(), other.Right()) - left;
        const int64_t h = std::min(Bottom(), other.Bottom()) - top;
        if (w < 0 || h < 0)
            return Rect();
        return Rect(int(left), int(top), int(w), int(h));
    }

    // Rectangles that only touch along an edge do not overlap.
    constexpr bool Intersects(const Rect& other) const
    {
        return x < other.Right() && other.x < Right() && y < other.Bottom() && other.y < Bottom();
    }

    constexpr int64_t Right() const { return int64_t(x) + width; }
    constexpr int64_t Bottom() const { return int64_t(y) + height; }

    constexpr bool operator==(const Rect& other) const = default;
};

struct FRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    constexpr FRect() = default;
    constexpr FRect(double theX, double theY, double theWidth, double theHeight)
        : x(theX), y(theY), width(theWidth), height(theHeight)
    {
    }

    constexpr bool operator==(const FRect& other) const = default;
};

} // namespace Zant
