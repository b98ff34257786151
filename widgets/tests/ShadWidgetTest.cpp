// The shadow panel: its falloff tables for each kind of soft edge and
// radius, and its pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/Image.h"
#include "widgets/ShadWidget.h"
#include "widgets/tests/PixelTesting.h"

namespace {

using Factors = std::vector<float>;

Factors Copy(const CMemBlockT<float>& table) {
    return Factors(table.GetData(), table.GetData() + table.GetCount());
}

void ExpectFactors(const Factors& got, const Factors& expect) {
    ASSERT_EQ(got.size(), expect.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i], expect[i], 0.00005f) << "entry " << i;
    }
}

} // namespace

TEST(ShadWidget, TablesFollowTheFalloffOfEachEdgeAndRadius) {
    struct SCase {
        const char* name;
        uint32_t location;
        float radius;
        int32_t width;
        int32_t height;
        Factors columns;
        Factors rows;
    };
    const SCase cases[] = {
        {"DefaultBottomOverTheWholeHeight",
         2,
         -1.0f,
         3,
         5,
         {1, 1, 1},
         {1.0f, 0.6819f, 0.2163f, 0.0319f, 0.0022f}},
        {"RadiusTwoFadesTheLastSevenRows",
         2,
         2.0f,
         1,
         9,
         {1},
         {1, 1, 1.0f, 0.8825f, 0.6065f, 0.3247f, 0.1353f, 0.0439f, 0.0111f}},
        {"RadiusOneRoundsThreeAndAHalfUp",
         2,
         1.0f,
         1,
         6,
         {1},
         {1, 1, 1.0f, 0.6065f, 0.1353f, 0.0111f}},
        {"TopFadesUpward", 1, 1.0f, 1, 5, {1}, {0.0111f, 0.1353f, 0.6065f, 1.0f, 1}},
        {"LeftAndRightOverTheWholeWidth",
         12,
         -1.0f,
         8,
         2,
         {0.0022f, 0.0439f, 0.3247f, 0.8825f, 0.8825f, 0.3247f, 0.0439f, 0.0022f},
         {1, 1}},
        // Half of an odd axis from each side: the middle written by both.
        {"BothEdgesLongerThanHalfAnOddAxis",
         3,
         2.0f,
         1,
         5,
         {1},
         {0.6065f, 0.8825f, 1.0f, 0.8825f, 0.6065f}},
        {"LeftOnlyNegativeRadius", 4, -1.0f, 5, 1, {0.0022f, 0.0319f, 0.2163f, 0.6819f, 1.0f}, {1}},
        // One pixel over the whole axis: no span to fade over.
        {"OnePixelAxis", 3, -1.0f, 1, 1, {1}, {1}},
        {"RadiusZeroNoFade", 2, 0.0f, 1, 3, {1}, {1, 1, 1}},
        // A huge radius fades the whole axis, slowly, without overflow.
        {"HugeRadius", 2, 1e30f, 1, 3, {1}, {1, 1, 1}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        CShadWidget panel;
        ASSERT_EQ(panel.SetShadowLocation(c.location, 0), eNoError);
        ASSERT_EQ(panel.SetShadowRadius(c.radius, 0), eNoError);
        ASSERT_EQ(panel.SetSize(c.width, c.height, 0), eNoError);
        ASSERT_EQ(panel.RebuildLUT(), eNoError);
        ExpectFactors(Copy(panel.ColumnFactors()), c.columns);
        ExpectFactors(Copy(panel.RowFactors()), c.rows);
        for (float f : Copy(panel.RowFactors())) {
            EXPECT_TRUE(std::isfinite(f));
        }
    }
}

// The source words handed to the blend hook while it lives.
class CRecordedSources {
public:
    CRecordedSources() : m_pSaved(CPixel::m_pBlendProc) {
        s_Sources.clear();
        CPixel::m_pBlendProc = [](CPixel* dst, CPixel src) {
            s_Sources.push_back(src);
            CPixel::BlendProc(dst, src);
        };
    }
    ~CRecordedSources() { CPixel::m_pBlendProc = m_pSaved; }
    CRecordedSources(const CRecordedSources&) = delete;
    CRecordedSources& operator=(const CRecordedSources&) = delete;
    static inline std::vector<uint32_t> s_Sources;

private:
    CPixel::BlendProcPtr m_pSaved;
};

TEST(ShadWidget, PixelsCarryTheColourAtTheScaledAlpha) {
    CShadWidget panel;
    EXPECT_EQ(panel.TypeID(), kShadWidgetTypeID);
    EXPECT_EQ(panel.GetClientColour(), CPixel(0xFF000000u));
    EXPECT_EQ(panel.GetShadowLocation(), 2u);
    EXPECT_EQ(panel.ShadowRadius(), -1.0f);
    // A colour of alpha 0 still draws its red, green and blue.
    ASSERT_EQ(panel.SetClientColour(0x00FF0000u, 0), eNoError);
    ASSERT_EQ(panel.SetSize(2, 5, 0), eNoError);
    auto target = FilledImage(2, 5, 0xFF0000FFu);
    {
        CRecordedSources sources;
        ASSERT_EQ(panel.RenderArea(gCRect(0, 0, 2, 5), target.get(), 128), eNoError);
        // near(128 * factor) for the rows 1.0, .6819, .2163, .0319, .0022.
        EXPECT_EQ(CRecordedSources::s_Sources,
                  (std::vector<uint32_t>{0x80FF0000u, 0x80FF0000u, 0x57FF0000u, 0x57FF0000u,
                                         0x1CFF0000u, 0x1CFF0000u, 0x04FF0000u, 0x04FF0000u,
                                         0x00FF0000u, 0x00FF0000u}));
    }
    // Row 0 factor 1.0: alpha 128 over blue; row 1: near(128 * 0.6819) = 87.
    auto blended = [](uint32_t level) {
        CPixel p(0xFF0000FFu);
        CPixel::BlendProc(&p, CPixel(0x00FF0000u | (level << 24)));
        return uint32_t(p);
    };
    EXPECT_EQ(PixelAt(*target, 1, 0), blended(128));
    EXPECT_EQ(PixelAt(*target, 0, 1), blended(87));
    // The tables are rebuilt after a size change, and an area reaching past
    // the widget draws only the widget's part.
    ASSERT_EQ(panel.SetSize(2, 3, 0), eNoError);
    auto wide = FilledImage(4, 4, 0xFF0000FFu);
    ASSERT_EQ(panel.RenderArea(gCRect(0, 0, 4, 4), wide.get(), 255), eNoError);
    EXPECT_EQ(panel.RowFactors().GetCount(), 3u);
    EXPECT_EQ(PixelAt(*wide, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(*wide, 2, 0), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(*wide, 0, 3), 0xFF0000FFu);
    // Alpha 0 draws nothing.
    auto untouched = FilledImage(2, 3, 0xFF0000FFu);
    ASSERT_EQ(panel.RenderArea(gCRect(0, 0, 2, 3), untouched.get(), 0), eNoError);
    EXPECT_EQ(PixelsOf(*untouched), std::vector<uint32_t>(6, 0xFF0000FFu));
}
