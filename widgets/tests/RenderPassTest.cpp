// The render passes: the alphas they derive, the order of effects, own
// pixels and children, clipping, the target's origin on every way out, and
// the front-to-back search for opaque cover. Widgets draw through recording
// render procedures and stub effects into one shared log.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <ostream>
#include <vector>

#include "imaging/Image.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/tests/StubEffect.h"
#include "widgets/tests/TestWidgets.h"

namespace {

const gCRect kEverything(0, 0, 200, 100);

// A root 200 x 100 over a target of the same size, and helpers that give
// widgets recording render procedures and effects that log into one log.
class RenderPass : public ::testing::Test {
protected:
    CWidget* Add(CWidget& parent, const char* name, const gCRect& rect) {
        CWidget* widget = AddPlaced(parent, rect);
        if (widget && name) {
            SRenderRecord& record = m_aRecords.emplace_back(SRenderRecord{&log, name, eNoError});
            widget->SetRenderProc(RecordRender, &record);
        }
        return widget;
    }
    SRenderRecord& RecordOf(const char* name) {
        for (SRenderRecord& r : m_aRecords) {
            if (r.name == name) {
                return r;
            }
        }
        ADD_FAILURE() << "no record " << name;
        return m_aRecords.front();
    }
    // Places an effect; the caller keeps a pointer, the widget owns it.
    CStubEffect* Effect(CWidget* widget, char array, int32_t index, const char* name,
                        const gCRect& extent, int32_t opacity = 255) {
        auto* effect = new CStubEffect(&log, name, extent, opacity);
        error e = eBadParameter;
        if (array == 'U') {
            e = widget->AddEffectU(effect, index, 0);
        } else if (array == 'B') {
            e = widget->AddEffectB(effect, index, 0);
        } else {
            e = widget->AddEffectO(effect, index, 0);
        }
        EXPECT_EQ(e, eNoError);
        return effect;
    }
    error Render(const gCRect& area = kEverything) {
        log.clear();
        return root.PassRenderAreaTransparent(area, &target, 255);
    }

