#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/CMemBlock.h"
#include "foundation/gCArray.h"
#include "foundation/gCMemory.h"
#include "testsupport/foundation/FailingMemory.h"

namespace {

struct HookCounts {
    int32_t allocs = 0, reallocs = 0, frees = 0;
};
HookCounts g_counts;

void* CountingAlloc(size_t n) {
    ++g_counts.allocs;
    return std::malloc(n ? n : 1);
}
void* CountingRealloc(void* p, size_t n) {
    ++g_counts.reallocs;
    return std::realloc(p, n ? n : 1);
}
void CountingFree(void* p) {
    ++g_counts.frees;
    std::free(p);
}

class MemoryHooks : public ::testing::Test {
protected:
    void SetUp() override { g_counts = {}; }
    void TearDown() override { gCMemory::ResetProcs(); }
};

TEST_F(MemoryHooks, ReplacedHooksSeeEveryToolkitAllocation) {
    gCMemory::m_pAllocProc = &CountingAlloc;
    gCMemory::m_pReallocProc = &CountingRealloc;
    gCMemory::m_pFreeProc = &CountingFree;
    {
        gCArray<int32_t> a;
        ASSERT_EQ(a.SetSize(4), eNoError);  // alloc
        ASSERT_EQ(a.SetSize(40), eNoError); // realloc
        auto* block = new CMemBlock;        // the object itself: alloc
        ASSERT_EQ(block->Resize(16, 0), 1); // realloc of a null pointer
        delete block;                       // data and object: two frees
    }                                       // the array's buffer: free
    EXPECT_EQ(g_counts.allocs, 2);
    EXPECT_EQ(g_counts.reallocs, 2);
    EXPECT_EQ(g_counts.frees, 3);

    gCMemory::ResetProcs();
    EXPECT_EQ(gCMemory::m_pAllocProc, &gCMemory::MallocProc);
    EXPECT_EQ(gCMemory::m_pReallocProc, &gCMemory::ReallocProc);
    EXPECT_EQ(gCMemory::m_pFreeProc, &gCMemory::FreeProc);
    gCArray<int32_t> b;
    ASSERT_EQ(b.SetSize(4), eNoError);
    EXPECT_EQ(g_counts.allocs, 2) << "after ResetProcs the counting hook is out of the way";
}

TEST_F(MemoryHooks, FailedAllocationLeavesContainersUnchanged) {
    gCArray<int32_t> a;
    ASSERT_EQ(a.SetSize(5), eNoError);
    a[4] = 44;
    CMemBlock block;
    ASSERT_EQ(block.Resize(8, 1), 1);

    CFailingMemory noMemory;
    EXPECT_EQ(a.SetSize(6), eOutOfMemory);
    EXPECT_EQ(a.GetSize(), 5);
    EXPECT_EQ(a.GetCapacity(), 5);
    EXPECT_EQ(a[4], 44);

    gCArray<int32_t> fresh;
    EXPECT_EQ(fresh.SetSize(3), eOutOfMemory);
    EXPECT_EQ(fresh.GetData(), nullptr);

    EXPECT_EQ(block.Resize(64, 1), 0);
    EXPECT_EQ(block.GetCount(), 8u);
    EXPECT_NE(block.GetData(), nullptr);
}

TEST(MemoryDefaults, ZeroByteRequestsStillAllocate) {
    void* p = gCMemory::MallocProc(0);
    ASSERT_NE(p, nullptr);
    p = gCMemory::ReallocProc(p, 0);
    ASSERT_NE(p, nullptr);
    gCMemory::FreeProc(p);
}

} // namespace
