// The border effect: edge weights, which edges a dirty area draws, the
// order at the corners, the edge setters and the blend hook it uses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/effects/EffectBorder.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/EffectTestSupport.h"

namespace {

const uint32_t kGround = 0xFF406080u;

// The blend hook records the colour of every call.
struct SRecordingBlend {
    static inline std::vector<uint32_t> s_aColours;
    CPixel::BlendProcPtr saved = CPixel::m_pBlendProc;
    SRecordingBlend() {
        s_aColours.clear();
        CPixel::m_pBlendProc = [](CPixel* dst, CPixel src) {
            s_aColours.push_back(src);
            CPixel::BlendProc(dst, src);
        };
    }
    ~SRecordingBlend() { CPixel::m_pBlendProc = saved; }
};

CWidgetEffectBorder* AddBorder(SEffectOwner& o) {
    auto* b = new CWidgetEffectBorder();
    EXPECT_EQ(o.widget->AddEffectO(b, 0, 0), eNoError);
    return b;
}

TEST(BorderEffect, EdgeWeightsFollowTheRenderAlpha) {
    for (uint32_t alpha : {255u, 127u}) {
        SCOPED_TRACE(alpha);
        SEffectOwner o(20, 10);
        CWidgetEffectBorder* b = AddBorder(o);
        EXPECT_EQ(b->TypeID(), FourCC("bdfx"));
        EXPECT_EQ(b->BorderThickness(), 1.0f);
        EXPECT_EQ(b->Extent(), gCRect(0, 0, 20, 10));
        const uint32_t light = alpha == 255 ? 0xA0FFFFFFu : 0x50FFFFFFu;
        const uint32_t dark = alpha == 255 ? 0x80000000u : 0x40000000u;
        auto target = LocalTarget(20, 10, 0, kGround);
        ASSERT_EQ(b->RenderEffect(gCRect(0, 0, 20, 10), target.get(), alpha), eNoError);
        EXPECT_EQ(LocalPixel(*target, 5, 0), oracle::Blend(kGround, light));   // top
        EXPECT_EQ(LocalPixel(*target, 0, 5), oracle::Blend(kGround, light));   // left
        EXPECT_EQ(LocalPixel(*target, 5, 9), oracle::Blend(kGround, dark));    // bottom
        EXPECT_EQ(LocalPixel(*target, 19, 5), oracle::Blend(kGround, dark));   // right
        EXPECT_EQ(LocalPixel(*target, 5, 5), kGround);
        EXPECT_EQ(LocalPixel(*target, 0, 0), oracle::Blend(oracle::Blend(kGround, light), light));
        EXPECT_EQ(LocalPixel(*target, 19, 0), oracle::Blend(oracle::Blend(kGround, light), dark));
        EXPECT_EQ(LocalPixel(*target, 0, 9), oracle::Blend(oracle::Blend(kGround, light), dark));
        EXPECT_EQ(LocalPixel(*target, 19, 9), oracle::Blend(oracle::Blend(kGround, dark), dark));
    }
}

TEST(BorderEffect, AnAreaDrawsOnlyTheEdgesItReaches) {
    SEffectOwner o(20, 10);
    CWidgetEffectBorder* b = AddBorder(o);
    auto target = LocalTarget(20, 10, 0, kGround);
    ASSERT_EQ(b->RenderEffect(gCRect(2, 2, 18, 8), target.get(), 255), eNoError);
    EXPECT_EQ(oracle::Words(*target), oracle::Words(*LocalTarget(20, 10, 0, kGround)));
    // Touching only the right edge: its last column alone.
    ASSERT_EQ(b->RenderEffect(gCRect(12, 3, 20, 7), target.get(), 255), eNoError);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 20; ++x) {
            const bool drawn = x == 19 && y >= 3 && y < 7;
            ASSERT_EQ(LocalPixel(*target, x, y),
                      drawn ? oracle::Blend(kGround, 0x80000000u) : kGround)
                << x << "," << y;
        }
    }
}

