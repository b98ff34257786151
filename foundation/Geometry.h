#pragma once
// The toolkit's plain geometric value types.

#include <algorithm>
#include <cstdint>

struct gCPoint {
    int32_t x = 0;
    int32_t y = 0;

    gCPoint() = default;
    gCPoint(int32_t px, int32_t py) : x(px), y(py) {}
    bool operator==(const gCPoint&) const = default;
    gCPoint operator+(const gCPoint& o) const { return {x + o.x, y + o.y}; }
    gCPoint operator-(const gCPoint& o) const { return {x - o.x, y - o.y}; }
};

struct gCRPoint {
    float x = 0.0f;
    float y = 0.0f;

    gCRPoint() = default;
    gCRPoint(float px, float py) : x(px), y(py) {}
    bool operator==(const gCRPoint&) const = default;
};

// Right and bottom are exclusive: a rectangle with left == right or
// top == bottom is empty.
struct gCRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    gCRect() = default;
    gCRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    bool operator==(const gCRect&) const = default;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(const gCPoint& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    void Offset(int32_t dx, int32_t dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }

    // The overlap with o: the larger left and top, the smaller right and
    // bottom (empty when the two do not overlap).
    gCRect Intersected(const gCRect& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
    }
    // The smallest rectangle holding both: the smaller left and top, the
    // larger right and bottom, whatever either holds.
    gCRect United(const gCRect& o) const {
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }

    // Writes the parts of a outside b into out (room for 4) and returns how
    // many: 1 (a itself) when they do not overlap, 0 when b covers a.
    static int32_t Difference(const gCRect& a, const gCRect& b, gCRect* out);

    // The distance from p to this rectangle's border.
    float DistanceToPoint(const gCPoint& p) const;
};

// The circle through three points; collinear points give radius 0 and leave
// the centre unchanged. Always returns 0.
int32_t CircleFromThreePoints(const gCRPoint& p1, const gCRPoint& p2, const gCRPoint& p3,
                              gCRPoint& centre, float& radius);
