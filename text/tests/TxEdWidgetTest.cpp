// The edit field on a backdrop root as its focus widget: texts refused and
// taken, clicks and drags, scrolling, focus, the caret's and selection's
// pixels, the blink on the fake clock, the keys with the clipboard and the
// notifications, the paste rule, and loading.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "testsupport/foundation/FakeClock.h"
#include "text/TxEdWidget.h"
#include "text/tests/WidgetFileFixture.h"
#include "widgets/Backdrop.h"
#include "widgets/CoWidget.h"
#include "widgets/WidgetConstructor.h"

namespace {

gCString Units(const std::string& utf8) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, utf8), eNoError);
    return s;
}

std::string Utf8(const gCString& s) {
    return gStringToUtf8(s);
}

constexpr uint32_t kGround = 0x80102030;
constexpr int32_t kLeft = 10;
constexpr int32_t kTop = 20;
constexpr int32_t kHeight = 24;

// Counts the invalidations that reach it.
class CCountingEdWidget : public CTxEdWidget {
public:
    error InvalidateArea(const gCRect& local, int32_t redraw) override {
        ++m_nInvalidations;
        return CTxEdWidget::InvalidateArea(local, redraw);
    }
    int32_t m_nInvalidations = 0;
};

class EditFieldTest : public WidgetFileFixture {
protected:
    void SetUp() override {
        WidgetFileFixture::SetUp();
        ASSERT_EQ(m_Root.SetSize(300, 100, 0), eNoError);
        ASSERT_EQ(m_Root.SetVisibility(1, 0), eNoError);
    }
    void TearDown() override {
        m_Root.DestroyChildren(); // the fields before the fonts
        WidgetFileFixture::TearDown();
    }

