// The colour picker with the built resource file and a backbone that
// passes every set back through the hub: its tree, the area presses, the
// colours it takes in, what each type repaints, the type button, the hide
// button, auto-clean and the dropper.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Utf8.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "text/TxWidget.h"
#include "ui/panels/CleanBrush.h"
#include "ui/panels/ColourPicker.h"
#include "ui/tests/ColourPanelsTest.h"
#include "widgets/ImWidget.h"

namespace {

using namespace ColourAreas;

std::vector<uint32_t> Pixels(CImage* image) {
    CImNav view(image);
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            pixels.push_back(uint32_t(view.Row(y)[x]));
        }
    }
    return pixels;
}

class ColourPickerTest : public ColourPanelsTest {
protected:
    void SetUp() override {
        ColourPanelsTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        m_pPicker = m_Backdrop.ColourPicker();
        ASSERT_NE(m_pPicker, nullptr);
        m_pMain = m_pPicker->MainArea();
        m_pStrip = m_pPicker->Strip();
    }
    std::vector<int64_t> Colours() const { return m_Backbone.Values(eMsgPaintColour); }
    std::string Label() {
        auto* label = dynamic_cast<CTxWidget*>(W(CColourPicker::kTypeLabelID));
        const gCString text = label->String();
        return gUtf16ToUtf8(std::u16string_view(text.GetBuffer(), size_t(text.GetLength())));
    }
    // The colour the picker would pick at point p of the main area.
    uint32_t MainPickAt(gCPoint p) {
        SColourState s = m_pPicker->State();
        PickMain(s, p, m_pMain->Width(), m_pMain->Height());
        return uint32_t(s.colour);
    }

    CColourPicker* m_pPicker = nullptr;
    CImWidget* m_pMain = nullptr;
    CImWidget* m_pStrip = nullptr;
};

} // namespace

TEST_F(ColourPickerTest, ItIsPanelTwoWithTheTreeThePickRulesNeed) {
    EXPECT_EQ(m_Backdrop.Panel(2), m_pPicker);
    EXPECT_EQ(m_Backdrop.PanelRoots()[2], m_pPicker->Root());
    EXPECT_EQ(m_pPicker->Root()->Parent(), &m_Backdrop);
    // At the right edge, 12 pixels in, below the bars.
    EXPECT_EQ(m_pPicker->Root()->Rect().right, 1024 - 12);
    EXPECT_GE(m_pPicker->Root()->Rect().top, 48);
    // The rules divide by W - 38 and Hs - 1; each image is its widget's size.
    ASSERT_NE(m_pMain, nullptr);
    ASSERT_NE(m_pStrip, nullptr);
    EXPECT_EQ(m_pMain->Width(), 180);
    EXPECT_EQ(m_pMain->Height(), 180);
    EXPECT_EQ(m_pStrip->Width(), 20);
    EXPECT_EQ(m_pStrip->Height(), 180);
    for (CImWidget* area : {m_pMain, m_pStrip}) {
        EXPECT_EQ(area->Image()->GetWidth(), area->Width());
        EXPECT_EQ(area->Image()->GetHeight(), area->Height());
    }
    EXPECT_EQ(m_pMain->Child(0)->Width(), 12);
    EXPECT_EQ(m_pStrip->Child(0)->Height(), 6);
    EXPECT_GE(W(CColourPicker::kOptionsID)->Width(), 236);
    EXPECT_EQ(W(CColourPicker::kHideID)->Rect().left, 34);
    EXPECT_EQ(W(CColourPicker::kHideID)->Rect().top, 34);
    EXPECT_EQ(W(CColourPicker::kDropperID)->Opacity(), 153u);
    // Type 1 with the first colour, reported at set-up.
    EXPECT_EQ(m_pPicker->Type(), eHueSaturation);
    EXPECT_EQ(Label(), "Hue · Saturation");
    std::vector<int64_t> reported;
    for (const CColourBackbone::SSet& s : m_StartSets) {
        if (s.id == eMsgPaintColour) {
            EXPECT_EQ(s.sender, m_pPicker);
            reported.push_back(s.value);
        }
    }
    EXPECT_EQ(reported, std::vector<int64_t>{0xFF80A0FF});
    EXPECT_EQ(dynamic_cast<CCoWidget*>(W(CColourPicker::kSwatchID))->GetClientColour(),
              CPixel(0xFF80A0FF));
}

