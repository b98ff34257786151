#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <sstream>
#include <string>
#include <type_traits>

#include "foundation/Rounding.h"

namespace {

static_assert(std::is_same_v<decltype(RoundHalfAway(1.0f)), float>);
static_assert(std::is_same_v<decltype(RoundHalfAway(1.0)), double>);

template <class T> struct Layout;
template <> struct Layout<float> {
    using Bits = uint32_t;
    static constexpr int kFraction = 23, kExponent = 8, kBias = 127;
};
template <> struct Layout<double> {
    using Bits = uint64_t;
    static constexpr int kFraction = 52, kExponent = 11, kBias = 1023;
};

template <class T> typename Layout<T>::Bits BitsOf(T v) {
    typename Layout<T>::Bits bits;
    std::memcpy(&bits, &v, sizeof v);
    return bits;
}

template <class T> T FromBits(typename Layout<T>::Bits bits) {
    T v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// The nearest integer to a finite v below 2^62 in magnitude, halves away
// from zero, worked out from the bits of v in integer arithmetic: |v| is
// mantissa * 2^shift, and a negative shift s rounds up exactly when bit
// s - 1 of the mantissa (the half) is set.
template <class T> int64_t ExactRound(T v) {
    using L = Layout<T>;
    const uint64_t bits = BitsOf(v);
    const bool negative = (bits >> (L::kFraction + L::kExponent)) != 0;
    const int exponent = int((bits >> L::kFraction) & ((uint64_t(1) << L::kExponent) - 1));
    const uint64_t fraction = bits & ((uint64_t(1) << L::kFraction) - 1);
    const uint64_t mantissa = exponent ? fraction | (uint64_t(1) << L::kFraction) : fraction;
    const int shift = (exponent ? exponent : 1) - L::kBias - L::kFraction;
    uint64_t magnitude = 0;
    if (shift >= 0) {
        magnitude = mantissa << shift;
    } else if (-shift <= L::kFraction + 1) { // else |v| < 0.5
        const int s = -shift;
        magnitude = (mantissa >> s) + ((mantissa >> (s - 1)) & 1);
    }
    return negative ? -int64_t(magnitude) : int64_t(magnitude);
}

// Every value whose bits run from `from` to `to` (positive values), and its
// negative, against the exact rounding. An empty string when all agree,
// else the number that disagree and the first of them.
template <class T> std::string Disagreements(T from, T to) {
    using Bits = typename Layout<T>::Bits;
    const Bits sign = Bits(1) << (Layout<T>::kFraction + Layout<T>::kExponent);
    uint64_t wrong = 0;
    T first = 0;
    T firstResult = 0;
    for (Bits bits = BitsOf(from); bits <= BitsOf(to); ++bits) {
        for (Bits s : {Bits(0), sign}) {
            const T v = FromBits<T>(bits | s);
            const T r = RoundHalfAway(v);
            if (r != T(ExactRound(v))) {
                if (wrong++ == 0) {
                    first = v;
                    firstResult = r;
                }
            }
        }
    }
    if (wrong == 0) {
        return {};
    }
    std::ostringstream out;
    out << std::setprecision(20) << wrong << " wrong, the first " << first << " -> " << firstResult;
    return out.str();
}

TEST(RoundHalfAway, EveryFloatFromTwoToThe22To25BothSigns) {
    // Halves below 2^23, odd integers from 2^23 to 2^24, even ones above.
    EXPECT_EQ(Disagreements(0x1p22f, 0x1p25f), "");
}

TEST(RoundHalfAway, FloatsAroundTheHalvesAndNearZero) {
    // 2^12 floats either side of some halves and of the binade edges below
    // the sweep above, and the smallest ones, both signs.
    for (float centre : {0.5f, 1.5f, 2.5f, 1023.5f, 0x1p21f, 0x1p22f}) {
        const uint32_t bits = BitsOf(centre);
        EXPECT_EQ(Disagreements(FromBits<float>(bits - 4096), FromBits<float>(bits + 4096)), "")
            << "around " << centre;
    }
    EXPECT_EQ(Disagreements(0.0f, FromBits<float>(4096)), "") << "subnormals";
}

TEST(RoundHalfAway, DoublesAroundTwoToThe52) {
    // 2^16 doubles either side of each power, both signs.
    for (double centre : {0x1p51, 0x1p52, 0x1p53}) {
        const uint64_t bits = BitsOf(centre);
        EXPECT_EQ(Disagreements(FromBits<double>(bits - 65536), FromBits<double>(bits + 65536)), "")
            << "around " << centre;
    }
}

// Every float, in sixteen slices of bit patterns, against the library's
// round: the same bits (the sign of a zero included), or NaN for NaN.
class EveryFloat : public ::testing::TestWithParam<uint32_t> {};

TEST_P(EveryFloat, RoundsAsTheLibraryDoes) {
    const uint64_t first = uint64_t(GetParam()) << 28, end = first + (uint64_t(1) << 28);
    uint64_t wrong = 0;
    uint32_t firstWrong = 0;
    for (uint64_t b = first; b < end; ++b) {
        const float v = FromBits<float>(uint32_t(b));
        const float ours = RoundHalfAway(v), theirs = std::round(v);
        const bool same = std::isnan(theirs) ? std::isnan(ours) : BitsOf(ours) == BitsOf(theirs);
        if (!same && wrong++ == 0) {
            firstWrong = uint32_t(b);
        }
    }
    EXPECT_EQ(wrong, 0u) << std::setprecision(9) << "the first " << FromBits<float>(firstWrong)
                         << " -> " << RoundHalfAway(FromBits<float>(firstWrong));
}

INSTANTIATE_TEST_SUITE_P(Slices, EveryFloat, ::testing::Range(0u, 16u));

TEST(RoundToInt32, HoldsToTheLimitsAndGivesLoForNaN) {
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    struct Row {
        float v;
        int32_t lo, hi, expected;
    };
    const Row rows[] = {
        {2.5f, -10, 10, 3},
        {-2.5f, -10, 10, -3},
        {0.49999997f, -10, 10, 0},
        {9.5f, -10, 10, 10},
        {10.5f, -10, 10, 10},
        {-1e30f, -10, 10, -10},
        {kInf, -10, 10, 10},
        {-kInf, -10, 10, -10},
        {std::numeric_limits<float>::quiet_NaN(), -10, 10, -10},
        {std::numeric_limits<float>::quiet_NaN(), 3, 3, 3},
        {99.4f, 0, 99, 99},
        {-0.5f, 0, 255, 0},
        // Limits no float holds exactly: the rounded value is held to them.
        {2147483648.0f, kMin, kMax, kMax},
        {-2147483648.0f, kMin + 1, kMax, kMin + 1},
        {16777220.0f, 16777219, 16777219, 16777219},
        {16777216.0f, 16777217, 16777221, 16777217},
        {1e9f, -1000000000, 1000000000, 1000000000},
        {1073741952.0f, -1073741824, 1073741824, 1073741824},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(RoundToInt32(r.v, r.lo, r.hi), r.expected)
            << std::setprecision(9) << r.v << " in " << r.lo << ".." << r.hi;
    }
}

template <class T> struct Case {
    T value;
    T expected;
};

TEST(RoundHalfAway, FloatCases) {
    const float belowHalf = std::nextafter(0.5f, 0.0f);
    const Case<float> cases[] = {
        {0.5f, 1.0f},
        {-0.5f, -1.0f},
        {1.5f, 2.0f},
        {-1.5f, -2.0f},
        {2.5f, 3.0f},
        {-2.5f, -3.0f},
        {4194304.5f, 4194305.0f},
        {-8388607.5f, -8388608.0f},
        {belowHalf, 0.0f},
        {-belowHalf, 0.0f},
        {std::nextafter(0.5f, 1.0f), 1.0f},
        {std::nextafter(1.5f, 0.0f), 1.0f},
        {-std::nextafter(1.5f, 0.0f), -1.0f},
        {0.0f, 0.0f},
        {1e-45f, 0.0f},
        {-1.17549435e-38f, 0.0f},
        {0.25f, 0.0f},
        {-0.75f, -1.0f},
        {8388609.0f, 8388609.0f},
        {-16777215.0f, -16777215.0f},
        {0x1p31f, 0x1p31f},
        {-3.4028235e38f, -3.4028235e38f},
    };
    for (const Case<float>& c : cases) {
        EXPECT_EQ(RoundHalfAway(c.value), c.expected)
            << std::setprecision(9) << c.value << " -> " << RoundHalfAway(c.value);
    }
}

TEST(RoundHalfAway, DoubleCases) {
    const double belowHalf = std::nextafter(0.5, 0.0);
    const Case<double> cases[] = {
        {0.5, 1.0},
        {-0.5, -1.0},
        {2.5, 3.0},
        {-2.5, -3.0},
        {belowHalf, 0.0},
        {-belowHalf, 0.0},
        {2251799813685248.5, 2251799813685249.0},
        {-2251799813685248.5, -2251799813685249.0},
        {4503599627370497.0, 4503599627370497.0},
        {-4503599627370497.0, -4503599627370497.0},
        {1e-310, 0.0},
        {-1e-300, 0.0},
        {1.7976931348623157e308, 1.7976931348623157e308},
    };
    for (const Case<double>& c : cases) {
        EXPECT_EQ(RoundHalfAway(c.value), c.expected)
            << std::setprecision(17) << c.value << " -> " << RoundHalfAway(c.value);
    }
}

} // namespace