TEST(BorderEffect, AOneByOneWidgetGetsLeftTopRightBottomInThatOrder) {
    SEffectOwner o(1, 1);
    CWidgetEffectBorder* b = AddBorder(o);
    ASSERT_EQ(b->SetEdgeColour(CWidgetEffectBorder::eLeft, 0xFF000001u, 0), eNoError);
    ASSERT_EQ(b->SetEdgeColour(CWidgetEffectBorder::eTop, 0xFF000002u, 0), eNoError);
    ASSERT_EQ(b->SetEdgeColour(CWidgetEffectBorder::eRight, 0xFF000003u, 0), eNoError);
    ASSERT_EQ(b->SetEdgeColour(CWidgetEffectBorder::eBottom, 0xFF000004u, 0), eNoError);
    auto target = LocalTarget(1, 1, 0, kGround);
    SRecordingBlend hook;
    ASSERT_EQ(b->RenderEffect(gCRect(0, 0, 1, 1), target.get(), 255), eNoError);
    EXPECT_EQ(SRecordingBlend::s_aColours,
              (std::vector<uint32_t>{0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u}));
}

TEST(BorderEffect, EdgeSettersChangeTheirEdgesOnly) {
    CWidgetEffectBorder b;
    EXPECT_EQ(b.SetEdgeColour(6, 0xFF123456u, 0), eNoError);
    EXPECT_EQ(uint32_t(b.BottomColour()), 0xFF123456u);
    EXPECT_EQ(uint32_t(b.LeftColour()), 0xFF123456u);
    EXPECT_EQ(uint32_t(b.TopColour()), 0xA0FFFFFFu);
    EXPECT_EQ(uint32_t(b.RightColour()), 0x80000000u);
    EXPECT_EQ(b.SetTopLeftColour(0xFF000011u, 0), eNoError);
    EXPECT_EQ(b.SetBottomRightColour(0xFF000022u, 0), eNoError);
    EXPECT_EQ(uint32_t(b.TopColour()), 0xFF000011u);
    EXPECT_EQ(uint32_t(b.LeftColour()), 0xFF000011u);
    EXPECT_EQ(uint32_t(b.BottomColour()), 0xFF000022u);
    EXPECT_EQ(uint32_t(b.RightColour()), 0xFF000022u);
    for (uint32_t edge : {1u, 2u, 4u, 8u}) {
        EXPECT_EQ(b.EdgeStyle(edge), 0xFFFFFFFFu);
    }
    EXPECT_EQ(b.SetEdgeStyle(9, 0x55555555u, 0), eNoError);
    EXPECT_EQ(b.EdgeStyle(1), 0x55555555u);
    EXPECT_EQ(b.EdgeStyle(8), 0x55555555u);
    EXPECT_EQ(b.EdgeStyle(2), 0xFFFFFFFFu);
    EXPECT_EQ(b.SetBorderThickness(3.5f, 0), eNoError);
    EXPECT_EQ(b.BorderThickness(), 3.5f);
}

TEST(BorderEffect, ASwappedInHookIsTheOneUsed) {
    SEffectOwner o(20, 10);
    CWidgetEffectBorder* b = AddBorder(o);
    const CPixel::BlendProcPtr saved = CPixel::m_pBlendProc;
    CPixel::m_pBlendProc = &CPixel::AlphaBlendProc;
    auto target = LocalTarget(20, 10, 0, 0x00000000u); // transparent: the hooks differ
    const error e = b->RenderEffect(gCRect(0, 0, 20, 10), target.get(), 255);
    CPixel::m_pBlendProc = saved;
    ASSERT_EQ(e, eNoError);
    CPixel expected = 0x00000000u;
    CPixel::AlphaBlendProc(&expected, 0xA0FFFFFFu);
    EXPECT_EQ(LocalPixel(*target, 5, 0), uint32_t(expected));
    EXPECT_NE(LocalPixel(*target, 5, 0), oracle::Blend(0, 0xA0FFFFFFu));
}

} // namespace
