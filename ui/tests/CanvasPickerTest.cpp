// The canvas picker with the built resource file and the real backbone
// behind a recorder of what the picker asks it: the painting's paper and
// colour shown when it opens, what confirming sends for each change (and
// when the painting counts as modified), cancelling, the double click on a
// paper with a fake clock, the grid about the window's centre, and every
// way out of a failure taking the whole tree with it. Last, the real
// program on SDL's dummy driver: Tools ▸ Paper… opens it, another paper
// changes the canvas, and a refused showing is shown once.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/foundation/FakeClock.h"
#include "ui/boxes/CanvasPicker.h"
#include "ui/menus/SMKMenu.h"
#include "ui/panels/MenuBar.h"
#include "ui/tests/BoxFixture.h"
#include "ui/tests/ProgramRun.h"
#include "widgets/CoWidget.h"
#include "widgets/WidgetEffectBase.h"

namespace {

// One request as the backbone received it: for the sets of the paper and
// the colour the value they carry, else the channel's value itself.
struct SSent {
    uint32_t id;
    int32_t set;
    uint32_t value;
    bool operator==(const SSent&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SSent& s) {
    return out << std::hex << "{0x" << s.id << (s.set ? " set 0x" : " get 0x") << s.value << "}"
               << std::dec;
}

constexpr SSent GetColour{eCmdCanvasSetting, 0, 0};
constexpr SSent GetPaper{eCmdCanvasTexture, 0, 0};
constexpr SSent SetColour(uint32_t colour) {
    return {eCmdCanvasSetting, 1, colour};
}
constexpr SSent SetPaper(uint32_t paper) {
    return {eCmdCanvasTexture, 1, paper};
}
constexpr SSent Marked{eCmdMarkModified, 1, 0};
constexpr SSent Redraw{eCmdRedrawCanvas, 1, 0};

// Hands every request on to the real backbone, writing down those of the
// watched sender, and refuses the one the test names with its code.
class CForwardingBackbone : public gCCmdTarget {
public:
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        if (sender == m_pWatched) {
            const bool carried = set && (id == eCmdCanvasSetting || id == eCmdCanvasTexture);
            m_aSent.push_back(
                {id, set, carried ? *ChannelPointer<uint32_t>(value) : uint32_t(set ? value : 0)});
            if (id == m_nRefusedID && set == m_fRefusedSet) {
                return m_nRefusal;
            }
        }
        return m_pReal->ProcessData(id, sender, value, set);
    }

    gCCmdTarget* m_pReal = nullptr;
    const void* m_pWatched = nullptr;
    std::vector<SSent> m_aSent;
    uint32_t m_nRefusedID = 0;
    int32_t m_fRefusedSet = 0;
    int32_t m_nRefusal = 0;
};

constexpr uint32_t kWhite = 0xFFFFFFFA; // a fresh painting's colour
constexpr uint32_t kLinen = 0xFFEDE3CF;

class CanvasPickerTest : public BoxFixture {
public:
    void SetUp() override {
        BoxFixture::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        m_Forward.m_pReal = &m_Real;
        gCCmdTarget::SetBackboneModule(&m_Forward);
        ASSERT_EQ(m_Real.ProcessData(eCmdInitBackbone, this, 0, 1), 0);
        CProjectInfo info;
        info.m_nWidth = 240;
        info.m_nHeight = 180;
        info.m_nPaperTexture = 1;
        ASSERT_EQ(m_Real.ProcessData(eCmdNewProject, this, ChannelValueOf(&info), 1), 0);
        ASSERT_EQ(m_Backdrop.SetupCanvasWidget(&info), eNoError);
        m_pPicker = m_Backdrop.CanvasPicker();
        ASSERT_NE(m_pPicker, nullptr);
        m_Forward.m_pWatched = m_pPicker;
    }

