#pragma once
// Reading a run-length coder (CRLE or CRLE8) in tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <type_traits>
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
    // Reading pieces of random lengths at once gives what one unit at a
    // time gives, through the end of the image and past it.
    for (int i = 0; i < 40; ++i) {
        const int32_t x = xs(rng), y = ys(rng);
        const size_t count = decoded.size() - (size_t(y) * s.width + x) + rng() % 7;
        const std::vector<uint32_t> expected = ReadAll(rle, x, y, count);
        using Unit = std::remove_reference_t<decltype(*rle.GetData())>;
        std::vector<Unit> got(count);
        rle.StartRLE(x, y);
        for (size_t done = 0; done < count;) {
            const size_t n = std::min<size_t>(count - done, 1 + rng() % 37);
            rle.ReadRLE(got.data() + done, int32_t(n));
            done += n;
        }
        ASSERT_EQ(std::vector<uint32_t>(got.begin(), got.end()), expected)
            << "pieces from " << x << "," << y;
        ASSERT_EQ(uint32_t(rle.NextRLE()), 0u) << "the reader stays past the end";
    }
}

} // namespace rletest