TEST_F(ColourPickerTest, APressWithoutMovingReportsOneColourOnEveryPass) {
    const gCPoint local(30, 150);
    const uint32_t expected = MainPickAt(local);
    ASSERT_EQ(Press(m_pMain, {Idle(), Idle(), Idle()}, PointIn(m_pMain, local.x, local.y)),
              eNoError);
    const std::vector<int64_t> colours = Colours();
    // Five passes: the first, and one after each idle pump and after the
    // release.
    EXPECT_EQ(colours.size(), 5u);
    for (const int64_t c : colours) {
        EXPECT_EQ(uint32_t(c), expected);
    }
    for (const CColourBackbone::SSet& s : m_Backbone.m_Sets) {
        EXPECT_EQ(s.sender, m_pPicker);
    }
    EXPECT_EQ(m_pPicker->State().colour, CPixel(expected));
    EXPECT_EQ(dynamic_cast<CCoWidget*>(W(CColourPicker::kSwatchID))->GetClientColour(),
              CPixel(expected | 0xFF000000u));
}

TEST_F(ColourPickerTest, DraggingOutOfAnAreaPicksAlongItsEdge) {
    struct SCase {
        const char* what;
        bool strip;
        gCPoint out;     // in the area's own terms
        gCPoint clamped; // where it picks
    } const kCases[] = {
        {"main area, out left and below", false, {-50, 400}, {0, 179}},
        {"main area, out above", false, {179, -30}, {179, 0}},
        {"strip, out above", true, {10, -100}, {10, 0}},
        {"strip, out below", true, {-20, 900}, {0, 179}},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.what);
        m_Backbone.m_Sets.clear();
        CImWidget* area = c.strip ? m_pStrip : m_pMain;
        SColourState s = m_pPicker->State();
        if (c.strip) {
            PickStrip(s, c.clamped.y, area->Height());
        } else {
            PickMain(s, c.clamped, area->Width(), area->Height());
        }
        ASSERT_EQ(
            Press(area, {MoveTo(PointIn(area, c.out.x, c.out.y)), Idle()}, PointIn(area, 5, 5)),
            eNoError);
        ASSERT_FALSE(Colours().empty());
        EXPECT_EQ(uint32_t(Colours().back()), uint32_t(s.colour));
    }
}

TEST_F(ColourPickerTest, OwnReportsKeepTheHlsAndOnlyANewColourFromElsewhereResetsIt) {
    // A pick in the hole in type 1 gives a grey and keeps the hue of the
    // angle (1/2 on the diagonal).
    ASSERT_EQ(Press(m_pMain, {}, PointIn(m_pMain, 170, 170)), eNoError);
    const SColourState grey = m_pPicker->State();
    ASSERT_EQ(grey.saturation, 0.0f);
    ASSERT_FLOAT_EQ(grey.hue, 0.5f);
    const int32_t other = 0;
    struct SCase {
        const char* what;
        const void* sender;
        uint32_t colour;
        bool recomputed;
    } const kCases[] = {
        {"its own report of the same grey", m_pPicker, uint32_t(grey.colour), false},
        {"the same grey from elsewhere", &other, uint32_t(grey.colour), false},
        {"its own sender with another colour", m_pPicker, 0xFF00FF00, false},
        {"another colour from elsewhere", &other, 0xFF00FF00, true},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(m_Backdrop.ProcessData(eMsgPaintColour, c.sender, c.colour, 1), 0);
        const SColourState& now = m_pPicker->State();
        if (c.recomputed) {
            EXPECT_EQ(now.colour, CPixel(c.colour));
            EXPECT_FLOAT_EQ(now.hue, 1.0f / 3.0f);
            EXPECT_EQ(now.saturation, 1.0f);
        } else {
            EXPECT_EQ(now.colour, grey.colour);
            EXPECT_EQ(now.hue, grey.hue);
            EXPECT_EQ(now.saturation, grey.saturation);
        }
    }
    // A get never changes anything.
    EXPECT_EQ(m_pPicker->ProcessData(eMsgPaintColour, &other, 0xFF123456, 0), 0);
    EXPECT_EQ(m_pPicker->State().colour, CPixel(0xFF00FF00));
}