    // The painting's paper and colour, not modified.
    void SetPainting(uint32_t paper, uint32_t colour) {
        ASSERT_EQ(m_Real.ProcessData(eCmdCanvasTexture, this, ChannelValueOf(&paper), 1), 0);
        ASSERT_EQ(m_Real.ProcessData(eCmdCanvasSetting, this, ChannelValueOf(&colour), 1), 0);
        int32_t clean = 0;
        ASSERT_EQ(m_Real.ProcessData(eCmdModified, this, ChannelValueOf(&clean), 1), 0);
    }
    uint32_t Paper() {
        uint32_t paper = 99;
        EXPECT_EQ(m_Real.ProcessData(eCmdCanvasTexture, this, ChannelValueOf(&paper), 0), 0);
        return paper;
    }
    uint32_t Colour() {
        uint32_t colour = 0;
        EXPECT_EQ(m_Real.ProcessData(eCmdCanvasSetting, this, ChannelValueOf(&colour), 0), 0);
        return colour;
    }
    // Shown, with what the showing sent and sounded forgotten.
    void Open() {
        ASSERT_EQ(m_pPicker->Show(0), eNoError);
        m_Forward.m_aSent.clear();
        m_UI.m_Calls.clear();
    }
    CWidget* W(uint32_t id) { return m_pPicker->Root()->FindByID(id); }
    CWidget* Option(int32_t i) { return W(CCanvasPicker::kFirstPaperID + uint32_t(i)); }
    int32_t Glow(int32_t i) { return Option(i)->Child(0)->EffectUnder(0)->Opacity(); }
    std::vector<uint32_t> Chosen() {
        std::vector<uint32_t> chosen;
        for (int32_t i = 0; i < CCanvasPicker::kPaperCount; ++i) {
            chosen.push_back(Option(i)->GetUserData(0));
        }
        return chosen;
    }
    // The picker gone whole: no tree in the backdrop, nothing modal.
    void ExpectGone() {
        EXPECT_EQ(m_pPicker->Root(), nullptr);
        EXPECT_EQ(m_pPicker->Swatch(), nullptr);
        EXPECT_EQ(m_pPicker->LastOption(), nullptr);
        EXPECT_EQ(RootsWithID(CCanvasPicker::kRootID), 0);
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }

