#pragma once
// The blur's work on lines: the radius rule, the channel a kernel reads and
// writes, and the passes over one line or a strip of columns.
//
// A line of length L is blurred by a first pass at distance d with the
// weights k, 1 - 2k, k (k = f / 4), then by 1/4, 1/2, 1/4 passes at d/2,
// d/4, ..., 1, each computed from the values before the pass. The values of
// the first and last pixel on entry stand in for every neighbour outside
// the line, in every pass. Horizontal passes round (+2 before the shift),
// vertical ones truncate.

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "foundation/Rounding.h"

namespace blurline {

// The first pass's distance and fraction, from the radius.
struct Params {
    uint32_t d = 1;
    uint32_t f16 = 0; // 0..65536
    float f = 0.0f;   // 0..1, for the 24-bit kernels
};

// False when the radius is too small to blur.
bool FromRadius(float radius, Params& params);

// A distance longer than the line is halved until it fits, and the first
// pass then takes the full 1/4, 1/2, 1/4 weights.
inline void FitToLength(Params& p, uint32_t length) {
    if (p.d > length) {
        p.f16 = 65536;
        p.f = 1.0f;
        while (p.d > length) {
            p.d >>= 1;
        }
    }
}

// Which part of each pixel word a kernel blurs.
struct LowChannel {
    static constexpr bool kFloat = false;
    static uint32_t Get(uint32_t w) { return w & 0xFFFFu; }
    static uint32_t Put(uint32_t w, uint32_t v) { return (w & 0xFFFF0000u) | v; }
};
struct HighChannel {
    static constexpr bool kFloat = false;
    static uint32_t Get(uint32_t w) { return w >> 16; }
    static uint32_t Put(uint32_t w, uint32_t v) { return (w & 0xFFFFu) | (v << 16); }
};
struct WholeWord {
    static constexpr bool kFloat = true;
    static uint32_t Get(uint32_t w) { return w; }
    static uint32_t Put(uint32_t, uint32_t v) { return v; }
};

// The first pass on one value: 16.16 weights that add up to exactly 65536,
// or float weights rounded to the nearest integer, halves away from zero.
struct FirstFixed {
    uint32_t k; // the centre weight is 65536 - 2k
    explicit FirstFixed(const Params& p) : k(p.f16 >> 2) {}
    // (k * (a + c) + w * b) >> 16, as b plus the floored step toward the
    // neighbours: one product, which for 16-bit values stays within 31 bits.
    uint32_t operator()(uint32_t a, uint32_t b, uint32_t c) const {
        const int32_t step = int32_t(k) * (int32_t(a + c) - 2 * int32_t(b));
        return uint32_t(int32_t(b) + (step >> 16));
    }
    // k = 0 leaves every 16-bit value as it is.
    bool IsIdentity() const { return k == 0; }
};
struct FirstFloat {
    // The largest float a word can hold.
    static constexpr float kWordTop = 4294967040.0f;
    float k, w;
    explicit FirstFloat(const Params& p) : k(p.f / 4.0f), w(1.0f - 2.0f * (p.f / 4.0f)) {}
    // Values below 2^24 and a fraction in 0..1 keep the sum within 0..2^24.
    // Anything else (a kernel handed a fraction out of range, or words with
    // bits above the 24) is held to what a word can take, NaN as 0.
    uint32_t operator()(uint32_t a, uint32_t b, uint32_t c) const {
        const float v = k * float(a + c) + w * float(b);
        return uint32_t(RoundHalfAway(v >= 0.0f ? (v < kWordTop ? v : kWordTop) : 0.0f));
    }
    bool IsIdentity() const { return false; }
};

// The 1/4, 1/2, 1/4 passes: kRound is 2 across rows, 0 down columns.
template <uint32_t kRound> struct Smooth {
    uint32_t operator()(uint32_t a, uint32_t b, uint32_t c) const {
        return (a + 2 * b + c + kRound) >> 2;
    }
};

template <class Ch> using First = std::conditional_t<Ch::kFloat, FirstFloat, FirstFixed>;

// One line in place, with no memory of its own: each residue class
// p = j (mod distance) is walked upward keeping the previous and current
// values from before the pass. along is the distance between the line's
// pixels.
template <class Ch, uint32_t kRound>
void BlurInPlace(uint32_t* first, ptrdiff_t along, uint32_t length, Params p) {
    if (length == 0) {
        return;
    }
    FitToLength(p, length);
    const uint32_t e0 = Ch::Get(first[0]);
    const uint32_t e1 = Ch::Get(first[ptrdiff_t(length - 1) * along]);
    auto walk = [&](uint32_t dist, auto op) {
        for (uint32_t j = 0; j < dist && j < length; ++j) {
            uint32_t prev = e0;
            uint32_t cur = Ch::Get(first[ptrdiff_t(j) * along]);
            for (uint32_t i = j; i < length; i += dist) {
                const uint32_t next =
                    length - i > dist ? Ch::Get(first[ptrdiff_t(i + dist) * along]) : e1;
                uint32_t& word = first[ptrdiff_t(i) * along];
                word = Ch::Put(word, op(prev, cur, next));
                prev = cur;
                cur = next;
            }
        }
    };
    const First<Ch> first1(p);
    if (!first1.IsIdentity()) {
        walk(p.d, first1);
    }
    for (uint32_t s = p.d >> 1; s >= 1; s >>= 1) {
        walk(s, Smooth<kRound>());
    }
}

// out[i] = op(in[i - off], in[i], in[i + off]) for i in 0..n - 1.
template <class Op>
void Pass(uint32_t* __restrict out, const uint32_t* __restrict in, ptrdiff_t n, ptrdiff_t off,
          Op op) {
    for (ptrdiff_t i = 0; i < n; ++i) {
        out[i] = op(in[i - off], in[i], in[i + off]);
    }
}

// Words a strip needs for BlurStrip: two buffers of the line plus a margin
// of the distance on either side, for every lane.
inline size_t StripWords(uint32_t length, uint32_t lanes, Params p) {
    FitToLength(p, length);
    return 2 * (size_t(length) + 2 * size_t(p.d)) * lanes;
}

// Several parallel lines at once (a row: one lane; a strip of columns: one
// lane per column), copied into a scratch buffer with margins that hold
// the end values, so that every pass is one plain loop over the buffer.
// along is the distance between a line's pixels, across between lanes.
template <class Ch, uint32_t kRound>
void BlurStrip(uint32_t* first, ptrdiff_t along, ptrdiff_t across, uint32_t lanes, uint32_t length,
               Params p, uint32_t* scratch) {
    if (length == 0 || lanes == 0) {
        return;
    }
    FitToLength(p, length);
    const ptrdiff_t nl = lanes;
    const ptrdiff_t margin = ptrdiff_t(p.d) * nl;
    const ptrdiff_t n = ptrdiff_t(length) * nl;
    uint32_t* a = scratch + margin;
    uint32_t* b = scratch + (n + 2 * margin) + margin;
    if (nl == 1 && along == 1) {
        for (ptrdiff_t i = 0; i < n; ++i) {
            a[i] = Ch::Get(first[i]);
        }
    } else {
        for (ptrdiff_t i = 0; i < ptrdiff_t(length); ++i) {
            const uint32_t* src = first + i * along;
            for (ptrdiff_t l = 0; l < nl; ++l) {
                a[i * nl + l] = Ch::Get(src[l * across]);
            }
        }
    }
    for (ptrdiff_t m = -margin; m < 0; m += nl) {
        for (ptrdiff_t l = 0; l < nl; ++l) {
            a[m + l] = b[m + l] = a[l];
            a[n - m - nl + l] = b[n - m - nl + l] = a[n - nl + l];
        }
    }
    const First<Ch> first1(p);
    if (!first1.IsIdentity()) {
        Pass(b, a, n, ptrdiff_t(p.d) * nl, first1);
        std::swap(a, b);
    }
    for (uint32_t s = p.d >> 1; s >= 1; s >>= 1) {
        Pass(b, a, n, ptrdiff_t(s) * nl, Smooth<kRound>());
        std::swap(a, b);
    }
    if (nl == 1 && along == 1) {
        for (ptrdiff_t i = 0; i < n; ++i) {
            first[i] = Ch::Put(first[i], a[i]);
        }
        return;
    }
    for (ptrdiff_t i = 0; i < ptrdiff_t(length); ++i) {
        uint32_t* dst = first + i * along;
        for (ptrdiff_t l = 0; l < nl; ++l) {
            dst[l * across] = Ch::Put(dst[l * across], a[i * nl + l]);
        }
    }
}

// Words the row sweep needs: a ring of d rows plus the two end rows.
inline size_t SweepWords(uint32_t width, uint32_t height, Params p) {
    FitToLength(p, height);
    return (size_t(p.d) + 2) * width;
}

// Columns blurred by sweeping down the rows, each pass once over the whole
// area: row i takes its new values from the rows i - s (kept, as they were
// before the pass, in a ring of s rows), i and i + s. Reads and writes the
// picture row by row, which suits a short distance (few passes) on a tall
// picture better than strips of columns.
//
// prepare(y) is called once for every row, just before the sweep first
// reads it (the last row first of all), so that the rows' own blur can run
// in the same sweep.
template <class Ch, class Prepare>
void BlurColumnsBySweep(uint32_t* first, ptrdiff_t stride, uint32_t width, uint32_t height,
                        Params p, uint32_t* scratch, Prepare prepare) {
    if (width == 0 || height == 0) {
        return;
    }
    FitToLength(p, height);
    const uint32_t last = height - 1;
    prepare(0);
    if (last > 0) {
        prepare(last);
    }
    uint32_t ready = 1; // rows below this one, and the last, are prepared
    auto prepareTo = [&](uint32_t y) {
        for (; ready <= y && ready < last; ++ready) {
            prepare(ready);
        }
    };

    const ptrdiff_t w = width;
    uint32_t* e0 = scratch;
    uint32_t* e1 = scratch + w;
    uint32_t* ring = scratch + 2 * w;
    const uint32_t* top = first;
    const uint32_t* bottom = first + ptrdiff_t(last) * stride;
    for (ptrdiff_t x = 0; x < w; ++x) {
        e0[x] = Ch::Get(top[x]);
        e1[x] = Ch::Get(bottom[x]);
    }
    auto pass = [&](uint32_t dist, auto op) {
        for (uint32_t i = 0; i < height; ++i) {
            prepareTo(i + dist);
            uint32_t* row = first + ptrdiff_t(i) * stride;
            uint32_t* slot = ring + ptrdiff_t(i % dist) * w;
            const uint32_t* above = i >= dist ? slot : e0;
            if (height - i > dist) {
                const uint32_t* below = row + ptrdiff_t(dist) * stride;
                for (ptrdiff_t x = 0; x < w; ++x) {
                    const uint32_t cur = Ch::Get(row[x]);
                    const uint32_t v = op(above[x], cur, Ch::Get(below[x]));
                    slot[x] = cur;
                    row[x] = Ch::Put(row[x], v);
                }
            } else {
                for (ptrdiff_t x = 0; x < w; ++x) {
                    const uint32_t cur = Ch::Get(row[x]);
                    const uint32_t v = op(above[x], cur, e1[x]);
                    slot[x] = cur;
                    row[x] = Ch::Put(row[x], v);
                }
            }
        }
    };
    const First<Ch> first1(p);
    if (!first1.IsIdentity()) {
        pass(p.d, first1);
    }
    for (uint32_t s = p.d >> 1; s >= 1; s >>= 1) {
        pass(s, Smooth<0>());
    }
    prepareTo(last); // when no pass ran
}

} // namespace blurline