TEST_F(ColourPickerTest, AColourChangeRepaintsWhatDependsOnItByType) {
    const int32_t other = 0;
    struct SCase {
        int32_t type;
        bool main;
        bool strip;
    } const kCases[] = {
        {0, false, true},  {1, false, true},  {2, true, false},
        {3, false, false}, {4, false, false}, {5, false, false},
    };
    uint32_t colour = 0xFF20C040;
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.type);
        ASSERT_EQ(m_pPicker->SetPickerType(c.type), eNoError);
        const std::vector<uint32_t> main = Pixels(m_pMain->Image());
        const std::vector<uint32_t> strip = Pixels(m_pStrip->Image());
        colour ^= 0x00A05080; // another hue and lightness each time
        ASSERT_EQ(m_pPicker->ProcessData(eMsgPaintColour, &other, colour, 1), eNoError);
        EXPECT_EQ(Pixels(m_pMain->Image()) != main, c.main);
        EXPECT_EQ(Pixels(m_pStrip->Image()) != strip, c.strip);
        // The indicators follow in every type.
        const gCPoint at = MainIndicator(m_pPicker->State(), 180, 180, 12, 12);
        EXPECT_EQ(m_pMain->Child(0)->Rect().left, at.x);
        EXPECT_EQ(m_pMain->Child(0)->Rect().top, at.y);
        EXPECT_EQ(m_pStrip->Child(0)->Rect().top, StripIndicator(m_pPicker->State(), 180, 6));
    }
}

TEST_F(ColourPickerTest, TheTypeButtonStepsRoundAndTheLabelStaysCentred) {
    const char* const kNames[] = {"Hue · Lightness", "Hue · Saturation", "Lightness · Saturation",
                                  "Red · Green",     "Red · Blue",       "Blue · Green"};
    CWidget* button = W(CColourPicker::kTypeID);
    CWidget* label = W(CColourPicker::kTypeLabelID);
    ASSERT_EQ(m_pPicker->SetPickerType(5), eNoError);
    for (int32_t step = 0; step < 7; ++step) {
        const int32_t expected = step % 6; // from 5 the first step gives 0
        SCOPED_TRACE(step);
        ASSERT_EQ(Press(button, {}), eNoError);
        EXPECT_EQ(m_pPicker->Type(), expected);
        EXPECT_EQ(Label(), kNames[expected]);
        EXPECT_EQ(label->Rect().left, 118 - label->Width() / 2);
    }
    EXPECT_EQ(Sounds(), std::vector<int32_t>(7, 0));
    // Types outside 0 to 5 are refused and the type stays.
    for (const int32_t bad : {6, -1, 1000}) {
        EXPECT_EQ(m_pPicker->SetPickerType(bad), eBadParameter);
        EXPECT_EQ(m_pPicker->Type(), 0);
    }
    // A release off the button changes nothing.
    ASSERT_EQ(Press(button, {Point(&m_Backdrop)}), eNoError);
    EXPECT_EQ(m_pPicker->Type(), 0);
}

TEST_F(ColourPickerTest, TheHideButtonFoldsTheBodyAndTheCleanBrushPanel) {
    CWidget* hide = W(CColourPicker::kHideID);
    CWidget* body = W(CColourPicker::kBodyID);
    CWidget* glass = W(CCleanBrush::kRootID);
    gCPoint held;
    // Released off it: pressed look while held, nothing else.
    ASSERT_EQ(Press(hide, {[&] { held = gCPoint(hide->Rect().left, hide->Rect().top); },
                           Point(&m_Backdrop)}),
              eNoError);
    EXPECT_EQ(held, gCPoint(32, 32));
    EXPECT_EQ(gCPoint(hide->Rect().left, hide->Rect().top), gCPoint(34, 34));
    EXPECT_TRUE(Sounds().empty());
    EXPECT_TRUE(body->Visible());
    EXPECT_TRUE(glass->Visible());
    // Two clicks fold both and bring both back.
    for (const int32_t shown : {0, 1}) {
        ASSERT_EQ(Press(hide, {}), eNoError);
        EXPECT_EQ(body->Visible(), shown);
        EXPECT_EQ(glass->Visible(), shown);
        EXPECT_TRUE(hide->Visible());
        EXPECT_TRUE(W(CColourPicker::kDropperID)->Visible());
    }
    EXPECT_EQ(Sounds(), (std::vector<int32_t>{0, 0}));
    // Without the clean-brush panel the body folds alone (the removal
    // deletes the root; nothing here walks the panels afterwards).
    m_Backdrop.SetPanel(5, nullptr);
    ASSERT_EQ(m_Backdrop.RemoveChild(glass, 0), eNoError);
    ASSERT_EQ(Press(hide, {}), eNoError);
    EXPECT_FALSE(body->Visible());
}

