// Effects loaded from the chunks of widget blocks written by the block
// writer: every field applied, the odd values, the places, and every way a
// chunk can fail with the texts it shows.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/Utf8.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "widgets/CoWidget.h"
#include "widgets/Widget.h"
#include "widgets/WidgetConstructor.h"
#include "widgets/WidgetEffectConstructor.h"
#include "widgets/effects/EffectBorder.h"
#include "widgets/effects/EffectCutout.h"
#include "widgets/effects/EffectGlow.h"
#include "widgets/effects/EffectGradient.h"
#include "widgets/effects/EffectShadow.h"
#include "widgets/effects/EffectTexture.h"

namespace {

using Fields = std::vector<SEffectField>;
using Strings = std::vector<std::string>;

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// shad/glow: layer, colour, radius, x, y, opacity, clip, overlay.
Fields ShadowFields(int64_t layer, int64_t colour, float radius, int64_t x, int64_t y,
                    int64_t opacity, int64_t clip, int64_t overlay) {
    return {FieldInt(layer), FieldInt(colour),  FieldReal(radius), FieldInt(x),
            FieldInt(y),     FieldInt(opacity), FieldInt(clip),    FieldInt(overlay)};
}

class EffectChunks : public TempVolume {
protected:
    // A 'cowg' of 40 x 30 named W with the chunks, loaded; null on failure.
    std::unique_ptr<CWidget> Load(const CWidgetChunks& effects) {
        CWidgetChunks chunks;
        chunks.Real("xsiz", 40.0f).Real("ysiz", 30.0f);
        for (const SWidgetChunk& c : effects.Chunks()) {
            chunks.Add(c);
        }
        (void)m_File.Close(); // a file not yet open has nothing to close
        MakeFile("system.vrf", ResourceFileBytes(2, {WidgetBlock("cowg", 1, "W", chunks)}));
        gCFRef ref(S("HD:system.vrf"));
        EXPECT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
        m_Index.ClearContents();
        EXPECT_EQ(m_Index.SetupIndex(&m_File), eNoError);
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
        gCString name;
        EXPECT_EQ(gStringFromUtf8(name, "W"), eNoError);
        return std::unique_ptr<CWidget>(CWidgetConstructor::ConstructFromName(name, nullptr));
    }
    Strings Details() const {
        Strings out;
        for (const auto& alert : m_Services.m_Alerts) {
            const size_t lf = alert.text.find('\n');
            out.push_back(lf == std::string::npos ? std::string() : alert.text.substr(lf + 1));
        }
        return out;
    }
    // The texts of a failed load, without the constructor's own last line.
    Strings FailedLoad(const CWidgetChunks& effects) {
        m_Services.m_Alerts.clear();
        EXPECT_EQ(Load(effects), nullptr);
        Strings shown = Details();
        if (!shown.empty()) {
            shown.pop_back();
        }
        return shown;
    }

    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
};

TEST_F(EffectChunks, ShadowAndGlowTakeEveryField) {
    auto w = Load(CWidgetChunks()
                      .Effect("shad", ShadowFields(1, 0x00112233, 5.0f, -3, 6, 99, 1, 0))
                      .Effect("glow", ShadowFields(2, 0x80445566, 4.0f, 2, -1, 77, 2, 5)));
    ASSERT_NE(w, nullptr);
    auto* s = dynamic_cast<CWidgetEffectShadow*>(w->EffectUnder(1));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->TypeID(), FourCC("shfx"));
    EXPECT_EQ(uint32_t(s->Colour()), 0xFF112233u); // the chunk's colour alpha is not taken
    EXPECT_EQ(s->Radius(), 5.0f);
    EXPECT_EQ(s->Offset(), gCPoint(-3, 6));
    EXPECT_EQ(s->Opacity(), 99);
    EXPECT_EQ(s->ClipToWidget(), 1);
    EXPECT_EQ(s->OutsideOnly(), 0);
    // Overlay 5 goes over.
    auto* g = dynamic_cast<CWidgetEffectGlow*>(w->EffectOver(2));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(uint32_t(g->Colour()), 0xFF445566u);
    EXPECT_EQ(g->Offset(), gCPoint(2, -1));
    EXPECT_EQ(g->Opacity(), 77);
    EXPECT_EQ(g->ClipToWidget(), 0);
    EXPECT_EQ(g->OutsideOnly(), 1);
}