    CFakeClock m_Clock;
    CSMKBackbone m_Real;
    CForwardingBackbone m_Forward;
    CCanvasPicker* m_pPicker = nullptr;
};

TEST_F(CanvasPickerTest, OpensWithThePaintingsPaperLitAndItsColour) {
    SetPainting(2, kLinen);
    m_UI.m_Calls.clear();
    ASSERT_EQ(m_Backdrop.ShowCanvasPicker(), eNoError);
    ASSERT_NE(m_pPicker->Root(), nullptr);
    EXPECT_EQ(m_Forward.m_aSent, (std::vector<SSent>{GetPaper, GetColour}));
    EXPECT_EQ(m_Backdrop.Child(0), m_pPicker->Root());
    EXPECT_EQ(m_Backdrop.TopModal(), m_pPicker->Root());
    EXPECT_EQ(Sounds(), std::vector<int64_t>{2});
    EXPECT_EQ(Chosen(), (std::vector<uint32_t>{0, 0, 1, 0}));
    // Lit before any heartbeat ran: the first frame shows it.
    EXPECT_EQ(Glow(2), 255);
    EXPECT_EQ(Glow(0), 0);
    EXPECT_EQ(Glow(3), 0);
    EXPECT_EQ(uint32_t(m_pPicker->Swatch()->GetClientColour()), kLinen);
    EXPECT_EQ(m_Real.Modified(), 0) << "looking changes nothing";

    m_Forward.m_aSent.clear();
    ASSERT_EQ(m_Backdrop.ShowCanvasPicker(), eNoError) << "asked again while up";
    EXPECT_EQ(m_Backdrop.ModalCount(), 1);
    EXPECT_EQ(Sounds(), std::vector<int64_t>{2});
    EXPECT_TRUE(m_Forward.m_aSent.empty());
}

// What confirming sends for each change, by the OK button or Return: the
// colour first, then the paper, which re-renders the painting in the new
// colour as well; a redraw of the canvas only when the colour alone
// changed. The painting is modified exactly when its colour changed.
TEST_F(CanvasPickerTest, ConfirmingSendsWhatChangedAndMarksOnlyAColourChange) {
    const struct {
        const char* name;
        int32_t paper;   // the option clicked, -1 none
        uint32_t colour; // the swatch's new colour, 0 none
        bool byReturn;
        std::vector<SSent> sent;
        int32_t modified;
    } kCases[] = {
        {"no change", -1, 0, false, {GetColour, GetPaper}, 0},
        {"the same paper clicked", 1, 0, true, {GetColour, GetPaper}, 0},
        {"the colour only",
         -1,
         kLinen,
         false,
         {GetColour, SetColour(kLinen), Marked, GetPaper, Redraw},
         1},
        {"the paper only", 3, 0, true, {GetColour, GetPaper, SetPaper(3)}, 0},
        {"the paper and the colour",
         0,
         kLinen,
         false,
         {GetColour, SetColour(kLinen), Marked, GetPaper, SetPaper(0)},
         1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SetPainting(1, kWhite);
        Open();
        if (c.paper >= 0) {
            ASSERT_EQ(Click(Option(c.paper)), eNoError);
        }
        if (c.colour) {
            ASSERT_EQ(m_pPicker->Swatch()->SetClientColour(c.colour, 0), eNoError);
        }
        EXPECT_TRUE(m_Forward.m_aSent.empty()) << "nothing before confirming";
        if (c.byReturn) {
            ASSERT_EQ(Key(kKeyCodeReturn), eNoError);
        } else {
            ASSERT_EQ(Click(W(CCanvasPicker::kOKID)), eNoError);
        }
        ExpectGone();
        EXPECT_EQ(m_Forward.m_aSent, c.sent);
        EXPECT_EQ(m_Real.Modified(), c.modified);
        EXPECT_EQ(Paper(), c.paper >= 0 ? uint32_t(c.paper) : 1u);
        EXPECT_EQ(Colour(), c.colour ? c.colour : kWhite);
        std::vector<int64_t> sounds;
        if (c.paper >= 0) {
            sounds.push_back(0);
        }
        if (!c.byReturn) {
            sounds.push_back(0);
        }
        sounds.push_back(3);
        EXPECT_EQ(Sounds(), sounds);
    }
}

TEST_F(CanvasPickerTest, CancelAndEscapeSendNothingAfterChanges) {
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Cancel");
        SetPainting(1, kWhite);
        Open();
        ASSERT_EQ(Click(Option(3)), eNoError);
        ASSERT_EQ(m_pPicker->Swatch()->SetClientColour(kLinen, 0), eNoError);
        if (escape) {
            ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
        } else {
            ASSERT_EQ(Click(W(CCanvasPicker::kCancelID)), eNoError);
        }
        ExpectGone();
        EXPECT_TRUE(m_Forward.m_aSent.empty());
        EXPECT_EQ(Paper(), 1u);
        EXPECT_EQ(Colour(), kWhite);
        EXPECT_EQ(m_Real.Modified(), 0);
        EXPECT_EQ(Sounds(),
                  escape ? (std::vector<int64_t>{0, 3}) : (std::vector<int64_t>{0, 0, 3}));
    }
}

TEST_F(CanvasPickerTest, APressOnOKReleasedOutsideDoesNothing) {
    Open();
    ASSERT_EQ(Click(W(CCanvasPicker::kOKID), {nullptr}), eNoError);
    EXPECT_NE(m_pPicker->Root(), nullptr);
    EXPECT_EQ(m_Backdrop.TopModal(), m_pPicker->Root());
    EXPECT_TRUE(Sounds().empty());
    EXPECT_TRUE(m_Forward.m_aSent.empty());
}

// Two clicks on one paper within 500 ms (low 32 bits of the microsecond
// clock in whole milliseconds, the difference unsigned) choose it and
// close as OK does; anything else is two single clicks.
TEST_F(CanvasPickerTest, ADoubleClickOnAPaperAppliesItAndCloses) {
    const struct {
        const char* name;
        int32_t first, second;
        uint64_t apart; // ms
        bool nearWrap;  // the clock's low 32 bits wrap between the clicks
        bool closes;
    } kCases[] = {
        {"one paper, 100 ms", 2, 2, 100, false, true},
        {"one paper, 500 ms", 2, 2, 500, false, true},
        {"one paper, 600 ms", 2, 2, 600, false, false},
        {"two papers, 100 ms", 2, 3, 100, false, false},
        {"one paper, 300 ms across a wrap of the clock", 2, 2, 300, true, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SetPainting(1, kWhite);
        Open();
        if (c.nearWrap) {
            // 200 ms before the low 32 bits of the microseconds wrap.
            const uint64_t now = gCClock::Microseconds();
            const uint64_t wrap = ((now >> 32) + 1) << 32;
            m_Clock.AdvanceMicroseconds(wrap - 200'000 - now);
        }
        ASSERT_EQ(Click(Option(c.first)), eNoError);
        EXPECT_EQ(m_pPicker->LastOption(), Option(c.first));
        m_Clock.AdvanceMilliseconds(c.apart);
        CWidget* second = Option(c.second);
        ASSERT_EQ(Click(second), eNoError);
        if (c.closes) {
            ExpectGone();
            EXPECT_EQ(m_Forward.m_aSent,
                      (std::vector<SSent>{GetColour, GetPaper, SetPaper(uint32_t(c.second))}));
            EXPECT_EQ(Paper(), uint32_t(c.second));
            EXPECT_EQ(Sounds(), (std::vector<int64_t>{0, 3})) << "no click for the second";
            continue;
        }
        EXPECT_EQ(m_Backdrop.TopModal(), m_pPicker->Root());
        EXPECT_EQ(m_pPicker->LastOption(), second);
        EXPECT_EQ(Chosen()[size_t(c.second)], 1u);
        EXPECT_TRUE(m_Forward.m_aSent.empty());
        EXPECT_EQ(Sounds(), (std::vector<int64_t>{0, 0}));
        ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
        ExpectGone();
    }
}

// Where the window system says when each press happened, that decides: a
// program busy after the first click may handle the second long after it.
TEST_F(CanvasPickerTest, ADoubleClickIsTimedByWhenThePressesHappened) {
    const struct {
        const char* name;
        uint32_t firstAt, secondAt; // the presses' times, 0: not known
        uint64_t handledApart;      // ms
        bool closes;
    } kCases[] = {
        {"pressed 150 ms apart, handled 900 ms apart", 70'000, 70'150, 900, true},
        {"pressed 600 ms apart, handled 100 ms apart", 70'000, 70'600, 100, false},
        {"pressed 150 ms apart across a wrap of the server's clock", 0xFFFF'FFC0u, 86, 900, true},
        {"the second press's time not known: handled 900 ms apart", 70'000, 0, 900, false},
        {"the first press's time not known: handled 100 ms apart", 0, 70'000, 100, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Open();
        m_Services.m_nButtonMilliseconds = c.firstAt;
        ASSERT_EQ(Click(Option(2)), eNoError);
        m_Clock.AdvanceMilliseconds(c.handledApart);
        m_Services.m_nButtonMilliseconds = c.secondAt;
        ASSERT_EQ(Click(Option(2)), eNoError);
        m_Services.m_nButtonMilliseconds = 0;
        if (c.closes) {
            ExpectGone();
            continue;
        }
        EXPECT_EQ(m_Backdrop.TopModal(), m_pPicker->Root());
        ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
        ExpectGone();
    }
}

TEST_F(CanvasPickerTest, TheLastPaperClickedIsForgottenWhenThePickerCloses) {
    Open();
    ASSERT_EQ(Click(Option(2)), eNoError);
    ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
    EXPECT_EQ(m_pPicker->LastOption(), nullptr);
    Open();
    m_Clock.AdvanceMilliseconds(50);
    ASSERT_EQ(Click(Option(2)), eNoError);
    EXPECT_NE(m_pPicker->Root(), nullptr) << "a first click on a new tree is a single click";
    EXPECT_EQ(Sounds(), std::vector<int64_t>{0});
}

TEST_F(CanvasPickerTest, ThePapersFormAGridAboutTheCentreWithTheirNamesUnderThem) {
    ASSERT_EQ(m_Backdrop.SetSize(1280, 800, 0), eNoError);
    Open();
    ASSERT_EQ(m_pPicker->Root()->Width(), 1280);
    for (int32_t i = 0; i < CCanvasPicker::kPaperCount; ++i) {
        SCOPED_TRACE(i);
        CWidget* option = Option(i);
        gCRect r(0, 0, option->Width(), option->Height());
        option->LocalToBackdrop(r);
        // 84 wide: 640 - 84 - 10 on the left, 640 + 10 on the right.
        EXPECT_EQ(r.left, i % 2 == 0 ? 546 : 650);
        EXPECT_EQ(Option(i % 2)->Rect().top, Option(0)->Rect().top) << "rows";
        CWidget* label = W(CCanvasPicker::kFirstLabelID + uint32_t(i));
        gCRect l(0, 0, label->Width(), label->Height());
        label->LocalToBackdrop(l);
        EXPECT_EQ(l.left, (r.left + r.right) / 2 - label->Width() / 2);
        EXPECT_GE(l.top, r.bottom) << "under its paper";
    }
    EXPECT_GT(Option(2)->Rect().top, Option(0)->Rect().bottom);
}

// Every failure takes the whole tree with it and leaves the modal stack as
// it was; the code goes back to the window, which shows it once (nothing
// is shown before).
TEST_F(CanvasPickerTest, AFailedShowingLeavesNoTreeBehind) {
    const struct {
        const char* name;
        bool stripLastPaper;
        uint32_t refusedID;
        error expected;
    } kCases[] = {
        {"a tree without paper 2233", true, 0, eResourceNotFound},
        {"the paper refused", false, eCmdCanvasTexture, eOutOfMemory},
        {"the colour refused", false, eCmdCanvasSetting, eFileReadWriteError},
    };
    CWidget* other = m_Backdrop.CanvasColourWidget();
    ASSERT_NE(other, nullptr);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        for (const int32_t modalBefore : {0, 1}) {
            if (modalBefore) {
                ASSERT_EQ(m_Backdrop.DoModal(other), eNoError);
            }
            m_Backdrop.m_OnAdd = [&](CWidget* child) {
                CWidget* paper = child->FindByID(2233);
                if (c.stripLastPaper && paper) {
                    EXPECT_EQ(paper->Parent()->RemoveChild(paper, 0), eNoError);
                }
                return eNoError;
            };
            m_Forward.m_nRefusedID = c.refusedID;
            m_Forward.m_fRefusedSet = 0;
            m_Forward.m_nRefusal = c.expected;
            m_UI.m_Calls.clear();
            EXPECT_EQ(m_Backdrop.ShowCanvasPicker(), c.expected);
            m_Backdrop.m_OnAdd = nullptr;
            m_Forward.m_nRefusedID = 0;
            EXPECT_EQ(m_pPicker->Root(), nullptr);
            EXPECT_EQ(RootsWithID(CCanvasPicker::kRootID), 0);
            EXPECT_EQ(m_Backdrop.ModalCount(), modalBefore);
            EXPECT_EQ(m_Backdrop.TopModal(), modalBefore ? other : nullptr);
            EXPECT_TRUE(Sounds().empty());
            EXPECT_TRUE(m_Services.m_Alerts.empty());
            if (modalBefore) {
                m_Backdrop.EndModal();
            }
        }
    }
    // A tree the backdrop refuses goes too.
    m_Backdrop.m_OnAdd = [](CWidget*) { return eBadParameter; };
    EXPECT_EQ(m_Backdrop.ShowCanvasPicker(), eBadParameter);
    m_Backdrop.m_OnAdd = nullptr;
    ExpectGone();
    // And the picker still opens afterwards.
    Open();
    EXPECT_EQ(m_Backdrop.TopModal(), m_pPicker->Root());
}

TEST_F(CanvasPickerTest, AConfirmingStoppedByARefusalOrAMissingPaperStillCloses) {
    const struct {
        const char* name;
        uint32_t refusedID; // refused as a set
        bool missingPaper;
        error expected;
        std::vector<SSent> sent;
        uint32_t paper, colour;
        int32_t modified;
    } kCases[] = {
        {"the colour refused",
         eCmdCanvasSetting,
         false,
         eOutOfMemory,
         {GetColour, SetColour(kLinen)},
         1,
         kWhite,
         0},
        {"the paper refused: the colour stays set",
         eCmdCanvasTexture,
         false,
         eOutOfMemory,
         {GetColour, SetColour(kLinen), Marked, GetPaper, SetPaper(3)},
         1,
         kLinen,
         1},
        {"a paper gone from the tree", 0, true, eResourceNotFound, {}, 1, kWhite, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        SetPainting(1, kWhite);
        Open();
        ASSERT_EQ(Click(Option(3)), eNoError);
        ASSERT_EQ(m_pPicker->Swatch()->SetClientColour(kLinen, 0), eNoError);
        if (c.missingPaper) {
            CWidget* paper = Option(1);
            ASSERT_EQ(paper->Parent()->RemoveChild(paper, 0), eNoError);
        }
        m_Forward.m_nRefusedID = c.refusedID;
        m_Forward.m_fRefusedSet = 1;
        m_Forward.m_nRefusal = c.expected;
        m_UI.m_Calls.clear();
        EXPECT_EQ(Key(kKeyCodeReturn), c.expected) << "for the window to show once";
        m_Forward.m_nRefusedID = 0;
        ExpectGone();
        EXPECT_EQ(m_Forward.m_aSent, c.sent);
        EXPECT_EQ(Paper(), c.paper);
        EXPECT_EQ(Colour(), c.colour);
        EXPECT_EQ(m_Real.Modified(), c.modified);
        EXPECT_TRUE(Sounds().empty()) << "no closing sound for a failure";
        EXPECT_TRUE(m_Services.m_Alerts.empty());
    }
}

TEST_F(CanvasPickerTest, HidingLeavesAModalWidgetAboveItInPlace) {
    Open();
    CWidget* other = m_Backdrop.CanvasColourWidget();
    ASSERT_EQ(m_Backdrop.DoModal(other), eNoError);
    ASSERT_EQ(m_pPicker->Hide(0, 0), eNoError);
    EXPECT_EQ(m_pPicker->Root(), nullptr);
    EXPECT_EQ(m_Backdrop.TopModal(), other);
    EXPECT_EQ(m_Backdrop.ModalCount(), 1);
    m_Backdrop.EndModal();
}

TEST(CanvasPickerClock, TheClickClockIsTheLowMicrosecondsInWholeMilliseconds) {
    EXPECT_EQ(CCanvasPicker::ClickMilliseconds(0x1'0000'0000u + 1'999u), 1u);
    EXPECT_EQ(CCanvasPicker::ClickMilliseconds(0xFFFF'FFFFu), 4'294'967u);
    EXPECT_TRUE(CCanvasPicker::IsDoubleClick(1000, 1500));
    EXPECT_FALSE(CCanvasPicker::IsDoubleClick(1000, 1501));
    EXPECT_TRUE(CCanvasPicker::IsDoubleClick(1000, 1000));
    EXPECT_FALSE(CCanvasPicker::IsDoubleClick(4'294'900u, 100u)) << "a wrap counts as slow";
}

// The real program: the Tools menu's Paper… row opens the picker over the
// window, another paper and OK change the canvas; a showing the backbone
// refuses leaves nothing behind and is shown once.
class CanvasPickerRun : public StartUpRun {
protected:
    void ClickOn(CWidget* w) {
        gCRect r(0, 0, w->Width(), w->Height());
        w->LocalToBackdrop(r);
        const gCPoint at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        CInputScript(*program).Move(at).Click(at).Run();
    }
    void ChoosePaperRow() {
        CMenuBar* bar = Backdrop()->MenuBar();
        ClickOn(bar->Title(CMenuBar::eToolsMenu));
        ASSERT_TRUE(bar->Menu(CMenuBar::eToolsMenu)->IsShown());
        ClickOn(bar->Menu(CMenuBar::eToolsMenu)->Row(7)); // Paper…
    }
    int32_t PickerRoots() {
        int32_t n = 0;
        for (int32_t i = 0; i < Backdrop()->ChildCount(); ++i) {
            n += uint32_t(Backdrop()->Child(i)->GetResID()) == CCanvasPicker::kRootID ? 1 : 0;
        }
        return n;
    }
};

TEST_F(CanvasPickerRun, ThePaperRowOpensThePickerAndAnotherPaperChangesTheCanvas) {
    ASSERT_EQ(Start(), eNoError);
    Focus();
    CInputScript(*program).Run(); // what the window had waiting
    CSMKBackdrop* backdrop = Backdrop();
    CCanvasPicker* picker = backdrop->CanvasPicker();
    const gCRect canvas = backdrop->CanvasWidget()->Rect();
    const std::vector<uint32_t> before = Shown();

    ChoosePaperRow();
    ASSERT_NE(picker->Root(), nullptr);
    EXPECT_EQ(backdrop->TopModal(), picker->Root());
    EXPECT_EQ(picker->Root()->FindByID(CCanvasPicker::kFirstPaperID)->GetUserData(0), 1u);
    ClickOn(picker->Root()->FindByID(CCanvasPicker::kFirstPaperID + 3));
    ClickOn(picker->Root()->FindByID(CCanvasPicker::kOKID));
    EXPECT_EQ(picker->Root(), nullptr);
    EXPECT_EQ(backdrop->RedrawPrevented(), 0) << "redraws held only while applying";
    const std::vector<uint32_t> after = Shown();
    int32_t changed = 0;
    // The part of the canvas in the window.
    const int32_t top = std::max(canvas.top, 0),
                  bottom = std::min(canvas.bottom, backdrop->Height());
    const int32_t left = std::max(canvas.left, 0),
                  right = std::min(canvas.right, backdrop->Width());
    for (int32_t y = top; y < bottom; y += 3) {
        for (int32_t x = left; x < right; x += 3) {
            changed += At(before, gCPoint(x, y)) != At(after, gCPoint(x, y)) ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 100) << "the canvas shows the other paper";
    EXPECT_EQ(CSMKBackbone::Registered()->Modified(), 0) << "a paper alone marks nothing";
    EXPECT_TRUE(program->m_aAlerts.empty());

    // The backbone refuses the paper: the window shows it once.
    CForwardingBackbone refusing;
    refusing.m_pReal = CSMKBackbone::Registered();
    refusing.m_pWatched = picker;
    refusing.m_nRefusedID = eCmdCanvasTexture;
    refusing.m_nRefusal = eOutOfMemory;
    gCCmdTarget::SetBackboneModule(&refusing);
    ChoosePaperRow();
    gCCmdTarget::SetBackboneModule(refusing.m_pReal);
    EXPECT_EQ(program->m_aAlerts.size(), 1u);
    EXPECT_EQ(picker->Root(), nullptr);
    EXPECT_EQ(PickerRoots(), 0);
    EXPECT_EQ(backdrop->ModalCount(), 0);
}

} // namespace
