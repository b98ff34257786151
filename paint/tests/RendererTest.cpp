// The standard renderer's lights and environment.

#include <gtest/gtest.h>

#include "imaging/Image.h"
#include "paint/relight/StandardRenderer.h"
#include "testsupport/foundation/CountingMemory.h"

namespace {

TEST(StandardRenderer, SetupMakesTheTwoLightsOfTheTable) {
    CStandardRenderer renderer;
    EXPECT_EQ(renderer.Lights().GetSize(), 0);
    EXPECT_EQ(uint32_t(renderer.FillLight()), 0u);
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass); // a second set-up rebuilds the same list
        ASSERT_EQ(renderer.SetupRenderer(), eNoError);
        ASSERT_EQ(renderer.Lights().GetSize(), 2);
        const struct {
            int32_t direction[3], half[3];
            uint32_t colour;
            int32_t exponent, strength;
        } expected[] = {{{-2132, 2132, 2772}, {-1164, 1164, 3750}, 0xFFFFFFFFu, 0xDF000, 255},
                        {{3664, 0, 1832}, {2153, 0, 3484}, 0xB0FFFFFFu, 0xFF000, 88}};
        for (int i = 0; i < 2; ++i) {
            const CLight& light = renderer.Lights()[i];
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(light.m_aDirection[k], expected[i].direction[k]) << i << "," << k;
                EXPECT_EQ(light.m_aHalfVector[k], expected[i].half[k]) << i << "," << k;
            }
            EXPECT_EQ(uint32_t(light.m_Colour), expected[i].colour);
            EXPECT_EQ(light.m_nExponent, expected[i].exponent);
            EXPECT_EQ(light.m_nStrength, expected[i].strength);
            EXPECT_EQ(light.m_fOff, 0);
            EXPECT_EQ(light.m_fNegative, 0);
            EXPECT_EQ(light.m_nHighlightMode, 0);
        }
        EXPECT_EQ(uint32_t(renderer.FillLight()), 0x00FFFFFFu);
        EXPECT_EQ(renderer.RendererId(), 0);
    }
}

TEST(StandardRenderer, EnvironmentIsDeletedOnlyWhenOwned) {
    CCountingMemory memory;
    CImage kept(4, 4);
    {
        CStandardRenderer renderer;
        EXPECT_EQ(renderer.AttachEnvironment(&kept, 0), eNoError);
        EXPECT_EQ(renderer.AttachEnvironment(&kept, 0), eNoError) << "the same image again";
        EXPECT_EQ(renderer.Environment(), &kept);
        ASSERT_EQ(renderer.SetupRenderer(), eNoError);
        EXPECT_EQ(renderer.Environment(), nullptr);
        EXPECT_EQ(kept.GetWidth(), 4) << "not owned: untouched";

        const int32_t frees = memory.Frees();
        EXPECT_EQ(renderer.AttachEnvironment(new CImage(2, 2), 1), eNoError);
        EXPECT_EQ(renderer.AttachEnvironment(&kept, 0), eNoError);
        EXPECT_EQ(memory.Frees(), frees + 2) << "the owned image and its pixels went";
    }
}

} // namespace