    Log log;
    CRecordingRoot root{200, 100};
    CImage target{200, 100};
    std::deque<SRenderRecord> m_aRecords;
};

// --- Alphas

struct SAlphaCase {
    const char* name;
    uint32_t opacity;
    int32_t propagate;
    uint32_t childOpacity;
    uint32_t expectOwn;
    uint32_t expectChild;
};

void PrintTo(const SAlphaCase& c, std::ostream* os) {
    *os << c.name;
}

class WidgetAlpha : public RenderPass, public ::testing::WithParamInterface<SAlphaCase> {};

TEST_P(WidgetAlpha, ScalesTheParentsAlphaByOpacity) {
    const SAlphaCase& c = GetParam();
    CWidget* parent = Add(root, "P", gCRect(10, 10, 60, 40));
    CWidget* child = Add(*parent, "C", gCRect(5, 5, 15, 15));
    ASSERT_EQ(parent->SetOpacity(c.opacity, 0), eNoError);
    ASSERT_EQ(parent->SetPropagateOpacity(c.propagate, 0), eNoError);
    ASSERT_EQ(child->SetOpacity(c.childOpacity, 0), eNoError);
    ASSERT_EQ(Render(), eNoError);
    EXPECT_EQ(log, (Log{"P draw 0,0,50,30 a" + std::to_string(c.expectOwn) + " @10,10",
                        "C draw 0,0,10,10 a" + std::to_string(c.expectChild) + " @15,15"}));
}

INSTANTIATE_TEST_SUITE_P(
    RenderPass, WidgetAlpha,
    ::testing::Values(SAlphaCase{"Half", 128, 1, 255, 128, 128},
                      SAlphaCase{"Zero", 0, 1, 255, 0, 0},
                      SAlphaCase{"Full", 255, 1, 255, 255, 255},
                      SAlphaCase{"Nested", 128, 1, 128, 128, 64},
                      SAlphaCase{"PropagateOff", 128, 0, 255, 128, 255},
                      // Stored as read, clamped where used.
                      SAlphaCase{"Opacity300", 300, 1, 255, 255, 255},
                      SAlphaCase{"OpacityMax", 0xFFFFFFFFu, 1, 0xFFFFFFFFu, 255, 255}),
    [](const ::testing::TestParamInfo<SAlphaCase>& info) { return info.param.name; });

struct SEffectAlphaCase {
    const char* name;
    uint32_t widgetOpacity;
    int32_t effectOpacity;
    uint32_t expect;
};

void PrintTo(const SEffectAlphaCase& c, std::ostream* os) {
    *os << c.name;
}

class EffectAlpha : public RenderPass, public ::testing::WithParamInterface<SEffectAlphaCase> {};

TEST_P(EffectAlpha, IsTheWidgetAlphaScaledByTheEffectOpacity) {
    const SEffectAlphaCase& c = GetParam();
    CWidget* widget = Add(root, nullptr, gCRect(10, 10, 60, 40));
    Effect(widget, 'U', 0, "U0", gCRect(0, 0, 50, 30), c.effectOpacity);
    ASSERT_EQ(widget->SetOpacity(c.widgetOpacity, 0), eNoError);
    ASSERT_EQ(Render(), eNoError);
    EXPECT_EQ(log, (Log{"U0 render 0,0,50,30 a" + std::to_string(c.expect) + " @10,10"}));
}

INSTANTIATE_TEST_SUITE_P(RenderPass, EffectAlpha,
                         ::testing::Values(SEffectAlphaCase{"Opacity200", 255, 200, 200},
                                           SEffectAlphaCase{"Full", 255, 255, 255},
                                           SEffectAlphaCase{"Zero", 255, 0, 0},
                                           SEffectAlphaCase{"HalfWidget", 128, 255, 128},
                                           SEffectAlphaCase{"BothAbove255", 300, 300, 255},
                                           SEffectAlphaCase{"Negative", 255, -5, 0}),
                         [](const ::testing::TestParamInfo<SEffectAlphaCase>& info) {
                             return info.param.name;
                         });

// --- The transparent pass

TEST_F(RenderPass, TransparentPassDrawsEffectsOwnPixelsAndChildrenInOrder) {
    CWidget* widget = Add(root, "W", gCRect(10, 10, 60, 40));
    Add(*widget, "back", gCRect(0, 0, 10, 10));
    Add(*widget, "front", gCRect(20, 0, 30, 10));
    Effect(widget, 'O', 0, "O0", gCRect(0, 0, 50, 30));
    Effect(widget, 'B', 0, "B0", gCRect(0, 0, 50, 30));
    Effect(widget, 'U', 0, "U0", gCRect(0, 0, 50, 30));
    target.SetOrigin(gCPoint(3, 4));

    ASSERT_EQ(Render(), eNoError);
    EXPECT_EQ(log, (Log{"U0 render 0,0,50,30 a255 @13,14", "W draw 0,0,50,30 a255 @13,14",
                        "B0 render 0,0,50,30 a255 @13,14", "back draw 0,0,10,10 a255 @13,14",
                        "front draw 0,0,10,10 a255 @33,14", "O0 render 0,0,50,30 a255 @13,14"}));
    EXPECT_EQ(target.GetOrigin(), gCPoint(3, 4));
}

TEST_F(RenderPass, AnErrorTwoLevelsDownEndsThePassAndRestoresTheOrigin) {
    CWidget* widget = Add(root, "W", gCRect(10, 10, 60, 40));
    Add(*widget, "C", gCRect(5, 5, 15, 15));
    Effect(widget, 'O', 0, "O0", gCRect(0, 0, 50, 30));
    Add(root, "later", gCRect(0, 0, 100, 100)); // in front: drawn after W
    RecordOf("C").result = eCreateFailed;
    target.SetOrigin(gCPoint(3, 4));

    EXPECT_EQ(Render(), eCreateFailed);
    EXPECT_EQ(log, (Log{"W draw 0,0,50,30 a255 @13,14", "C draw 0,0,10,10 a255 @18,19"}));
    EXPECT_EQ(target.GetOrigin(), gCPoint(3, 4));

    // The same through the opaque pass, from an effect this time.
    RecordOf("C").result = eNoError;
    widget->SetOpaqueBlit(1);
    CStubEffect* between = Effect(widget, 'B', 0, "B0", gCRect(0, 0, 50, 30));
    between->m_nRenderResult = eOutOfMemory;
    gCRect covered;
    log.clear();
    EXPECT_EQ(root.PassRenderAreaOpaque(gCRect(10, 10, 60, 40), &target, 255, covered),
              eOutOfMemory);
    EXPECT_EQ(target.GetOrigin(), gCPoint(3, 4));
    EXPECT_EQ(covered, gCRect());
}

// --- Clipping

TEST_F(RenderPass, ChildrenClipToTheParentsRectAndEffectsToTheirExtent) {
    CWidget* parent = Add(root, "P", gCRect(10, 10, 60, 40));
    Add(*parent, "C", gCRect(40, 20, 80, 40)); // sticks out right
    Effect(parent, 'U', 0, "shadow", gCRect(-8, -8, 58, 38));
    Effect(parent, 'B', 0, "empty", gCRect());
    ASSERT_EQ(parent->TotalRect(), gCRect(2, 2, 68, 48));

    ASSERT_EQ(Render(), eNoError);
    EXPECT_EQ(log, (Log{"shadow render -8,-8,58,38 a255 @10,10", "P draw 0,0,50,30 a255 @10,10",
                        "C draw 0,0,10,10 a255 @50,30"}));

    // A dirty rectangle over the top-left corner misses the child.
    ASSERT_EQ(Render(gCRect(0, 0, 30, 30)), eNoError);
    EXPECT_EQ(log, (Log{"shadow render -8,-8,20,20 a255 @10,10", "P draw 0,0,20,20 a255 @10,10"}));

    // Outside the total rect nothing is asked at all.
    ASSERT_EQ(Render(gCRect(100, 60, 200, 100)), eNoError);
    EXPECT_EQ(log, Log{});
}

TEST_F(RenderPass, ExclusionsSplitAnEffectsDrawing) {
    CWidget* widget = Add(root, nullptr, gCRect(10, 10, 60, 40));
    CStubEffect* effect = Effect(widget, 'U', 0, "U0", gCRect(0, 0, 50, 30));
    const gCRect hole(10, 10, 20, 20); // owner-local, as drawn
    ASSERT_EQ(effect->AddExclusion(hole, 0), eNoError);
    ASSERT_EQ(Render(), eNoError);

    ASSERT_GT(effect->m_aRendered.size(), 1u);
    std::vector<int32_t> hits(50 * 30, 0);
    for (const gCRect& r : effect->m_aRendered) {
        for (int32_t y = r.top; y < r.bottom; ++y) {
            for (int32_t x = r.left; x < r.right; ++x) {
                ASSERT_TRUE(gCRect(0, 0, 50, 30).Contains(gCPoint(x, y)));
                ++hits[size_t(y * 50 + x)];
            }
        }
    }
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 50; ++x) {
            EXPECT_EQ(hits[size_t(y * 50 + x)], hole.Contains(gCPoint(x, y)) ? 0 : 1)
                << x << "," << y;
        }
    }
}

