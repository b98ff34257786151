#pragma once
// Reading a run-length coder (CRLE or CRLE8) in tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/tests/TestImages.h"

namespace rletest {

// The block's units as words.
template <class Coder> std::vector<uint32_t> Block(const Coder& rle) {
    return std::vector<uint32_t>(rle.GetData(), rle.GetData() + rle.GetCount());
}

// count units read from (x, y) onward.
template <class Coder>
std::vector<uint32_t> ReadAll(Coder& rle, int32_t x, int32_t y, size_t count) {
    rle.StartRLE(x, y);
    std::vector<uint32_t> out;
    for (size_t i = 0; i < count; ++i) {
        out.push_back(rle.NextRLE());
    }
    return out;
}

// Reading from random positions to the end gives the tail of decoded.
template <class Coder>
void ExpectReadsFromRandomStarts(Coder& rle, const std::vector<uint32_t>& decoded, testimg::Size s,
                                 std::mt19937& rng) {
    std::uniform_int_distribution<int32_t> xs(0, s.width - 1), ys(0, s.height - 1);
    for (int i = 0; i < 40; ++i) {
        const int32_t x = xs(rng), y = ys(rng);
        const size_t from = size_t(y) * s.width + x;
        ASSERT_EQ(ReadAll(rle, x, y, decoded.size() - from),
                  std::vector<uint32_t>(decoded.begin() + ptrdiff_t(from), decoded.end()))
            << "from " << x << "," << y;
    }
}

} // namespace rletest
