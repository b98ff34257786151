#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "foundation/gCMemory.h"
#include "foundation/tests/StringTestSupport.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

// Counts the blocks the hooks hand out and take back.
int32_t g_live = 0;

void* CountingAlloc(size_t n) {
    ++g_live;
    return std::malloc(n ? n : 1);
}
void* CountingRealloc(void* p, size_t n) {
    if (!p) {
        ++g_live;
    }
    return std::realloc(p, n ? n : 1);
}
void CountingFree(void* p) {
    if (p) {
        --g_live;
    }
    std::free(p);
}

class StringArray : public ::testing::Test {
protected:
    void SetUp() override {
        g_live = 0;
        gCMemory::m_pAllocProc = &CountingAlloc;
        gCMemory::m_pReallocProc = &CountingRealloc;
        gCMemory::m_pFreeProc = &CountingFree;
    }
    void TearDown() override { gCMemory::ResetProcs(); }
};

TEST_F(StringArray, ShrinkingFreesTheStringsAndGrowingYieldsEmptyOnes) {
    {
        gCArray<gCString> a;
        ASSERT_EQ(a.SetSize(5), eNoError);
        for (int32_t i = 0; i < 5; ++i) {
            ASSERT_EQ(a[i].CopyString(u"text"), eNoError);
        }
        EXPECT_EQ(g_live, 6) << "the array's block and five string buffers";

        ASSERT_EQ(a.SetSize(2), eNoError);
        EXPECT_EQ(g_live, 3) << "the three removed strings are freed";
        EXPECT_EQ(U(a[1]), u"text");

        ASSERT_EQ(a.SetSize(5), eNoError);
        EXPECT_EQ(g_live, 3);
        for (int32_t i = 2; i < 5; ++i) {
            EXPECT_EQ(a[i].GetBuffer(), nullptr) << i;
            EXPECT_EQ(a[i].GetLength(), 0) << i;
            EXPECT_EQ(a[i].GetCapacity(), 0) << i;
        }
    }
    EXPECT_EQ(g_live, 0) << "destroying the array frees every string";
}

TEST_F(StringArray, ElementsSurviveRawMovesOnInsertAndRemove) {
    {
        gCArray<gCString> a;
        for (const char16_t* t : {u"a", u"c", u"d"}) {
            ASSERT_EQ(a.Add(Str(t)), eNoError);
        }
        ASSERT_EQ(a.InsertAt(1, Str(u"b")), eNoError);
        ASSERT_EQ(a.InsertAt(0, a[3]), eNoError);
        a.RemoveAt(4);
        ASSERT_EQ(a.GetSize(), 4);
        EXPECT_EQ(U(a[0]), u"d");
        EXPECT_EQ(U(a[1]), u"a");
        EXPECT_EQ(U(a[2]), u"b");
        EXPECT_EQ(U(a[3]), u"c");

        gCArray<gCString> b;
        ASSERT_EQ(b.Copy(a), eNoError);
        ASSERT_EQ(b.Append(a), eNoError);
        EXPECT_EQ(U(b[7]), u"c");
        EXPECT_NE(b[0].GetBuffer(), a[0].GetBuffer());
    }
    EXPECT_EQ(g_live, 0);
}

// A string that cannot be copied into its slot for want of memory is
// reported, and the array is left as it was: never an empty string stored
// under a result of success.
TEST(StringArrayWithoutMemory, CopiesIntoSlotsAreReported) {
    const gCString text = Str(u"a text that needs a buffer of its own");
    gCArray<gCString> a;
    ASSERT_EQ(a.Add(Str(u"first")), eNoError);
    ASSERT_EQ(a.SetSize(4), eNoError);
    ASSERT_EQ(a.SetSize(1), eNoError); // room for three more: no growth below
    const int32_t capacity = a.GetCapacity();
    gCArray<gCString> source;
    ASSERT_EQ(source.Add(text), eNoError);
    ASSERT_EQ(source.Add(text), eNoError);
    struct Step {
        const char* name;
        std::function<error()> call;
    } steps[] = {
        {"Add", [&] { return a.Add(text); }},
        {"InsertAt the start", [&] { return a.InsertAt(0, text); }},
        {"InsertAt past the end", [&] { return a.InsertAt(3, text); }},
        {"InsertAt of its own element", [&] { return a.InsertAt(0, a[0]); }},
        {"Append", [&] { return a.Append(source); }},
        {"Copy", [&] { return a.Copy(source); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        {
            CFailingMemory none;
            EXPECT_EQ(step.call(), eOutOfMemory);
        }
        ASSERT_EQ(a.GetSize(), 1);
        EXPECT_EQ(U(a[0]), u"first");
        EXPECT_EQ(a.GetCapacity(), capacity);
    }
}

} // namespace
