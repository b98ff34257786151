#include <gtest/gtest.h>

#include <cstring>

#include "foundation/CMemBlock.h"

namespace {

TEST(MemBlock, ResizeZeroOfAnEmptyBlockSucceeds) {
    CMemBlock b;
    EXPECT_EQ(b.Resize(0, 0), 1);
    EXPECT_EQ(b.GetCount(), 0u);
    EXPECT_EQ(b.GetData(), nullptr);
}

TEST(MemBlock, ResizeKeepsDataAndZeroFillClearsTheWholeBlock) {
    CMemBlock b;
    ASSERT_EQ(b.Resize(4, 0), 1);
    std::memcpy(b.GetData(), "abcd", 4);
    ASSERT_EQ(b.Resize(8, 0), 1);
    EXPECT_EQ(std::memcmp(b.GetData(), "abcd", 4), 0) << "growing keeps the old bytes";
    ASSERT_EQ(b.Resize(16, 1), 1);
    for (uint32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(b.GetData()[i], 0) << i;
    }
    ASSERT_EQ(b.Resize(0, 0), 1);
    EXPECT_EQ(b.GetData(), nullptr);
}

TEST(MemBlock, CopiesAreClippedToTheBlock) {
    CMemBlock b;
    ASSERT_EQ(b.Resize(3, 1), 1);
    b.CopyFromBuffer("wxyz", 4);
    EXPECT_EQ(std::memcmp(b.GetData(), "wxy", 3), 0);

    char out[8];
    std::memset(out, '.', sizeof out);
    b.CopyToBuffer(out, sizeof out);
    EXPECT_EQ(std::memcmp(out, "wxy.....", 8), 0) << "only the block's count bytes are copied";
}

TEST(MemBlock, TypedBlockCountsElements) {
    CMemBlockT<uint32_t> b;
    ASSERT_EQ(b.Resize(5, 1), 1);
    EXPECT_EQ(b.GetCount(), 5u);
    EXPECT_EQ(b.GetByteSize(), 20u);
}

} // namespace
