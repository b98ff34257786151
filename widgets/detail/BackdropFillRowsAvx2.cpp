// The backdrop background's row loops on AVX2, eight pixels at a time: the
// SSE2 blend's steps (BackdropFillRowsSse2.cpp) on twice the lanes, and the
// angled gradient's table read eight at a time, its accumulator in 32-bit
// lanes wherever the row's values all fit them (the plain loop's 64-bit
// values otherwise). Compiled for AVX2 per function and run only where the
// processor has it.

#include "widgets/detail/BackdropFillRows.h"

#if defined(__SSE2__) && !defined(DAUBLIN_NO_SIMD)
#include <cstdint>
#include <limits>

#include "imaging/PackedLanes.h"
#include "widgets/detail/BackdropFill.h"

namespace backdropfill {
namespace {

using lanes::Load8;
using lanes::Store8;
using lanes::Times8;

DAUBLIN_AVX2_FN inline __m256i Halves8(__m256i v) {
    return _mm256_or_si256(v, _mm256_slli_epi32(v, 16));
}

DAUBLIN_AVX2_FN inline __m256i Gradient(__m256i d, __m256i g, __m256i opacity1, __m256i alphaOut) {
    const __m256i rbMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i a =
        _mm256_and_si256(_mm256_srli_epi32(Times8(_mm256_srli_epi32(g, 8), opacity1), 24), byte);
    const __m256i a2 = Halves8(a);
    const __m256i drb = _mm256_and_si256(d, rbMask);
    const __m256i diff = _mm256_add_epi32(_mm256_sub_epi32(_mm256_and_si256(g, rbMask), drb),
                                          _mm256_set1_epi32(0x00010001));
    const __m256i rb =
        _mm256_and_si256(_mm256_add_epi32(drb, _mm256_srli_epi32(Times8(diff, a2), 8)), rbMask);
    const __m256i dg = _mm256_and_si256(_mm256_srli_epi32(d, 8), byte);
    const __m256i gg = _mm256_and_si256(_mm256_srli_epi32(g, 8), byte);
    const __m256i step = _mm256_add_epi32(_mm256_sub_epi32(gg, dg), _mm256_set1_epi32(1));
    const __m256i green =
        _mm256_and_si256(_mm256_add_epi32(_mm256_slli_epi32(dg, 8), Times8(step, a2)),
                         _mm256_set1_epi32(0x0000FF00));
    const __m256i colour = _mm256_blendv_epi8(_mm256_or_si256(rb, green),
                                              _mm256_and_si256(g, _mm256_set1_epi32(0x00FFFFFF)),
                                              _mm256_cmpeq_epi32(a, byte));
    return _mm256_or_si256(colour, alphaOut);
}

DAUBLIN_AVX2_FN void Blend(uint32_t* px, const uint32_t* g, int32_t opacity, int32_t overImage,
                           int32_t n) {
    const uint32_t opacity1 = uint32_t(opacity) + 1u;
    int32_t i = 0;
    if (opacity1 < 0x10000u) {
        const __m256i o = Halves8(_mm256_set1_epi32(int32_t(opacity1)));
        const __m256i alphaMask = _mm256_set1_epi32(int32_t(0xFF000000u));
        for (; i + 8 <= n; i += 8) {
            const __m256i d = Load8(px + i);
            const __m256i alphaOut = overImage ? _mm256_and_si256(d, alphaMask) : alphaMask;
            Store8(px + i, Gradient(d, Load8(g + i), o, alphaOut));
        }
    }
    kRowsSse2.blend(px + i, g + i, opacity, overImage, n - i);
}

bool FitsLanes(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// The largest step (in 65536ths of an entry) at which eight pixels read
// from 1, 2, 3 or 4 blocks of eight neighbouring entries: their indices span
// at most ceil(7 * step / 65536) + 1 entries.
constexpr int64_t kBlockReach[4] = {65536, 65536 * 15 / 7, 65536 * 23 / 7, 65536 * 31 / 7};

// The indices of eight pixels: their accumulators' top halves, clamped to
// the table where the row reaches past it.
template <bool kClamp> DAUBLIN_AVX2_FN inline __m256i Indices(__m256i v) {
    const __m256i index = _mm256_srai_epi32(v, 16);
    if constexpr (kClamp) {
        return _mm256_min_epi32(_mm256_max_epi32(index, _mm256_setzero_si256()),
                                _mm256_set1_epi32(kLastIndex));
    }
    return index;
}

// Eight pixels at a time from kBlocks blocks of eight neighbouring entries,
// each spread by a permutation to the lanes whose entry it holds; the table
// has room for every block past any index. The lowest index is the first
// lane's going up, the last lane's going down.
template <int32_t kBlocks, bool kClamp>
DAUBLIN_AVX2_FN void Spread(uint32_t* out, const uint32_t* table, __m256i v, __m256i step,
                            int32_t whole, bool down) {
    for (int32_t i = 0; i < whole; i += 8) {
        const __m256i index = Indices<kClamp>(v);
        v = _mm256_add_epi32(v, step);
        const int32_t low = down ? _mm256_extract_epi32(index, 7) : _mm256_cvtsi256_si32(index);
        const __m256i offset = _mm256_sub_epi32(index, _mm256_set1_epi32(low));
        __m256i spread = _mm256_permutevar8x32_epi32(Load8(table + low), offset);
        if constexpr (kBlocks > 1) {
            const __m256i block = _mm256_srli_epi32(offset, 3);
            for (int32_t b = 1; b < kBlocks; ++b) {
                spread = _mm256_blendv_epi8(
                    spread, _mm256_permutevar8x32_epi32(Load8(table + low + 8 * b), offset),
                    _mm256_cmpeq_epi32(block, _mm256_set1_epi32(b)));
            }
        }
        Store8(out + i, spread);
    }
}

template <int32_t kBlocks>
DAUBLIN_AVX2_FN void Spread(uint32_t* out, const uint32_t* table, __m256i v, __m256i step,
                            int32_t whole, bool down, bool clamp) {
    if (clamp) {
        Spread<kBlocks, true>(out, table, v, step, whole, down);
    } else {
        Spread<kBlocks, false>(out, table, v, step, whole, down);
    }
}

// The gather form, for tables without room past their end and for steps
// too long for the blocks.
DAUBLIN_AVX2_FN void Gather(uint32_t* out, const uint32_t* table, int32_t entries, __m256i v,
                            __m256i step, int32_t whole, int32_t blocks, bool down) {
    const int* base = reinterpret_cast<const int*>(table);
    for (int32_t i = 0; i < whole; i += 8) {
        const __m256i index = Indices<true>(v);
        v = _mm256_add_epi32(v, step);
        const int32_t low = down ? _mm256_extract_epi32(index, 7) : _mm256_cvtsi256_si32(index);
        if (blocks > 0 && low + 8 * blocks <= entries) {
            const __m256i offset = _mm256_sub_epi32(index, _mm256_set1_epi32(low));
            const __m256i block = _mm256_srli_epi32(offset, 3);
            __m256i spread = _mm256_permutevar8x32_epi32(Load8(table + low), offset);
            for (int32_t b = 1; b < blocks; ++b) {
                spread = _mm256_blendv_epi8(
                    spread, _mm256_permutevar8x32_epi32(Load8(table + low + 8 * b), offset),
                    _mm256_cmpeq_epi32(block, _mm256_set1_epi32(b)));
            }
            Store8(out + i, spread);
        } else {
            Store8(out + i, _mm256_i32gather_epi32(base, index, 4));
        }
    }
}

DAUBLIN_AVX2_FN void Linear(uint32_t* out, const uint32_t* table, int32_t entries, int64_t acc,
                            int64_t dx, int32_t n) {
    const int32_t whole = n & ~7;
    // Every value the lanes hold lies between the first and the last one
    // read, and each step of eight fits a lane.
    const int64_t end = acc + int64_t(whole - 1) * dx;
    if (whole > 0 && dx > -(int64_t(1) << 27) && dx < (int64_t(1) << 27) && FitsLanes(acc) &&
        FitsLanes(end)) {
        const __m256i v =
            _mm256_add_epi32(_mm256_set1_epi32(int32_t(acc)),
                             _mm256_mullo_epi32(_mm256_set1_epi32(int32_t(dx)),
                                                _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
        const __m256i step = _mm256_set1_epi32(int32_t(dx * 8));
        const bool down = dx < 0;
        // Where the index moves by at most four a pixel, eight pixels span
        // at most 29 neighbouring entries: up to four blocks of eight.
        const int64_t reach = down ? -dx : dx;
        const int32_t blocks = reach <= kBlockReach[0]   ? 1
                               : reach <= kBlockReach[1] ? 2
                               : reach <= kBlockReach[2] ? 3
                               : reach <= kBlockReach[3] ? 4
                                                         : 0;
        // Clamping only where the row reaches past the table's ends.
        const bool clamp =
            acc < 0 || end < 0 || (acc >> 16) > kLastIndex || (end >> 16) > kLastIndex;
        if (blocks > 0 && entries >= kLastIndex + 1 + 8 * blocks) {
            switch (blocks) {
            case 1:
                Spread<1>(out, table, v, step, whole, down, clamp);
                break;
            case 2:
                Spread<2>(out, table, v, step, whole, down, clamp);
                break;
            case 3:
                Spread<3>(out, table, v, step, whole, down, clamp);
                break;
            default:
                Spread<4>(out, table, v, step, whole, down, clamp);
                break;
            }
        } else {
            Gather(out, table, entries, v, step, whole, blocks, down);
        }
    } else if (whole > 0) {
        kRowsPlain.linear(out, table, entries, acc, dx, whole);
    }
    kRowsPlain.linear(out + whole, table, entries, acc + int64_t(whole) * dx, dx, n - whole);
}

} // namespace

const SRows kRowsAvx2 = {Linear, Blend};

} // namespace backdropfill

#endif
