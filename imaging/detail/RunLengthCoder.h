#pragma once
// The run splitting, size estimate and encoder shared by CRLE and CRLE8.
// Included only by their sources.
//
// A policy says what a source pixel is, which unit it stores and when two
// pixels form a repeat pair:
//   using Src, Unit;
//   static constexpr int32_t kMaxRun;        longest run of either kind
//   static constexpr int32_t kTableUnits;    row-table units per row
//   static constexpr uint32_t kLiteralBit;
//   static Unit Get(Src);
//   static bool Pair(Src, Src);

#include <cstdint>
#include <cstring>

#include "foundation/Rounding.h"
#include "imaging/Pixel.h"
#include "imaging/RunLengthBlock.h"

namespace runlength {

// Four fifths of the raw pixel count, in single precision, rounded with
// halves away from zero: an encoding must come below it to be kept. Four
// fifths of any int64_t count is an int64_t again, so the product needs no
// clamping.
inline int64_t Threshold(int64_t pixels) {
    return int64_t(RoundHalfAway(0.8f * float(pixels)));
}

// 32-bit pixels: two pixels pair when both are fully transparent, whatever
// their colour bits, or when they are the same word.
struct PixelPolicy {
    using Src = CPixel;
    using Unit = CPixel;
    static constexpr int32_t kMaxRun = 0x7FFFFFFF;
    static constexpr int32_t kTableUnits = 1;
    static constexpr uint32_t kLiteralBit = 0x80000000u;
    static Unit Get(Src p) { return p; }
    static bool Pair(Src a, Src b) {
        return uint32_t(a) == uint32_t(b) || (uint32_t(a) | uint32_t(b)) <= 0x00FFFFFFu;
    }
};

// 8-bit images: equal bytes pair.
struct BytePolicy {
    using Src = uint8_t;
    using Unit = uint8_t;
    static constexpr int32_t kMaxRun = 126;
    static constexpr int32_t kTableUnits = 4;
    static constexpr uint32_t kLiteralBit = 0x80u;
    static Unit Get(Src p) { return p; }
    static bool Pair(Src a, Src b) { return a == b; }
};

// One byte of each 32-bit word: the upper byte of the high 16-bit channel
// (shift 24) or of the low one (shift 8).
template <int Shift> struct ChannelPolicy {
    using Src = CPixel;
    using Unit = uint8_t;
    static constexpr int32_t kMaxRun = 126;
    static constexpr int32_t kTableUnits = 4;
    static constexpr uint32_t kLiteralBit = 0x80u;
    static Unit Get(Src p) { return Unit(uint32_t(p) >> Shift); }
    static bool Pair(Src a, Src b) { return Get(a) == Get(b); }
};

// The length of the repeat run starting at x: the pixels from x that pair
// with pixel x, at least 1 and at most kMaxRun.
template <class P> int32_t CountDuplicates(const typename P::Src* row, int32_t x, int32_t width) {
    if (x >= width - 1) {
        return 1;
    }
    const typename P::Src first = row[x];
    int32_t end = x + 1;
    const int32_t limit = width - x > P::kMaxRun ? x + P::kMaxRun : width;
    while (end < limit && P::Pair(first, row[end])) {
        ++end;
    }
    return end - x;
}

// The length of the literal run starting at x (whose next pixel does not
// pair with it): up to and including the first pixel j > x that pairs with
// pixel j + 1, else to the row's end; at most kMaxRun.
template <class P> int32_t CountUniques(const typename P::Src* row, int32_t x, int32_t width) {
    if (x >= width - 1) {
        return 1;
    }
    int32_t j = x + 1;
    const int32_t last = width - x > P::kMaxRun ? x + P::kMaxRun - 1 : width - 1;
    while (j < last && !P::Pair(row[j], row[j + 1])) {
        ++j;
    }
    return j - x + 1;
}

// The size of the run-length form of a width x height area in units, row
// table and spare unit included, or width * height when it would not come
// clearly below that (too small, or the running count comes within the
// margins of the raw size).
template <class P>
int64_t Estimate(const typename P::Src* data, int32_t stride, int32_t width, int32_t height) {
    const int64_t total = int64_t(width) * height;
    if (width <= 8 || height <= 8) {
        return total;
    }
    int64_t estimate = int64_t(height) * P::kTableUnits;
    for (int32_t y = 0; y < height; ++y) {
        if (estimate >= total - 4) {
            return total;
        }
        const typename P::Src* row = data + ptrdiff_t(y) * stride;
        int32_t x = 0;
        while (x < width) {
            int32_t n = CountDuplicates<P>(row, x, width);
            if (n > 1) {
                if (estimate >= total - 2) {
                    return total;
                }
                estimate += 2;
            } else {
                n = CountUniques<P>(row, x, width);
                if (estimate >= total - n - 2) {
                    return total;
                }
                estimate += n + 1;
            }
            x += n;
        }
    }
    if (estimate >= total - 10) {
        return total;
    }
    return estimate + 1;
}

// Writes the run-length form of the area into a zeroed block of capacity
// units. False when it does not fit (the block is then partly written).
template <class P>
bool Encode(typename P::Unit* block, int64_t capacity, const typename P::Src* data, int32_t stride,
            int32_t width, int32_t height) {
    using Unit = typename P::Unit;
    int64_t position = int64_t(height) * P::kTableUnits;
    if (position > capacity) {
        return false;
    }
    for (int32_t y = 0; y < height; ++y) {
        if constexpr (P::kTableUnits == 1) {
            block[y] = Unit(uint32_t(position));
        } else {
            const uint32_t offset = uint32_t(position);
            std::memcpy(block + size_t(y) * 4, &offset, 4);
        }
        const typename P::Src* row = data + ptrdiff_t(y) * stride;
        int32_t x = 0;
        while (x < width) {
            int32_t n = CountDuplicates<P>(row, x, width);
            if (n > 1) {
                if (position > capacity - 2) {
                    return false;
                }
                block[position] = Unit(uint32_t(n));
                block[position + 1] = P::Get(row[x]);
                position += 2;
            } else {
                n = CountUniques<P>(row, x, width);
                if (position > capacity - n - 1) {
                    return false;
                }
                Unit* out = block + position;
                *out++ = Unit(uint32_t(n) | P::kLiteralBit);
                for (int32_t i = 0; i < n; ++i) {
                    out[i] = P::Get(row[x + i]);
                }
                position += n + 1;
            }
            x += n;
        }
    }
    // The spare unit after the last run.
    if (position >= capacity) {
        return false;
    }
    block[position] = Unit(0);
    return true;
}

// Copies the area's units row after row into the block.
template <class P>
void CopyRaw(typename P::Unit* block, const typename P::Src* data, int32_t stride, int32_t width,
             int32_t height) {
    for (int32_t y = 0; y < height; ++y) {
        const typename P::Src* row = data + ptrdiff_t(y) * stride;
        typename P::Unit* out = block + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; ++x) {
            out[x] = P::Get(row[x]);
        }
    }
}