TEST_F(EffectChunks, ClipThreeSetsNeitherFlagAndANonFiniteRadiusTakesTheDefault) {
    auto w = Load(CWidgetChunks()
                      .Effect("shad", ShadowFields(0, 0, kNaN, 0, 0, 255, 3, 0))
                      .Effect("glow", ShadowFields(0, 0, INFINITY, 0, 0, 255, 0, 1)));
    ASSERT_NE(w, nullptr);
    auto* s = static_cast<CWidgetEffectShadow*>(w->EffectUnder(0));
    EXPECT_EQ(s->ClipToWidget(), 0);
    EXPECT_EQ(s->OutsideOnly(), 0);
    EXPECT_EQ(s->Radius(), 7.0f);
    EXPECT_EQ(static_cast<CWidgetEffectGlow*>(w->EffectOver(0))->Radius(), 10.0f);
}

TEST_F(EffectChunks, CutoutAndBorderTakeEveryField) {
    auto w = Load(
        CWidgetChunks()
            .Effect("ctot", {FieldInt(2), FieldInt(0x00203040), FieldReal(2.5f), FieldInt(3),
                             FieldInt(-2), FieldInt(128), FieldInt(0)})
            .Effect("brde", {FieldInt(1), FieldInt(0xFF000001), FieldInt(0xFF000002),
                             FieldInt(0xFF000003), FieldInt(0xFF000004), FieldInt(1), FieldInt(1),
                             FieldInt(0), FieldInt(2), FieldInt(2), FieldReal(2.5f), FieldInt(200),
                             FieldInt(1)}));
    ASSERT_NE(w, nullptr);
    auto* c = dynamic_cast<CWidgetEffectCutout*>(w->EffectUnder(2));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(uint32_t(c->Colour()), 0xFF203040u);
    EXPECT_EQ(c->Radius(), 2.5f);
    EXPECT_EQ(c->Offset(), gCPoint(3, -2));
    EXPECT_EQ(c->Opacity(), 128);
    auto* b = dynamic_cast<CWidgetEffectBorder*>(w->EffectOver(1));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(uint32_t(b->TopColour()), 0xFF000001u);
    EXPECT_EQ(uint32_t(b->LeftColour()), 0xFF000002u);
    EXPECT_EQ(uint32_t(b->RightColour()), 0xFF000003u);
    EXPECT_EQ(uint32_t(b->BottomColour()), 0xFF000004u);
    // Top and left active (only the value 1 counts): style 2 on them alone.
    EXPECT_EQ(b->EdgeStyle(CWidgetEffectBorder::eTop), 0xCCCCCCCCu);
    EXPECT_EQ(b->EdgeStyle(CWidgetEffectBorder::eLeft), 0xCCCCCCCCu);
    EXPECT_EQ(b->EdgeStyle(CWidgetEffectBorder::eRight), 0xFFFFFFFFu);
    EXPECT_EQ(b->EdgeStyle(CWidgetEffectBorder::eBottom), 0xFFFFFFFFu);
    EXPECT_EQ(b->BorderThickness(), 2.5f);
    EXPECT_EQ(b->Opacity(), 200);
}

TEST_F(EffectChunks, ABorderWithNoActiveEdgeOrStyleSevenKeepsSolidEdges) {
    for (int64_t style : {1, 7}) {
        const int64_t on = style == 1 ? 0 : 1;
        auto w = Load(CWidgetChunks().Effect(
            "brde", {FieldInt(0), FieldInt(0), FieldInt(0), FieldInt(0), FieldInt(0), FieldInt(on),
                     FieldInt(on), FieldInt(on), FieldInt(on), FieldInt(style), FieldReal(kNaN),
                     FieldInt(255), FieldInt(0)}));
        ASSERT_NE(w, nullptr);
        auto* b = static_cast<CWidgetEffectBorder*>(w->EffectUnder(0));
        for (uint32_t edge : {1u, 2u, 4u, 8u}) {
            EXPECT_EQ(b->EdgeStyle(edge), 0xFFFFFFFFu) << style;
        }
        EXPECT_EQ(b->BorderThickness(), 1.0f);
    }
}