TEST_F(ColourPickerTest, AutoCleanOnCleansAtOnceAndTheImageFollowsTheFlag) {
    CWidget* button = W(CColourPicker::kAutoCleanID);
    auto* image = dynamic_cast<CImWidget*>(W(CColourPicker::kAutoCleanImageID));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->ImageIndex(), 0);
    ASSERT_EQ(Press(button, {}), eNoError);
    EXPECT_EQ(m_Backbone.m_fAutoClean, 1);
    EXPECT_EQ(m_Backbone.Values(eCmdCleanBrush), std::vector<int64_t>{0});
    EXPECT_EQ(image->ImageIndex(), 1) << "the flag came back through the hub";
    m_Backbone.m_Sets.clear();
    ASSERT_EQ(Press(button, {}), eNoError);
    EXPECT_EQ(m_Backbone.m_fAutoClean, 0);
    EXPECT_TRUE(m_Backbone.Values(eCmdCleanBrush).empty());
    EXPECT_EQ(image->ImageIndex(), 0);
    EXPECT_EQ(Sounds(), (std::vector<int32_t>{0, 0}));
    // A flag from elsewhere (a key, the preferences) shows the same way.
    int32_t on = 1;
    EXPECT_EQ(m_pPicker->ProcessData(eCmdAutoClean, &m_Backbone, ChannelValueOf(&on), 1), 0);
    EXPECT_EQ(image->ImageIndex(), 1);
}

TEST_F(ColourPickerTest, TheDropperClearsThePanelsAndTakesOpaqueColoursFromTheScreen) {
    CWidget* dropper = W(CColourPicker::kDropperID);
    CWidget* body = W(CColourPicker::kBodyID);
    const gCPoint spot(300, 400);
    std::vector<CWidget*> hiddenMidDrag;
    bool bodyHiddenMidDrag = false;
    ASSERT_EQ(Press(dropper, {[&] {
                                  // What the window shows there: a colour whose alpha the
                                  // back buffer happens to hold below 255.
                                  CImNav view(m_Backdrop.BackBuffer());
                                  view.Row(spot.y)[spot.x] = CPixel(0x40336699);
                                  m_Services.m_CursorLoc = spot;
                              },
                              [&] {
                                  for (CWidget* root : m_Backdrop.DragHidden()) {
                                      hiddenMidDrag.push_back(root);
                                  }
                                  bodyHiddenMidDrag = !body->Visible();
                                  m_Services.m_CursorLoc = gCPoint(-5, 10); // off the back buffer
                              },
                              MoveTo(gCPoint(10, 5000))}),
              eNoError);
    // Panels 0, 1, 3, 4 and 5 were hidden, the picker's own body too, not
    // its root.
    EXPECT_EQ(hiddenMidDrag,
              (std::vector<CWidget*>{m_Backdrop.PanelRoots()[0], m_Backdrop.PanelRoots()[1],
                                     m_Backdrop.PanelRoots()[3], m_Backdrop.PanelRoots()[4],
                                     m_Backdrop.PanelRoots()[5]}));
    EXPECT_TRUE(bodyHiddenMidDrag);
    EXPECT_TRUE(m_pPicker->Root()->Visible());
    // Reported opaque with the backdrop as sender; the points off the back
    // buffer reported nothing and the colour stayed.
    ASSERT_FALSE(Colours().empty());
    EXPECT_EQ(uint32_t(Colours().back()), 0xFF336699u);
    for (const CColourBackbone::SSet& s : m_Backbone.m_Sets) {
        EXPECT_EQ(s.sender, &m_Backdrop);
        EXPECT_EQ(uint32_t(s.value) >> 24, 0xFFu);
    }
    EXPECT_EQ(m_pPicker->State().colour, CPixel(0xFF336699));
    // All back on release.
    EXPECT_TRUE(body->Visible());
    for (CWidget* root : m_Backdrop.PanelRoots()) {
        EXPECT_TRUE(root->Visible());
    }
    EXPECT_EQ(m_Backdrop.DragHidden().GetSize(), 0);
    EXPECT_EQ(m_Backdrop.ModalCount(), 0);
}