// The estimate for a view; one that did not lock answers its (empty) size.
template <class P, class View> int32_t EstimateView(View& view) {
    if (!view.IsLocked()) {
        return view.GetWidth() * view.GetHeight();
    }
    return int32_t(
        Estimate<P>(view.GetData(), view.GetStride(), view.GetWidth(), view.GetHeight()));
}

// The estimate for a whole image through a view of it: width * height when
// the image cannot be viewed, 0 without an image.
template <class View, class Image, class EstimateFn>
int32_t EstimateImage(Image* image, EstimateFn estimate) {
    if (!image) {
        return 0;
    }
    View view(image);
    if (!view.IsLocked()) {
        return image->GetWidth() * image->GetHeight();
    }
    return estimate(view);
}

} // namespace runlength

template <typename Unit>
template <class P>
error CRunLengthBlock<Unit>::CreateFrom(const typename P::Src* data, int32_t stride, int32_t width,
                                        int32_t height) {
    const int64_t total = int64_t(width) * height;
    const int64_t estimate = runlength::Estimate<P>(data, stride, width, height);
    if (estimate < runlength::Threshold(total)) {
        if (!this->Resize(uint32_t(estimate), 1)) {
            return eOutOfMemory;
        }
        return CompressFrom<P>(data, stride, width, height);
    }
    if (!this->Resize(uint32_t(total), 1)) {
        return eOutOfMemory;
    }
    if (total) {
        runlength::CopyRaw<P>(this->m_pData, data, stride, width, height);
    }
    SetContents(width, height, 0);
    return eNoError;
}

template <typename Unit>
template <class P>
error CRunLengthBlock<Unit>::CompressFrom(const typename P::Src* data, int32_t stride,
                                          int32_t width, int32_t height) {
    if (!this->m_pData ||
        !runlength::Encode<P>(this->m_pData, this->m_nCount, data, stride, width, height)) {
        Clear();
        return eBadParameter;
    }
    SetContents(width, height, 1);
    return eNoError;
}

template <typename Unit>
template <class P, class View>
error CRunLengthBlock<Unit>::CreateFromView(View& view) {
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    return CreateFrom<P>(view.GetData(), view.GetStride(), view.GetWidth(), view.GetHeight());
}

template <typename Unit>
template <class P, class View>
error CRunLengthBlock<Unit>::CompressView(View& view) {
    if (!view.IsLocked()) {
        Clear();
        return eBadParameter;
    }
    return CompressFrom<P>(view.GetData(), view.GetStride(), view.GetWidth(), view.GetHeight());
}
