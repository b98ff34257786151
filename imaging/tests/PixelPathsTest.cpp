#include <gtest/gtest.h>

#include "imaging/PixelPaths.h"
#include "testsupport/imaging/PixelPaths.h"

namespace {

TEST(PixelPaths, PlainIsAlwaysPresentAndTheBestIsPresent) {
    EXPECT_TRUE(CPixelPaths::IsPresent(CPixelPaths::ePlain));
    EXPECT_TRUE(CPixelPaths::IsPresent(CPixelPaths::Best()));
    EXPECT_EQ(CPixelPaths::Active(), CPixelPaths::Best());
    EXPECT_FALSE(CPixelPaths::IsPresent(CPixelPaths::EPath(CPixelPaths::kPathCount)));
    const std::vector<CPixelPaths::EPath> paths = PresentPixelPaths();
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.front(), CPixelPaths::ePlain);
    EXPECT_EQ(paths.back(), CPixelPaths::Best());
#if defined(DAUBLIN_NO_SIMD)
    EXPECT_EQ(paths.size(), 1u) << "the plain loops alone";
#elif defined(__x86_64__)
    EXPECT_TRUE(CPixelPaths::IsPresent(CPixelPaths::eSse2)) << "SSE2 is part of every x86-64";
#endif
}

TEST(PixelPaths, ForcingHoldsForTheLifetimeAndNests) {
    for (CPixelPaths::EPath outer : PresentPixelPaths()) {
        {
            CForcePixelPath force(outer);
            ASSERT_TRUE(force.IsForced());
            EXPECT_EQ(CPixelPaths::Active(), outer);
            {
                CForcePixelPath plain(CPixelPaths::ePlain);
                EXPECT_EQ(CPixelPaths::Active(), CPixelPaths::ePlain);
            }
            EXPECT_EQ(CPixelPaths::Active(), outer) << "the outer choice comes back";
        }
        EXPECT_EQ(CPixelPaths::Active(), CPixelPaths::Best());
    }
}

TEST(PixelPaths, APathNotPresentIsNotForced) {
    CForcePixelPath plain(CPixelPaths::ePlain);
    for (int32_t p = 0; p <= CPixelPaths::kPathCount; ++p) {
        const CPixelPaths::EPath path = CPixelPaths::EPath(p);
        if (CPixelPaths::IsPresent(path)) {
            continue;
        }
        CForcePixelPath absent(path);
        EXPECT_FALSE(absent.IsForced()) << CPixelPaths::Name(path);
        EXPECT_EQ(CPixelPaths::Active(), CPixelPaths::ePlain) << "the loops keep their path";
    }
}

} // namespace
