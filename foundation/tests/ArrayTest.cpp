#include <gtest/gtest.h>

#include "foundation/gCArray.h"
#include "testsupport/foundation/CountingMemory.h"

namespace {

struct GrowthCase {
    const char* name;
    int32_t firstSize; // first allocation
    int32_t growBy;    // stored grow-by (-1 automatic)
    int32_t nextSize;  // then grown to
    int32_t expectedCapacity;
};

void PrintTo(const GrowthCase& c, std::ostream* os) {
    *os << c.name;
}

class ArrayGrowth : public ::testing::TestWithParam<GrowthCase> {};

TEST_P(ArrayGrowth, CapacityFollowsTheGrowthRule) {
    const GrowthCase& c = GetParam();
    gCArray<int32_t> a;
    ASSERT_EQ(a.SetSize(c.firstSize, c.growBy), eNoError);
    EXPECT_EQ(a.GetCapacity(), c.firstSize) << "the first allocation is exact";
    ASSERT_EQ(a.SetSize(c.nextSize), eNoError);
    EXPECT_EQ(a.GetSize(), c.nextSize);
    EXPECT_EQ(a.GetCapacity(), c.expectedCapacity);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArrayGrowth,
    ::testing::Values(GrowthCase{"small_adds_eight", 5, -1, 6, 13},
                      GrowthCase{"forty_adds_ten", 40, -1, 41, 50},
                      GrowthCase{"hundred_grows_to_125", 100, -1, 101, 125},
                      GrowthCase{"big_step_capped_at_2048", 20000, -1, 20001, 22048},
                      GrowthCase{"jump_past_step_gets_new_size_plus_step", 5, -1, 100, 108},
                      GrowthCase{"grow_by_zero_is_exact", 5, 0, 6, 6},
                      GrowthCase{"stored_grow_by_is_the_step", 5, 3, 6, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Array, StepIsAQuarterOfTheOldSizeNotTheNew) {
    gCArray<int32_t> a;
    ASSERT_EQ(a.SetSize(64), eNoError);
    // Old size 64: step 16, so 64 + 16 = 80 covers 70.
    ASSERT_EQ(a.SetSize(70), eNoError);
    EXPECT_EQ(a.GetCapacity(), 80);
}

TEST(Array, AppendingOneAtATimeReallocatesRarely) {
    gCArray<int32_t> a;
    {
        CCountingMemory counted;
        for (int32_t i = 0; i < 10000; ++i) {
            ASSERT_EQ(a.Add(i), eNoError);
        }
        // The first Add allocates one slot exactly. Each later growth at
        // size s adds the step s / 4, clamped to 8..2048, so the capacity
        // runs 1, 9, 17, 25, 33, 41, 51, 63, 78, 97, 121, 151, 188, 235,
        // 293, 366, 457, 571, 713, 891, 1113, 1391, 1738, 2172, 2715, 3393,
        // 4241, 5301, 6626, 8282 (step 2070 capped to 2048) and 10330:
        // thirty reallocations for ten thousand adds.
        EXPECT_EQ(counted.Allocs(), 1);
        EXPECT_EQ(counted.Reallocs(), 30);
        EXPECT_EQ(counted.Frees(), 0);
    }
    EXPECT_EQ(a.GetSize(), 10000);
    EXPECT_EQ(a.GetCapacity(), 10330);
    for (int32_t i = 0; i < 10000; ++i) {
        ASSERT_EQ(a[i], i);
    }
}

TEST(Array, SetSizeZeroCases) {
    gCArray<int32_t> never;
    EXPECT_EQ(never.SetSize(0), eNoError);
    EXPECT_EQ(never.GetData(), nullptr);
    EXPECT_EQ(never.GetCapacity(), 0);
    EXPECT_EQ(never.GetGrowBy(), -1);

    gCArray<int32_t> used;
    ASSERT_EQ(used.SetSize(10, 4), eNoError);
    EXPECT_EQ(used.SetSize(0), eNoError);
    EXPECT_EQ(used.GetData(), nullptr) << "size 10 -> 0 frees the buffer";
    EXPECT_EQ(used.GetCapacity(), 0);
    EXPECT_EQ(used.GetGrowBy(), 4) << "grow-by is kept";
}

TEST(Array, SetSizeToTheSameSizeStillStoresGrowBy) {
    gCArray<int32_t> a;
    ASSERT_EQ(a.SetSize(3), eNoError);
    EXPECT_EQ(a.SetSize(3, 7), eNoError);
    EXPECT_EQ(a.GetGrowBy(), 7);
    EXPECT_EQ(a.SetSize(3, -1), eNoError);
    EXPECT_EQ(a.GetGrowBy(), 7) << "-1 keeps the stored grow-by";
}

TEST(Array, CapacityNeverShrinksExceptAtZero) {
    gCArray<int32_t> a;
    ASSERT_EQ(a.SetSize(50), eNoError);
    ASSERT_EQ(a.SetSize(10), eNoError);
    EXPECT_EQ(a.GetCapacity(), 50);
    const int32_t* before = a.GetData();
    ASSERT_EQ(a.SetSize(50), eNoError);
    EXPECT_EQ(a.GetData(), before) << "refilling to the same size does not reallocate";
}

TEST(Array, InsertAtMovesTheTailUp) {
    gCArray<int32_t> a;
    for (int32_t v : {1, 2, 4}) {
        ASSERT_EQ(a.Add(v), eNoError);
    }
    ASSERT_EQ(a.InsertAt(2, 3), eNoError);
    ASSERT_EQ(a.InsertAt(0, 0), eNoError);
    ASSERT_EQ(a.GetSize(), 5);
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(a[i], i);
    }
}

TEST(Array, InsertAtBeyondTheEndFillsTheGapAsSetSizeDoes) {
    gCArray<int32_t> a;
    ASSERT_EQ(a.Add(9), eNoError);
    ASSERT_EQ(a.InsertAt(4, 7), eNoError);
    ASSERT_EQ(a.GetSize(), 5);
    EXPECT_EQ(a[0], 9);
    EXPECT_EQ(a[1], 0);
    EXPECT_EQ(a[2], 0);
    EXPECT_EQ(a[3], 0);
    EXPECT_EQ(a[4], 7);
}

TEST(Array, InsertingAnElementOfTheSameArraySurvivesGrowth) {
    gCArray<int32_t> a;
    ASSERT_EQ(a.SetSize(5, 0), eNoError); // exact capacity: the next insert reallocates
    for (int32_t i = 0; i < 5; ++i) {
        a[i] = 10 + i;
    }
    ASSERT_EQ(a.InsertAt(0, a[4]), eNoError);
    EXPECT_EQ(a[0], 14);
    EXPECT_EQ(a[5], 14);
}

TEST(Array, AppendAndCopy) {
    gCArray<int32_t> a, b;
    for (int32_t v : {1, 2}) {
        ASSERT_EQ(a.Add(v), eNoError);
    }
    for (int32_t v : {3, 4, 5}) {
        ASSERT_EQ(b.Add(v), eNoError);
    }
    ASSERT_EQ(a.Append(b), eNoError);
    ASSERT_EQ(a.GetSize(), 5);
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(a[i], i + 1);
    }

    gCArray<int32_t> c;
    ASSERT_EQ(c.Copy(b), eNoError);
    ASSERT_EQ(c.GetSize(), 3);
    EXPECT_EQ(c[2], 5);

    gCArray<int32_t> empty;
    ASSERT_EQ(c.Copy(empty), eNoError);
    EXPECT_EQ(c.GetData(), nullptr) << "a copy of an empty array frees the buffer";
}

// An element type with a constructor and destructor, counting both, as
// strings are in the toolkit.
struct Counted {
    static inline int32_t s_live = 0;
    int32_t value;
    Counted() : value(-1) { ++s_live; }
    Counted(const Counted& o) : value(o.value) { ++s_live; }
    Counted& operator=(const Counted&) = default;
    ~Counted() { --s_live; }
};

TEST(Array, ElementsWithDestructorsAreDestroyedAndReinitialised) {
    Counted::s_live = 0;
    {
        gCArray<Counted> a;
        ASSERT_EQ(a.SetSize(6), eNoError);
        EXPECT_EQ(Counted::s_live, 6);
        for (int32_t i = 0; i < 6; ++i) {
            a[i].value = i;
        }
        ASSERT_EQ(a.SetSize(2), eNoError);
        EXPECT_EQ(Counted::s_live, 2) << "shrinking destroys the removed elements";
        ASSERT_EQ(a.SetSize(4), eNoError);
        EXPECT_EQ(Counted::s_live, 4);
        EXPECT_EQ(a[1].value, 1);
        EXPECT_EQ(a[2].value, -1) << "growing again yields fresh elements";
        EXPECT_EQ(a[3].value, -1);

        Counted c;
        c.value = 42;
        ASSERT_EQ(a.InsertAt(1, c), eNoError);
        EXPECT_EQ(Counted::s_live, 6);
        EXPECT_EQ(a[1].value, 42);
        EXPECT_EQ(a[2].value, 1);

        a.RemoveAt(1);
        EXPECT_EQ(Counted::s_live, 5);
        EXPECT_EQ(a[1].value, 1);
    }
    EXPECT_EQ(Counted::s_live, 0);
}

// A negative size or index (a damaged count) is refused and leaves the
// array and its elements as they were.
TEST(Array, NegativeSizesAndIndexesAreRefused) {
    Counted::s_live = 0;
    {
        gCArray<Counted> a;
        ASSERT_EQ(a.SetSize(3), eNoError);
        a[0].value = 7;
        EXPECT_EQ(a.SetSize(-1), eBadParameter);
        EXPECT_EQ(a.InsertAt(-2, Counted()), eBadParameter);
        EXPECT_EQ(a.GetSize(), 3);
        EXPECT_EQ(a.GetCapacity(), 3);
        EXPECT_EQ(a[0].value, 7);
        EXPECT_EQ(Counted::s_live, 3);
    }
    EXPECT_EQ(Counted::s_live, 0);
}

} // namespace