    // A field of that width and 24 high at (10, 20) with a DejaVu Sans
    // Mono 13-pixel caption, the focus widget of the root; with an image
    // unless told otherwise, and the text set when there is one.
    template <class W = CTxEdWidget>
    W* Field(const std::string& text, int32_t width = 120, bool image = true) {
        auto* field = new W;
        if (image) {
            EXPECT_EQ(field->SetImage(new CImage(width, kHeight), 1, 0), eNoError);
        } else {
            EXPECT_EQ(field->SetSize(width, kHeight, 0), eNoError);
        }
        EXPECT_EQ(field->SetFontName(Units("DejaVu Sans Mono"), 0, 0), eNoError);
        EXPECT_EQ(field->SetFontPixelHeight(13, 1, 0), eNoError);
        EXPECT_EQ(field->SetPosition(kLeft, kTop, 0), eNoError);
        EXPECT_EQ(field->SetVisibility(1, 0), eNoError);
        EXPECT_EQ(m_Root.AddChild(field, 0), eNoError);
        EXPECT_EQ(field->SetFocus(0), eNoError);
        EXPECT_EQ(m_Root.FocusWidget(), field);
        if (!text.empty()) {
            EXPECT_EQ(field->SetText(Units(text), 1, 0), eNoError);
        }
        return field;
    }
    // Caret and anchor placed (the anchor first).
    static void Place(CTxEdWidget& field, int32_t caret, int32_t anchor) {
        ASSERT_EQ(field.SetCaretPos(uint32_t(anchor), 0, 0), eNoError);
        ASSERT_EQ(field.SetCaretPos(uint32_t(caret), 1, 0), eNoError);
    }
    void Hold(bool ctrl, bool shift) {
        m_Services.m_nModifiers = (ctrl ? ModifierBitForKey(kKeyCommand) : 0) |
                                  (shift ? ModifierBitForKey(kKeyShift) : 0);
    }
    // The caption's left edge in the field.
    static int32_t CaptionLeft(CTxEdWidget& field) { return field.Caption().Rect().left; }
    // The rows the caret spans, worked out from the face's line height.
    static void Rows(int32_t& top, int32_t& bottom) {
        CTextRenderer renderer = Renderer("DejaVu Sans Mono", 13);
        FT_Face face = nullptr;
        ASSERT_EQ(renderer.BuildFace(face), eNoError);
        const float line = renderer.m_rLineHeight;
        top = int32_t(std::lround((kHeight - line) * 0.5f));
        bottom = int32_t(std::lround((kHeight + line) * 0.5f));
    }
    // The root's area drawn by the field's pass over a flat ground.
    std::unique_ptr<CImage> Drawn(CTxEdWidget& field, const gCRect& area) {
        auto target = std::make_unique<CImage>(300, 100);
        CImNav(target.get()).Fill(kGround);
        EXPECT_EQ(field.RenderSelectionAndCaret(area, target.get(), 255), eNoError);
        return target;
    }
    // Every pixel of the target: inverted inside the rect (root
    // coordinates), the ground elsewhere.
    static void ExpectInverted(CImage& target, const gCRect& rect) {
        CImNav view(&target);
        int32_t wrong = 0;
        for (int32_t y = 0; y < view.GetHeight(); ++y) {
            for (int32_t x = 0; x < view.GetWidth(); ++x) {
                const bool inside =
                    x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
                const uint32_t want = inside ? (kGround ^ 0x00FFFFFFu) : kGround;
                if (uint32_t(view.Row(y)[x]) != want && ++wrong < 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    CFakeClock m_Clock;
    CBackdrop m_Root;
};

} // namespace

// ---------------------------------------------------------------------------
// Texts, clicks, scrolling, focus

TEST_F(EditFieldTest, SetTextRefusesWhatTheModeAndLengthRefuse) {
    struct Case {
        const char* text;
        int32_t numeric, real, max;
        error result;
    };
    for (const Case& c : {Case{"12.5", 1, 0, -1, eHandled}, Case{"12.5", 1, 1, -1, eNoError},
                          Case{"-", 1, 0, -1, eNoError}, Case{"abcde", 0, 1, 4, eHandled},
                          Case{"abcde", 0, 1, 5, eNoError}, Case{".5", 1, 1, -1, eHandled}}) {
        SCOPED_TRACE(std::string(c.text) + " max " + std::to_string(c.max));
        CTxEdWidget* field = Field("old");
        field->SetNumeric(c.numeric, c.real);
        field->m_nMaxLength = c.max;
        EXPECT_EQ(field->SetText(Units(c.text), 1, 0), c.result);
        const std::string shown = c.result == eNoError ? c.text : "old";
        EXPECT_EQ(Utf8(field->String()), shown);
        // Shown wholly selected, the caret after the last character.
        EXPECT_EQ(field->CaretPos(), int32_t(shown.size()));
        EXPECT_EQ(field->AnchorPos(), 0);
        m_Root.DestroyChildren();
    }
    // The point-first text is refused without the splitter's alert.
    EXPECT_TRUE(m_Services.m_Alerts.empty());
}

TEST_F(EditFieldTest, AClickPlacesTheCaretByTheSixtyFortyRule) {
    CTxEdWidget* field = Field("abc");
    const gCArray<int32_t>& x = field->CharPositions();
    ASSERT_EQ(x.GetSize(), 4);
    const int32_t cl = CaptionLeft(*field);
    const float first = float(x[1] - x[0]);
    for (const auto& [at, caret] : {std::pair{0.5f * first, 0}, std::pair{0.7f * first, 1},
                                    std::pair{float(x[3] + 20), 3}, std::pair{-1.0f, 0}}) {
        SCOPED_TRACE(at);
        CWidget* taker = nullptr;
        gCPoint point(cl + int32_t(std::lround(at)), 12);
        ASSERT_EQ(field->ButtonDownL(taker, point), eNoError);
        EXPECT_EQ(taker, field);
        EXPECT_EQ(field->CaretPos(), caret);
        EXPECT_EQ(field->AnchorPos(), caret);
    }
}

TEST_F(EditFieldTest, ADragBackFromTheEndSelectsToThePointer) {
    CTxEdWidget* field = Field("abcdef");
    const gCArray<int32_t>& x = field->CharPositions();
    const int32_t cl = CaptionLeft(*field);
    // Pressed right of the text; the pointer moves over the second
    // character's left part, then the button goes up.
    m_Services.m_fLButton = 1;
    m_Services.m_CursorLoc = gCPoint(kLeft + cl + x[6] + 30, kTop + 12);
    int32_t pumps = 0;
    m_Services.m_OnPump = [&] {
        ++pumps;
        if (pumps == 1) {
            m_Services.m_CursorLoc = gCPoint(kLeft + cl + x[1] + 1, kTop + 12);
        } else {
            m_Services.m_fLButton = 0;
        }
    };
    CWidget* taker = nullptr;
    gCPoint point(cl + x[6] + 30, 12);
    ASSERT_EQ(field->ButtonDownL(taker, point), eNoError);
    EXPECT_EQ(field->AnchorPos(), 6);
    EXPECT_EQ(field->CaretPos(), 1);
    EXPECT_EQ(Utf8(field->GetSelectedText(0)), "bcdef");
}

TEST_F(EditFieldTest, ALongTextScrollsToKeepTheCaretInside) {
    CTxEdWidget* field = Field("the quick brown fox jumps over the dog", 120);
    const gCArray<int32_t>& x = field->CharPositions();
    const int32_t last = x.GetSize() - 1;
    ASSERT_GT(x[last], 120);
    EXPECT_EQ(CaptionLeft(*field) + x[0], 2); // set texts start scrolled to their start
    ASSERT_EQ(field->MovementKey(kKeyCodeEnd), eNoError);
    EXPECT_EQ(field->CaretPos(), last);
    EXPECT_EQ(CaptionLeft(*field) + x[last], 120 - 2);
    ASSERT_EQ(field->MovementKey(kKeyCodeHome), eNoError);
    EXPECT_EQ(CaptionLeft(*field) + x[0], 2);
}

TEST_F(EditFieldTest, WithoutTheFocusNothingIsDrawnAndNothingBlinks) {
    CTxEdWidget* field = Field("abc");
    auto* other = new CCoWidget;
    ASSERT_EQ(other->SetSize(20, 20, 0), eNoError);
    ASSERT_EQ(other->SetVisibility(1, 0), eNoError);
    ASSERT_EQ(m_Root.AddChild(other, 0), eNoError);
    ASSERT_EQ(other->SetFocus(0), eNoError);
    // Losing the focus collapsed the selection and hid the caret.
    EXPECT_EQ(field->CaretPos(), field->AnchorPos());
    EXPECT_EQ(field->CaretPhase(), 1);

    const gCRect all(0, 0, 300, 100);
    ExpectInverted(*Drawn(*field, all), gCRect());
    m_Clock.AdvanceMilliseconds(800);
    ASSERT_EQ(field->Heartbeat(), eNoError);
    EXPECT_EQ(field->CaretPhase(), 1);

    // Hidden until the next restart and blink change.
    ASSERT_EQ(field->SetFocus(0), eNoError);
    ASSERT_EQ(field->Caret(1), eNoError);
    ASSERT_EQ(field->Heartbeat(), eNoError);
    EXPECT_EQ(field->CaretPhase(), 0);
}

// ---------------------------------------------------------------------------
// Drawing and blinking

TEST_F(EditFieldTest, TheCaretIsTwoInvertedColumnsOverTheLine) {
    int32_t top = 0, bottom = 0;
    Rows(top, bottom);
    ASSERT_LT(top, bottom);
    for (const bool image : {true, false}) {
        SCOPED_TRACE(image ? "with an image" : "without an image");
        CTxEdWidget* field = Field("", 120, image);
        const gCRect all(0, 0, 300, 100);
        // An empty text: at the caption's left edge.
        const int32_t cl = CaptionLeft(*field);
        ExpectInverted(*Drawn(*field, all),
                       gCRect(kLeft + cl, kTop + top, kLeft + cl + 2, kTop + bottom));
        // After a character: a pixel left of its right edge.
        CWidget* taker = nullptr;
        ASSERT_EQ(field->KeyDown(taker, 'a'), eNoError);
        ASSERT_EQ(field->CharPositions().GetSize(), 2);
        const int32_t x = CaptionLeft(*field) + field->CharPositions()[1] - 1;
        ExpectInverted(*Drawn(*field, all),
                       gCRect(kLeft + x, kTop + top, kLeft + x + 2, kTop + bottom));
        m_Root.DestroyChildren();
    }
}

TEST_F(EditFieldTest, ASelectionIsInvertedWithinTheArea) {
    int32_t top = 0, bottom = 0;
    Rows(top, bottom);
    CTxEdWidget* field = Field("abcd"); // wholly selected
    const gCArray<int32_t>& x = field->CharPositions();
    const int32_t cl = CaptionLeft(*field);
    // The area (root coordinates) cuts the selection on the right and
    // below.
    const gCRect area(0, 0, kLeft + cl + x[2] + 1, kTop + bottom - 3);
    ExpectInverted(*Drawn(*field, area),
                   gCRect(kLeft + cl + x[0], kTop + top, area.right, area.bottom));
}

// Through the root's own drawing, the caret is inverted once, whether the
// field draws itself in the opaque pass or is composited over its ground.
TEST_F(EditFieldTest, TheRootDrawsTheCaretOnceOverTheFieldsImage) {
    int32_t top = 0, bottom = 0;
    Rows(top, bottom);
    m_Root.CreationComplete();
    for (const int32_t opaque : {0, 1}) {
        SCOPED_TRACE(opaque);
        CTxEdWidget* field = Field("");
        CImNav(field->Image()).Fill(0xFFF4F0E6u);
        field->SetOpaqueBlit(opaque);
        ASSERT_EQ(m_Root.CompositeArea(gCRect(0, 0, 300, 100)), eNoError);
        CImNav view(m_Root.BackBuffer());
        const int32_t x0 = kLeft + CaptionLeft(*field);
        int32_t wrong = 0;
        for (int32_t y = kTop; y < kTop + kHeight; ++y) {
            for (int32_t x = kLeft; x < kLeft + 120; ++x) {
                const bool caret = x >= x0 && x < x0 + 2 && y >= kTop + top && y < kTop + bottom;
                const uint32_t want = caret ? 0xFF0B0F19u : 0xFFF4F0E6u;
                if ((uint32_t(view.Row(y)[x]) | 0xFF000000u) != want && ++wrong < 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex
                                  << uint32_t(view.Row(y)[x]);
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        m_Root.DestroyChildren();
    }
}

TEST_F(EditFieldTest, TheCaretBlinksOnTheClock) {
    for (const int32_t rate : {500, 1000}) {
        SCOPED_TRACE(rate);
        auto* field = Field<CCountingEdWidget>("ab");
        field->SetBlinkRate(rate);
        EXPECT_EQ(field->BlinkRate(), rate);
        ASSERT_EQ(field->Caret(1), eNoError);
        const int32_t unit = rate / 2; // a quarter period shown first
        // (milliseconds since the restart, shown)
        int32_t at = 0;
        for (const auto& [when, shown] :
             {std::pair{0, true}, std::pair{unit - 1, true}, std::pair{unit, false},
              std::pair{3 * unit, false}, std::pair{3 * unit + 1, true},
              std::pair{5 * unit - 1, true}, std::pair{5 * unit, false}}) {
            SCOPED_TRACE(when);
            m_Clock.AdvanceMilliseconds(uint64_t(when - at));
            at = when;
            const int32_t before = field->m_nInvalidations;
            const int32_t phase = field->CaretPhase();
            ASSERT_EQ(field->Heartbeat(), eNoError);
            EXPECT_EQ(field->CaretPhase() == 0, shown);
            // Only a change of phase invalidates.
            EXPECT_EQ(field->m_nInvalidations - before, field->CaretPhase() != phase ? 1 : 0);
        }
        m_Root.DestroyChildren();
    }
}

// ---------------------------------------------------------------------------
// Keys

TEST_F(EditFieldTest, KeysEditMoveAndNotify) {
    constexpr uint32_t kNone = 0;
    struct Case {
        const char* text;
        int32_t caret, anchor, numeric, real, max;
        uint32_t key;
        bool ctrl, shift;
        const char* outText;
        int32_t outCaret, outAnchor;
        bool taken;
        uint32_t message;
    };
    const Case cases[] = {
        {"", 0, 0, 1, 0, -1, '7', false, false, "7", 1, 1, true, kNone},
        {"7", 1, 1, 1, 0, -1, '.', false, false, "7", 1, 1, true, kNone},
        {"7", 1, 1, 1, 1, -1, '.', false, false, "7.", 2, 2, true, kNone},
        {"", 0, 0, 1, 0, -1, '-', false, false, "-", 1, 1, true, kNone},
        {"abcd", 4, 0, 0, 1, 4, 'x', false, false, "x", 1, 1, true, kNone},
        {"abcd", 4, 4, 0, 1, 4, 'x', false, false, "abcd", 4, 4, true, kNone},
        {"ac", 1, 1, 0, 1, -1, 'b', false, false, "abc", 2, 2, true, kNone},
        {"", 0, 0, 0, 1, -1, 0xFFFFFF8E, false, false, "\u00e9", 1, 1, true, kNone},
        {"abc", 0, 0, 0, 1, -1, kKeyCodeBackspace, false, false, "abc", 0, 0, true, kNone},
        {"abc", 2, 2, 0, 1, -1, kKeyCodeBackspace, false, false, "ac", 1, 1, true, kNone},
        {"abc", 3, 3, 0, 1, -1, kKeyCodeDelete, false, false, "abc", 3, 3, true, kNone},
        {"abcd", 3, 1, 0, 1, -1, kKeyCodeDelete, false, false, "ad", 1, 1, true, kNone},
        {"abcd", 2, 2, 0, 1, -1, kKeyCodeRight, false, true, "abcd", 3, 2, true, kNone},
        {"abcd", 3, 2, 0, 1, -1, kKeyCodeLeft, false, false, "abcd", 2, 2, true, kNone},
        {"abcd", 1, 3, 0, 1, -1, kKeyCodeRight, false, false, "abcd", 3, 3, true, kNone},
        {"abcd", 1, 1, 0, 1, -1, kKeyCodeEnd, false, true, "abcd", 4, 1, true, kNone},
        {"abcd", 2, 2, 0, 1, -1, 'a', true, false, "abcd", 4, 0, true, kNone},
        {"abcd", 2, 2, 0, 1, -1, 'x', true, false, "abcd", 2, 2, true, kNone},
        {"abcd", 3, 1, 0, 1, -1, 'X', true, false, "ad", 1, 1, true, kNone},
        {"ab cd", 2, 2, 0, 1, -1, kKeyCodeLeft, true, false, "ab cd", 2, 2, false, kNone},
        {"ab cd", 2, 2, 0, 1, -1, kKeyCodeRight, true, false, "ab cd", 2, 2, false, kNone},
        {"ab", 1, 1, 0, 1, -1, kKeyCodeReturn, false, false, "ab", 1, 1, true, eMsgEditConfirm},
        {"ab", 1, 1, 0, 1, -1, 11, false, false, "ab", 1, 1, true, eMsgEditConfirm},
        {"ab", 1, 1, 0, 1, -1, kKeyCodeEscape, false, false, "ab", 1, 1, true, eMsgEditCancel},
        {"ab", 1, 1, 0, 1, -1, kKeyCodeTab, false, false, "ab", 1, 1, false, kNone},
        {"ab", 1, 1, 0, 1, -1, kKeyCodeF12, false, false, "ab", 1, 1, false, kNone},
        {"xyz", 1, 1, 0, 1, -1, 'v', true, false, "xabyz", 3, 3, true, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " key " + std::to_string(c.key) +
                     (c.ctrl ? " ctrl" : "") + (c.shift ? " shift" : ""));
        CTxEdWidget* field = Field(c.text);
        Place(*field, c.caret, c.anchor);
        field->SetNumeric(c.numeric, c.real);
        field->m_nMaxLength = c.max;
        m_Services.m_Clipboard = "ab";
        m_Services.m_fClipboardHasText = 1;
        m_Services.m_Messages.clear();
        Hold(c.ctrl, c.shift);
        CWidget* taker = nullptr;
        EXPECT_EQ(field->KeyDown(taker, c.key), eNoError);
        Hold(false, false);
        EXPECT_EQ(Utf8(field->String()), c.outText);
        EXPECT_EQ(field->CaretPos(), c.outCaret);
        EXPECT_EQ(field->AnchorPos(), c.outAnchor);
        EXPECT_EQ(taker, c.taken ? field : nullptr);
        if (c.message != kNone) {
            EXPECT_EQ(m_Services.m_Messages,
                      (std::vector<CFakeAppServices::Message>{{c.message, field, 0}}));
        } else {
            EXPECT_TRUE(m_Services.m_Messages.empty());
        }
        m_Root.DestroyChildren();
    }
    EXPECT_TRUE(m_Services.m_Alerts.empty());
}

TEST_F(EditFieldTest, TheFieldTakesKeysOnlyWithTheFocusAndAnnouncesByData) {
    CTxEdWidget* field = Field("ab");
    auto* other = new CCoWidget;
    ASSERT_EQ(other->SetVisibility(1, 0), eNoError);
    ASSERT_EQ(m_Root.AddChild(other, 0), eNoError);
    ASSERT_EQ(other->SetFocus(0), eNoError);
    CWidget* taker = nullptr;
    ASSERT_EQ(field->KeyDown(taker, 'c'), eNoError);
    EXPECT_EQ(taker, nullptr);
    EXPECT_EQ(Utf8(field->String()), "ab");

    ASSERT_EQ(field->SetFocus(0), eNoError);
    field->m_fNotifyByData = 1;
    m_Services.m_nDataAnswer = 0;
    ASSERT_EQ(field->KeyDown(taker, kKeyCodeReturn), eNoError);
    EXPECT_EQ(taker, field);
    EXPECT_EQ(m_Services.m_DataCalls,
              (std::vector<CFakeAppServices::Data>{{eMsgEditConfirm, field, 0, 1}}));
}

TEST_F(EditFieldTest, CtrlArrowsJumpByWords) {
    // o n e _ t w o _ _ t h r e e
    CTxEdWidget* field = Field("one two  three");
    Place(*field, 0, 0);
    Hold(true, false);
    for (const auto& [key, caret] :
         {std::pair{kKeyCodeRight, 4}, std::pair{kKeyCodeRight, 9}, std::pair{kKeyCodeRight, 14},
          std::pair{kKeyCodeRight, 14}, std::pair{kKeyCodeLeft, 9}, std::pair{kKeyCodeLeft, 4},
          std::pair{kKeyCodeLeft, 0}, std::pair{kKeyCodeLeft, 0}}) {
        ASSERT_EQ(field->MovementKey(key), eNoError);
        EXPECT_EQ(field->CaretPos(), caret);
        EXPECT_EQ(field->AnchorPos(), caret);
    }
    // With Shift as well the anchor stays.
    Hold(true, true);
    ASSERT_EQ(field->MovementKey(kKeyCodeRight), eNoError);
    EXPECT_EQ(field->CaretPos(), 4);
    EXPECT_EQ(field->AnchorPos(), 0);
}

TEST_F(EditFieldTest, PastesAreCleanedAndFiltered) {
    struct Case {
        const char* text;
        int32_t caret, anchor, numeric, real, max;
        const char* clipboard; // null: the clipboard holds no text
        const char* outText;
        int32_t outCaret, outAnchor;
        bool taken;
    };
    const Case cases[] = {
        {"", 0, 0, 1, 0, -1, "1-2", "", 0, 0, false},
        {"", 0, 0, 1, 1, -1, "3.4.5", "", 0, 0, false},
        {"", 0, 0, 1, 0, -1, "4.5", "", 0, 0, false},
        {"", 0, 0, 1, 1, -1, "4.5", "4.5", 3, 3, true},
        {"19", 1, 1, 1, 0, -1, "-", "19", 1, 1, false},
        {"", 0, 0, 0, 1, -1, "12\r\n34", "12", 2, 2, true},
        {"", 0, 0, 0, 1, -1, "a\tb", "ab", 2, 2, true},
        {"x", 1, 1, 0, 1, -1,
         "a\xF0\x9D\x84\x9E"
         "b\x7F",
         "xab", 3, 3, true},
        {"abc", 2, 1, 0, 1, -1, nullptr, "abc", 2, 1, true},
        {"abc", 2, 1, 0, 1, -1, "\n", "abc", 2, 1, true},
        {"abcd", 2, 2, 0, 1, 4, "x", "abcd", 2, 2, true},
        {"abcd", 3, 1, 0, 1, 4, "xy", "axyd", 3, 3, true},
        {"12", 2, 0, 1, 0, 2, "34", "34", 2, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " <- " + (c.clipboard ? c.clipboard : "nothing"));
        CTxEdWidget* field = Field(c.text);
        Place(*field, c.caret, c.anchor);
        field->SetNumeric(c.numeric, c.real);
        field->m_nMaxLength = c.max;
        m_Services.m_fClipboardHasText = c.clipboard ? 1 : 0;
        m_Services.m_Clipboard = c.clipboard ? c.clipboard : "";
        Hold(true, false);
        CWidget* taker = nullptr;
        EXPECT_EQ(field->KeyDown(taker, 'V'), eNoError);
        Hold(false, false);
        EXPECT_EQ(Utf8(field->String()), c.outText);
        EXPECT_EQ(field->CaretPos(), c.outCaret);
        EXPECT_EQ(field->AnchorPos(), c.outAnchor);
        EXPECT_EQ(taker, c.taken ? field : nullptr);
        m_Root.DestroyChildren();
    }
    EXPECT_TRUE(m_Services.m_Alerts.empty());
}

TEST_F(EditFieldTest, ClipboardFailuresAreShownAndChangeNothing) {
    for (const auto& [key, text] : {std::pair{'c', "Failed to copy the requested text."},
                                    std::pair{'x', "Failed to cut the requested text."},
                                    std::pair{'v', "Failed to paste clipboard text."}}) {
        SCOPED_TRACE(text);
        CTxEdWidget* field = Field("abcd");
        Place(*field, 3, 1);
        m_Services.m_nClipboardError = eOutOfMemory;
        m_Services.m_Alerts.clear();
        Hold(true, false);
        CWidget* taker = nullptr;
        EXPECT_EQ(field->KeyDown(taker, uint32_t(key)), eOutOfMemory);
        Hold(false, false);
        EXPECT_EQ(taker, nullptr);
        EXPECT_EQ(Details(), (std::vector<std::string>{text}));
        EXPECT_EQ(Utf8(field->String()), "abcd");
        EXPECT_EQ(field->CaretPos(), 3);
        EXPECT_EQ(field->AnchorPos(), 1);
        m_Root.DestroyChildren();
    }
    // Copy and cut of a selection put it on the clipboard.
    m_Services.m_nClipboardError = eNoError;
    CTxEdWidget* field = Field("abcd");
    Place(*field, 1, 3);
    Hold(true, false);
    CWidget* taker = nullptr;
    ASSERT_EQ(field->KeyDown(taker, 'c'), eNoError);
    EXPECT_EQ(m_Services.m_Clipboard, "bc");
    EXPECT_EQ(Utf8(field->String()), "abcd");
    Place(*field, 0, 1);
    taker = nullptr;
    ASSERT_EQ(field->KeyDown(taker, 'x'), eNoError);
    EXPECT_EQ(m_Services.m_Clipboard, "a");
    EXPECT_EQ(Utf8(field->String()), "bcd");
    // Nothing selected: the clipboard stays.
    taker = nullptr;
    ASSERT_EQ(field->KeyDown(taker, 'c'), eNoError);
    EXPECT_EQ(m_Services.m_Clipboard, "a");
    EXPECT_EQ(m_Services.m_nCopies, 2);
}

// ---------------------------------------------------------------------------
// Loading

TEST_F(EditFieldTest, LoadsWithTheTextColourAfterTheImageAndTheTextSelected) {
    Write({ImageBlock(1, "Plate", 100, 24),
           WidgetBlock("tewg", 10, "Coloured",
                       CWidgetChunks()
                           .String("text", "hello")
                           .String("imag", "Plate")
                           .Int("stim", 1)
                           .String("font", "DejaVu Sans Mono")
                           .Real("fsiz", 13.0f)
                           .Int("txcl", 0xFF2040C0)),
           WidgetBlock("tewg", 11, "Plain",
                       CWidgetChunks().String("imag", "Plate").String("font", "DejaVu Sans Mono")),
           WidgetBlock("tewg", 12, "Broken",
                       CWidgetChunks().Code("txcl").Raw(std::string("\x01\x02", 2)))});
    ASSERT_EQ(RegisterTextWidgets(), eNoError);
    std::unique_ptr<CWidget> loaded(CWidgetConstructor::Construct(
        Units("Coloured"), int32_t(kTxEdWidgetTypeID), nullptr, nullptr));
    auto* field = dynamic_cast<CTxEdWidget*>(loaded.get());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(uint32_t(field->TextColour()), 0xFF2040C0u);
    EXPECT_EQ(Utf8(field->String()), "hello");
    EXPECT_EQ(field->CaretPos(), 5);
    EXPECT_EQ(field->AnchorPos(), 0);
    EXPECT_EQ(field->CharPositions().GetSize(), 6);
    EXPECT_EQ(field->Width(), 100);

    std::unique_ptr<CTxEdWidget> plain(CTxEdWidget::CreateFromRes(11, nullptr, nullptr));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(uint32_t(plain->TextColour()), 0xFF000000u);
    EXPECT_TRUE(m_Services.m_Alerts.empty());

    std::unique_ptr<CTxEdWidget> broken(CTxEdWidget::CreateFromRes(12, nullptr, nullptr));
    EXPECT_EQ(broken, nullptr);
    ASSERT_FALSE(Details().empty());
    EXPECT_EQ(Details().front(), "TxEdWidget txcl.");

    // Built by the constructor, the failure names the class.
    m_Services.m_Alerts.clear();
    EXPECT_EQ(CWidgetConstructor::Construct(Units("Broken"), int32_t(kTxEdWidgetTypeID), nullptr,
                                            nullptr),
              nullptr);
    ASSERT_FALSE(Details().empty());
    EXPECT_EQ(Details().back(), "Widget Constructor txedwidget create failed.");
}

// A heartbeat handler that removes the field while it tracks a drag: the
// drag ends, and the field is deleted once it has.
TEST_F(EditFieldTest, AFieldRemovedDuringItsDragEndsTheDrag) {
    CTxEdWidget* field = Field("abcdef");
    m_Services.m_fLButton = 1;
    m_Services.m_CursorLoc = gCPoint(kLeft + 5, kTop + 12);
    int32_t pumps = 0;
    m_Services.m_OnPump = [&] {
        ++pumps;
        m_Services.m_CursorLoc.x += 3;
        if (pumps == 2) {
            ASSERT_EQ(m_Root.RemoveChild(field, 0), eNoError);
        }
    };
    CWidget* taker = nullptr;
    gCPoint point(5, 12);
    EXPECT_EQ(field->ButtonDownL(taker, point), eNoError);
    EXPECT_EQ(pumps, 2);
    EXPECT_EQ(m_Root.ChildCount(), 0);
    m_Services.m_OnPump = nullptr;
}
