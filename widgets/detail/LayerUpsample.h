#pragma once
// The layer shadow's bilinear upsampling of its blurred matte, one row of
// levels at a time, in 8.8 fixed point: the plain form, one division per
// pixel, and the fast form, which steps the same quotient along the row
// without dividing. Both give the same levels bit for bit (a test compares
// them).
//
// For row pixel i: u = max(0, ((x0 + i) x 256) / s) (the division
// truncating toward zero), column X = srcLeft + (u >> 8), fx = u & 255;
// top and bottom interpolate rows A and B between X and X + 1, the value
// interpolates them by fy, all taken to 8 bits; the level is
// (a1 x value) >> 8, or (a1 x (value + 1) x mask) >> 16 with a mask. Bytes
// past the matte's row (column below 0 or from width on), and rows that
// are null, read 0.

#include <algorithm>
#include <cstdint>

namespace effectdetail {

struct SUpsampleRow {
    const uint8_t* rowA = nullptr; // null: a row of zeros
    const uint8_t* rowB = nullptr;
    int64_t width = 0; // of the matte's rows
    int64_t srcLeft = 0;
    int64_t x0 = 0;
    int64_t step = 1; // s
    int32_t fy = 0;
    uint32_t a1 = 1;               // alpha + 1
    const uint8_t* mask = nullptr; // the row's mask bytes from pixel 0, or null
};

inline int32_t UpsampleValue(const SUpsampleRow& row, int64_t col, int32_t fx) {
    auto at = [&](const uint8_t* p, int64_t x) -> int32_t {
        return p && x >= 0 && x < row.width ? p[x] : 0;
    };
    const int32_t a = at(row.rowA, col);
    const int32_t b = at(row.rowA, col + 1);
    const int32_t c = at(row.rowB, col);
    const int32_t d = at(row.rowB, col + 1);
    const int32_t top = (a + (((b - a) * fx) >> 8)) & 255;
    const int32_t bottom = (c + (((d - c) * fx) >> 8)) & 255;
    return (top + (((bottom - top) * row.fy) >> 8)) & 255;
}

inline uint8_t UpsampleLevel(const SUpsampleRow& row, int64_t i, int32_t value) {
    return uint8_t(row.mask ? (row.a1 * uint32_t(value + 1) * row.mask[i]) >> 16
                            : (row.a1 * uint32_t(value)) >> 8);
}

// Levels of pixels first .. first + n - 1.
inline void UpsampleLevelsPlain(const SUpsampleRow& row, int64_t first, int32_t n,
                                uint8_t* levels) {
    for (int32_t k = 0; k < n; ++k) {
        const int64_t i = first + k;
        const int64_t u = std::max<int64_t>(0, ((row.x0 + i) * 256) / row.step);
        levels[k] =
            UpsampleLevel(row, i, UpsampleValue(row, row.srcLeft + (u >> 8), int32_t(u & 255)));
    }
}

inline void UpsampleLevelsFast(const SUpsampleRow& row, int64_t first, int32_t n, uint8_t* levels) {
    const int64_t s = row.step;
    int32_t k = 0;
    // Where (x0 + i) x 256 is not positive the quotient is 0.
    for (; k < n && row.x0 + first + k <= 0; ++k) {
        levels[k] = UpsampleLevel(row, first + k, UpsampleValue(row, row.srcLeft, 0));
    }
    if (k == n) {
        return;
    }
    const int64_t numerator = (row.x0 + first + k) * 256;
    int64_t u = numerator / s;
    int64_t rest = numerator % s;
    const int64_t wholeStep = 256 / s;
    const int64_t restStep = 256 % s;
    // With both rows there, columns inside the row need no further tests.
    const bool rowsThere = row.rowA && row.rowB;
    for (; k < n; ++k) {
        const int64_t col = row.srcLeft + (u >> 8);
        const int32_t fx = int32_t(u & 255);
        int32_t value;
        if (rowsThere && col >= 0 && col + 1 < row.width) {
            const int32_t a = row.rowA[col];
            const int32_t b = row.rowA[col + 1];
            const int32_t c = row.rowB[col];
            const int32_t d = row.rowB[col + 1];
            const int32_t top = (a + (((b - a) * fx) >> 8)) & 255;
            const int32_t bottom = (c + (((d - c) * fx) >> 8)) & 255;
            value = (top + (((bottom - top) * row.fy) >> 8)) & 255;
        } else {
            value = UpsampleValue(row, col, fx);
        }
        levels[k] = UpsampleLevel(row, first + k, value);
        u += wholeStep;
        rest += restStep;
        if (rest >= s) {
            ++u;
            rest -= s;
        }
    }
}

} // namespace effectdetail