TEST_F(EffectChunks, GradientTakesEveryFieldAndACountOfZeroReadsNoStops) {
    auto w = Load(CWidgetChunks()
                      .Effect("grdf", {FieldInt(2), FieldReal(0.25f), FieldInt(1), FieldInt(1),
                                       FieldReal(0.3f), FieldReal(0.7f), FieldInt(1),
                                       FieldInt(0xFFE39B45), FieldReal(0.5f), FieldInt(180),
                                       FieldInt(0)})
                      .Effect("grdf", {FieldInt(1), FieldReal(kNaN), FieldInt(6), FieldInt(2),
                                       FieldReal(kNaN), FieldReal(INFINITY), FieldInt(0),
                                       FieldInt(90), FieldInt(1)}));
    ASSERT_NE(w, nullptr);
    auto* g = dynamic_cast<CWidgetEffectGradient*>(w->EffectUnder(2));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->Angle(), 0.25f);
    EXPECT_EQ(g->BlendMode(), 1);
    EXPECT_EQ(g->Type(), 1);
    EXPECT_EQ(g->CentreX(), 0.3f);
    EXPECT_EQ(g->CentreY(), 0.7f);
    EXPECT_EQ(g->Gradient().Stops().GetSize(), 3);
    EXPECT_EQ(g->Opacity(), 180);
    auto* h = dynamic_cast<CWidgetEffectGradient*>(w->EffectOver(1));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->Angle(), 0.0f);
    EXPECT_EQ(h->CentreX(), 0.5f);
    EXPECT_EQ(h->CentreY(), 0.5f);
    EXPECT_EQ(h->Gradient().Stops().GetSize(), 2);
    EXPECT_EQ(h->Opacity(), 90);
}

TEST_F(EffectChunks, ASecondChunkForOnePlaceReplacesTheFirst) {
    auto w = Load(CWidgetChunks()
                      .Effect("shad", ShadowFields(0, 0, 3.0f, 0, 0, 10, 0, 0))
                      .Effect("ctot", {FieldInt(0), FieldInt(0), FieldReal(1.0f), FieldInt(1),
                                       FieldInt(1), FieldInt(20), FieldInt(0)}));
    ASSERT_NE(w, nullptr);
    ASSERT_NE(dynamic_cast<CWidgetEffectCutout*>(w->EffectUnder(0)), nullptr);
    EXPECT_EQ(w->EffectUnder(0)->Opacity(), 20);
}

TEST_F(EffectChunks, ALayerOutsideThePlacesOrAFailedRebuildFailsTheLoad) {
    for (int64_t layer : {3, -1}) {
        EXPECT_EQ(FailedLoad(CWidgetChunks().Effect(
                      "shad", ShadowFields(layer, 0, 3.0f, 0, 0, 10, 0, 0))),
                  (Strings{"Shadow add to parent failed.", "Widget shadow effect failed.",
                           "Error parsing widget data chunk type."}));
    }
    // A rebuild failing inside the add (a radius too large for any work
    // image, on a widget with a size): reported, and the place is emptied
    // by the widget.
    m_Services.m_Alerts.clear();
    CCoWidget widget;
    ASSERT_EQ(widget.SetSize(40, 30, 0), eNoError);
    const std::string bytes = CWidgetChunks()
                                  .Effect("shad", ShadowFields(1, 0, 1e30f, 0, 0, 10, 0, 0))
                                  .Data()
                                  .substr(8); // past the size and the code
    gCMemFile data;
    ASSERT_EQ(data.WriteBlock(bytes.data(), int32_t(bytes.size())), eNoError);
    ASSERT_EQ(data.Rewind(), eNoError);
    EXPECT_EQ(CWidgetEffectConstructor::ConstructEffect(int32_t(FourCC("shad")), &widget, &data),
              nullptr);
    EXPECT_EQ(widget.EffectUnder(1), nullptr);
    EXPECT_EQ(Details(), (Strings{"Shadow add to parent failed."}));
}

