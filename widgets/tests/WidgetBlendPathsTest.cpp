// The widgets that blend a row at a time through the standard hooks (the
// colour, shadow and mask widgets) draw on every instruction-set path what
// they draw pixel by pixel through a hook of the same blend.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "imaging/ImNav.h"
#include "imaging/Image8.h"
#include "imaging/PixelPaths.h"
#include "widgets/CoWidget.h"
#include "widgets/MaskWidget.h"
#include "widgets/ShadWidget.h"
#include "widgets/tests/PixelTesting.h"

namespace {

// While it lives the hooks are the standard blends called through another
// address, which the widgets take pixel by pixel.
class CPixelByPixel {
public:
    CPixelByPixel() : m_pBlend(CPixel::m_pBlendProc), m_pBlend255(CPixel::m_pBlend255Proc) {
        CPixel::m_pBlendProc = [](CPixel* dst, CPixel src) { CPixel::BlendProc(dst, src); };
        CPixel::m_pBlend255Proc = [](CPixel* dst, int32_t level, CPixel src) {
            CPixel::Blend255Proc(dst, level, src);
        };
    }
    ~CPixelByPixel() {
        CPixel::m_pBlendProc = m_pBlend;
        CPixel::m_pBlend255Proc = m_pBlend255;
    }
    CPixelByPixel(const CPixelByPixel&) = delete;
    CPixelByPixel& operator=(const CPixelByPixel&) = delete;

private:
    CPixel::BlendProcPtr m_pBlend;
    CPixel::Blend255ProcPtr m_pBlend255;
};

// The widget drawn over a seeded random target of odd size.
std::vector<uint32_t> Drawn(CWidget& widget, int32_t w, int32_t h, uint32_t opacity) {
    std::mt19937 rng(uint32_t(w * 31 + h));
    auto target = MakeImage(w, h, [&rng](int32_t, int32_t) { return uint32_t(rng()); });
    EXPECT_EQ(widget.RenderArea(gCRect(0, 0, w, h), target.get(), opacity), eNoError);
    return PixelsOf(*target);
}

void ExpectEveryPathDrawsAsPixelByPixel(CWidget& widget, int32_t w, int32_t h) {
    for (uint32_t opacity : {255u, 200u, 77u}) {
        std::vector<uint32_t> want;
        {
            CPixelByPixel hooks;
            want = Drawn(widget, w, h, opacity);
        }
        for (CPixelPaths::EPath path :
             {CPixelPaths::ePlain, CPixelPaths::eSse2, CPixelPaths::eAvx2}) {
            SCOPED_TRACE(std::string(CPixelPaths::Name(path)) + " opacity " +
                         std::to_string(opacity));
            CForcePixelPath force(path);
            ASSERT_EQ(Drawn(widget, w, h, opacity), want);
        }
    }
}

TEST(WidgetBlendPaths, TheColourWidget) {
    for (uint32_t colour : {0x80336699u, 0x01FFFFFFu, 0xFEC08040u}) {
        SCOPED_TRACE(colour);
        CCoWidget widget;
        ASSERT_EQ(widget.SetClientColour(colour, 0), eNoError);
        ExpectEveryPathDrawsAsPixelByPixel(widget, 37, 5);
    }
}

TEST(WidgetBlendPaths, TheShadowWidget) {
    CShadWidget widget;
    ASSERT_EQ(widget.SetClientColour(0xC0102030u, 0), eNoError);
    ASSERT_EQ(widget.SetSize(301, 23, 0), eNoError);
    ExpectEveryPathDrawsAsPixelByPixel(widget, 301, 23);
}

TEST(WidgetBlendPaths, TheMaskWidgetPlainAndCompressed) {
    for (int32_t compressed : {0, 1}) {
        SCOPED_TRACE(compressed);
        std::mt19937 rng(8);
        auto* mask = new CImage8(301, 19);
        {
            CImNav8 view(mask);
            ASSERT_TRUE(view.IsLocked());
            for (int32_t y = 0; y < 19; ++y) {
                for (int32_t x = 0; x < 301; ++x) {
                    // Runs of 0, 255 and anything.
                    const uint32_t kind = (uint32_t(x) / 7 + uint32_t(y)) % 3;
                    view.Row(y)[x] = kind == 0 ? 0 : kind == 1 ? 255 : uint8_t(rng());
                }
            }
        }
        CMaskWidget widget;
        ASSERT_EQ(widget.SetClientColour(0xE0A0B0C0u, 0), eNoError);
        ASSERT_EQ(widget.SetImage(mask, 1, 0), eNoError);
        if (compressed) {
            ASSERT_EQ(widget.CompressImage(), eNoError);
        }
        ExpectEveryPathDrawsAsPixelByPixel(widget, 301, 19);
    }
}

} // namespace