// --- The opaque pass

// A panel P (100 x 60 at 20, 10) with four children, back to front: c3
// covering it, c2 opaque-blit at (10, 10, 90, 50) with under and between
// effects, c1 and c0 small ones in front; P has under and over effects.
class OpaquePass : public RenderPass {
protected:
    void SetUp() override {
        panel = Add(root, "P", gCRect(20, 10, 120, 70));
        Effect(panel, 'U', 0, "PU", gCRect(0, 0, 100, 60));
        Effect(panel, 'O', 0, "PO", gCRect(0, 0, 100, 60));
        Add(*panel, "c3", gCRect(0, 0, 100, 60));
        opaque = Add(*panel, "c2", gCRect(10, 10, 90, 50));
        opaque->SetOpaqueBlit(1);
        Effect(opaque, 'U', 0, "c2U", gCRect(0, 0, 80, 40));
        Effect(opaque, 'B', 0, "c2B", gCRect(0, 0, 80, 40));
        Add(*panel, "c1", gCRect(0, 0, 30, 30));
        Add(*panel, "c0", gCRect(70, 30, 100, 60));
        ASSERT_EQ(panel->GetChildIndex(opaque), 2);
        log.clear();
    }

    CWidget* panel = nullptr;
    CWidget* opaque = nullptr;
};