TEST_F(EffectChunks, AChunkCutShortShowsItsFieldsText) {
    struct SCut {
        const char* code;
        Fields fields;
        const char* kind;
        Strings texts;
    };
    const Fields shad = ShadowFields(0, 0, 1.0f, 0, 0, 0, 0, 0);
    const Fields ctot = {FieldInt(0), FieldInt(0), FieldReal(1.0f), FieldInt(0),
                         FieldInt(0), FieldInt(0), FieldInt(0)};
    const Fields brde = {FieldInt(0), FieldInt(0), FieldInt(0), FieldInt(0), FieldInt(0),
                         FieldInt(0), FieldInt(0), FieldInt(0), FieldInt(0), FieldInt(0),
                         FieldReal(1.0f), FieldInt(0), FieldInt(0)};
    const Fields grdf = {FieldInt(0), FieldReal(0.0f), FieldInt(0), FieldInt(0),
                         FieldReal(0.5f), FieldReal(0.5f), FieldInt(1), FieldInt(0),
                         FieldReal(0.5f), FieldInt(0), FieldInt(0)};
    const SCut cuts[] = {
        {"shad", shad, "Widget shadow effect failed.",
         {"Shadow layer.", "Shadow colour.", "Shadow Radius.", "Shadow XOff.", "Shadow YOff.",
          "Shadow Opacity.", "Shadow Clip to Widget.", "Shadow Overlay."}},
        {"glow", shad, "Widget glow effect failed.",
         {"Glow layer.", "Glow colour.", "Glow Radius.", "Glow XOff.", "Glow YOff.",
          "Glow Opacity.", "Glow Clip to Widget.", "Glow Overlay."}},
        {"ctot", ctot, "Widget cutout effect failed.",
         {"Cutout layer.", "Cutout colour.", "Cutout Radius.", "Cutout XOff.", "Cutout YOff.",
          "Cutout Opacity.", "Cutout Overlay."}},
        {"brde", brde, "Widget border effect failed.",
         {"Border layer.", "Border top colour.", "Border left colour.", "Border right colour.",
          "Border bottom colour.", "Border top edge active.", "Border left edge active.",
          "Border right edge active.", "Border bottom edge active.", "Border edge style.",
          "Border Width.", "Border Opacity.", "Border Overlay."}},
        {"grdf", grdf, "Widget gradient effect failed.",
         {"Gradient layer.", "Gradient Effect angle.", "Gradient Effect blend.",
          "Gradient Effect type.", "Gradient Effect centre x.", "Gradient Effect centre y.",
          "Gradient Effect Num Points.", "Gradient Effect Point colour.",
          "Gradient Effect Point loc.", "Gradient Opacity.", "Gradient Overlay."}},
    };
    for (const SCut& cut : cuts) {
        // (A chunk code with nothing after it at the block's end is never
        // parsed: the loop ends there.)
        for (size_t kept = 1; kept < cut.fields.size(); ++kept) {
            SCOPED_TRACE(std::string(cut.code) + " " + std::to_string(kept));
            const Fields fields(cut.fields.begin(), cut.fields.begin() + ptrdiff_t(kept));
            EXPECT_EQ(FailedLoad(CWidgetChunks().Effect(cut.code, fields)),
                      (Strings{cut.texts[kept], cut.kind,
                               "Error parsing widget data chunk type."}));
        }
    }
}

// A stop the gradient refuses (past 2.0, or not a number) is left out and
// the chunk read on: the stop after it, the opacity and the overlay.
TEST_F(EffectChunks, AStopTheGradientRefusesIsSkipped) {
    for (const float refused : {5.0f, 2.0f, kNaN, float(INFINITY)}) {
        SCOPED_TRACE(refused);
        m_Services.m_Alerts.clear();
        auto w = Load(CWidgetChunks().Effect(
            "grdf", {FieldInt(1), FieldReal(0.0f), FieldInt(0), FieldInt(0), FieldReal(0.5f),
                     FieldReal(0.5f), FieldInt(2), FieldInt(0xFF000000), FieldReal(refused),
                     FieldInt(0xFF336699), FieldReal(0.25f), FieldInt(200), FieldInt(1)}));
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(Details().empty());
        auto* g = dynamic_cast<CWidgetEffectGradient*>(w->EffectOver(1));
        ASSERT_NE(g, nullptr);
        const auto& stops = g->Gradient().Stops();
        ASSERT_EQ(stops.GetSize(), 3);
        EXPECT_EQ(stops[1].position, 0.25f);
        EXPECT_EQ(uint32_t(stops[1].colour), 0xFF336699u);
        EXPECT_EQ(stops[2].position, 1.0f);
        EXPECT_EQ(g->Opacity(), 200);
    }
}

TEST_F(EffectChunks, TheFactoryWithoutDataOrWidget) {
    CCoWidget widget;
    ASSERT_EQ(widget.SetSize(40, 30, 0), eNoError);
    for (uint32_t code : {FourCC("shad"), FourCC("glow"), FourCC("ctot"), FourCC("brde"),
                          FourCC("grdf"), FourCC("txtr")}) {
        SCOPED_TRACE(code);
        CWidgetEffectBase* e =
            CWidgetEffectConstructor::ConstructEffect(int32_t(code), &widget, nullptr);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(widget.EffectUnder(0), e); // layer 0, under
        std::unique_ptr<CWidgetEffectBase> detached(
            CWidgetEffectConstructor::ConstructEffect(int32_t(code), nullptr, nullptr));
        ASSERT_NE(detached, nullptr);
        EXPECT_EQ(detached->Owner(), nullptr);
        EXPECT_EQ(detached->TypeID(), e->TypeID());
    }
    m_Services.m_Alerts.clear();
    EXPECT_EQ(CWidgetEffectConstructor::ConstructEffect(int32_t(FourCC("nope")), &widget, nullptr),
              nullptr);
    EXPECT_EQ(Details(), (Strings{"Unrecognised type in widget constructor."}));
}

} // namespace