TEST_F(OpaquePass, AnOpaqueChildStopsTheSearchAndWhatIsInFrontCompositesOverIt) {
    gCRect covered;
    ASSERT_EQ(panel->PassRenderAreaOpaque(gCRect(30, 20, 110, 60), &target, 255, covered),
              eNoError);
    EXPECT_EQ(log, (Log{"c2 draw 0,0,80,40 a255 @30,20", "c2B render 0,0,80,40 a255 @30,20",
                        "c1 draw 10,10,30,30 a255 @20,10", "c0 draw 0,0,20,20 a255 @90,40",
                        "PO render 10,10,90,50 a255 @20,10"}));
    EXPECT_EQ(covered, gCRect(10, 10, 90, 50)); // the panel's local coordinates
    EXPECT_EQ(target.GetOrigin(), gCPoint(0, 0));
}

TEST_F(OpaquePass, CoveredStaysAsItCameWhenNothingIsOpaque) {
    opaque->SetOpaqueBlit(0);
    gCRect covered(1, 2, 3, 4);
    ASSERT_EQ(panel->PassRenderAreaOpaque(gCRect(30, 20, 110, 60), &target, 255, covered),
              eNoError);
    EXPECT_EQ(log, Log{});
    EXPECT_EQ(covered, gCRect(1, 2, 3, 4));
}

TEST_F(OpaquePass, AnOpaquePanelDrawsItsAreaBetweenEffectsChildrenAndOverEffects) {
    opaque->SetOpaqueBlit(0);
    panel->SetOpaqueBlit(1);
    ASSERT_EQ(panel->SetOpacity(128, 0), eNoError);
    log.clear();
    gCRect covered;
    ASSERT_EQ(root.PassRenderAreaOpaque(gCRect(20, 10, 60, 40), &target, 255, covered), eNoError);
    // Drawn at 255 itself, its under effect left out; children and
    // effects at the panel's alpha.
    EXPECT_EQ(log, (Log{"P draw 0,0,40,30 a255 @20,10", "c3 draw 0,0,40,30 a128 @20,10",
                        "c2U render 0,0,30,20 a128 @30,20", "c2 draw 0,0,30,20 a128 @30,20",
                        "c2B render 0,0,30,20 a128 @30,20", "c1 draw 0,0,30,30 a128 @20,10",
                        "PO render 0,0,40,30 a128 @20,10"}));
    EXPECT_EQ(covered, gCRect(20, 10, 60, 40)); // the root's coordinates
}

// --- Pre-render notification

TEST_F(RenderPass, PreRenderWalksLikeTheTransparentPassWithoutExclusions) {
    CWidget* widget = Add(root, "W", gCRect(10, 10, 60, 40));
    CWidget* child = Add(*widget, "C", gCRect(5, 5, 15, 15));
    CStubEffect* under = Effect(widget, 'U', 0, "U0", gCRect(0, 0, 50, 30), 200);
    Effect(widget, 'B', 1, "B1", gCRect(0, 0, 50, 30));
    Effect(widget, 'O', 2, "O2", gCRect(0, 0, 50, 30));
    Effect(child, 'O', 0, "CO", gCRect(0, 0, 10, 10));
    ASSERT_EQ(under->AddExclusion(gCRect(0, 0, 10, 10), 0), eNoError);
    log.clear();

    ASSERT_EQ(root.PassPreRenderNotification(kEverything, &target, 255), eNoError);
    EXPECT_EQ(log, (Log{"U0 pre 0,0,50,30 a200 @10,10", "B1 pre 0,0,50,30 a255 @10,10",
                        "CO pre 0,0,10,10 a255 @15,15", "O2 pre 0,0,50,30 a255 @10,10"}));
    EXPECT_EQ(target.GetOrigin(), gCPoint(0, 0));
}

TEST_F(RenderPass, HiddenWidgetsAndANullTargetDrawNothing) {
    CWidget* widget = Add(root, "W", gCRect(10, 10, 60, 40));
    ASSERT_EQ(widget->SetVisibility(0, 0), eNoError);
    ASSERT_EQ(Render(), eNoError);
    EXPECT_EQ(log, Log{});
    EXPECT_EQ(root.PassRenderAreaTransparent(kEverything, nullptr, 255), eBadParameter);
}

} // namespace
