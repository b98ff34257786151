// The widget-tree inspector on a small fixture tree under a backdrop: its
// layout, colours, fields, warnings, list, searches, clicks, grip, closing
// and how the backdrop opens it.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/imaging/Goldens.h"
#include "testsupport/widgets/RecordingHost.h"
#include "text/DebugInfoWidget.h"
#include "text/TableWidget.h"
#include "text/TxEdWidget.h"
#include "text/TxWidget.h"
#include "text/tests/FontFixture.h"
#include "widgets/Backdrop.h"
#include "widgets/CoWidget.h"
#include "widgets/RoRectWidget.h"

namespace {

std::string Utf8(const gCString& s) {
    return gUtf16ToUtf8(std::u16string_view(s.GetBuffer() ? s.GetBuffer() : u"",
                                            size_t(s.GetLength())));
}

gCString Units(const std::string& utf8) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, utf8), eNoError);
    return s;
}

// The four-character code of a child's id.
uint32_t Code(const char* id) {
    return uint32_t(uint8_t(id[0])) << 24 | uint32_t(uint8_t(id[1])) << 16 |
           uint32_t(uint8_t(id[2])) << 8 | uint32_t(uint8_t(id[3]));
}

error Noop(void*, CWidget*, CWidget*&, gCPoint&) {
    return eNoError;
}
error NoKey(void*, CWidget*, CWidget*&, uint32_t) {
    return eNoError;
}

constexpr uint32_t kPanelColour = 0xFFA0A0B8u;

class DebugInfo : public FontFixture {
protected:
    void SetUp() override {
        FontFixture::SetUp();
        ASSERT_EQ(RegisterTextWidgets(), eNoError);
        BuildTree();
    }
    // The backdrop (800 x 600) and its tree: Panel (OkButton with OkLabel,
    // Cancel) and Side.
    void BuildTree() {
        backdrop = std::make_unique<CBackdrop>();
        ASSERT_EQ(backdrop->SetSize(800, 600, 0), eNoError);
        backdrop->CreationComplete();
        panel = Add(*backdrop, std::make_unique<CWidget>(), "Panel", 7, gCRect(20, 20, 220, 170));
        ok = Add(*panel, std::make_unique<CCoWidget>(), "OkButton", 1001, gCRect(10, 10, 60, 30));
        cancel = Add(*panel, std::make_unique<CCoWidget>(), "Cancel", 1002, gCRect(70, 10, 120, 30));
        okLabel = Add(*ok, std::make_unique<CCoWidget>(), "OkLabel", 1003, gCRect(2, 2, 40, 18));
        side = Add(*backdrop, std::make_unique<CCoWidget>(), "Side", 8, gCRect(300, 20, 400, 80));
    }
    void TearDown() override {
        backdrop.reset(); // the widgets before the fonts
        FontFixture::TearDown();
    }

    CWidget* Add(CWidget& parent, std::unique_ptr<CWidget> widget, const char* name, int32_t id,
                 const gCRect& r) {
        widget->SetResName(Units(name));
        widget->SetResID(id);
        EXPECT_EQ(widget->SetPosition(r.left, r.top, 0), eNoError);
        EXPECT_EQ(widget->SetSize(r.Width(), r.Height(), 0), eNoError);
        EXPECT_EQ(widget->SetVisibility(1, 0), eNoError);
        widget->SetOpaqueThreshold(1);
        CWidget* added = widget.get();
        EXPECT_EQ(parent.AddChild(widget.release(), 0), eNoError);
        return added;
    }

    // The inspector as the backdrop makes it, for the widget, modal.
    CDebugInfoWidget* Open(CWidget* shown) {
        auto owned = std::make_unique<CDebugInfoWidget>();
        EXPECT_EQ(owned->SetClientColour(CPixel(kPanelColour), 1, 1), eNoError);
        EXPECT_EQ(owned->SetSize(600, 450, 0), eNoError);
        owned->Positioner()->m_fXCentre = 1;
        owned->Positioner()->m_fYCentre = 1;
        EXPECT_EQ(owned->SetVisibility(1, 0), eNoError);
        owned->SetOpaqueBlit(1);
        CDebugInfoWidget* inspector = owned.get();
        EXPECT_EQ(backdrop->AddChild(owned.release(), 1), eNoError);
        EXPECT_EQ(inspector->SetupDebugInfoBack(shown), eNoError);
        EXPECT_EQ(backdrop->DoModal(inspector), eNoError);
        return inspector;
    }

    std::string Field(CWidget* inspector, const char* id) {
        auto* field = dynamic_cast<CTxWidget*>(inspector->FindByID(Code(id)));
        return field ? Utf8(field->String()) : "<missing>";
    }
    CTableWidget* List(CWidget* inspector) {
        return dynamic_cast<CTableWidget*>(inspector->FindByID(FourCC("tabl")));
    }
    std::vector<std::string> Rows(CWidget* inspector) {
        std::vector<std::string> rows;
        CTableWidget* table = List(inspector);
        for (int32_t r = 0; r < table->GetRowCount(); ++r) {
            rows.push_back(gUtf16ToUtf8(table->GetCellText(r, 0)));
        }
        return rows;
    }
    // A left press (and release, the button being up) at a backdrop point.
    CWidget* Press(int32_t x, int32_t y) {
        CWidget* taker = nullptr;
        gCPoint at(x, y);
        EXPECT_EQ(backdrop->PassButtonDownL(taker, at), eNoError);
        return taker;
    }
    // A press on row r of the list of an inspector at (100, 75).
    void ClickRow(int32_t r) { Press(150, 75 + 290 + r * 16 + 8); }
    std::vector<std::string> AlertTexts() const {
        std::vector<std::string> texts;
        for (const auto& alert : m_Services.m_Alerts) {
            EXPECT_EQ(alert.headline, "Message");
            texts.push_back(alert.text);
        }
        return texts;
    }

    CFakeClock clock;
    std::unique_ptr<CBackdrop> backdrop;
    CWidget* panel = nullptr;
    CWidget* ok = nullptr;
    CWidget* cancel = nullptr;
    CWidget* okLabel = nullptr;
    CWidget* side = nullptr;
};

const std::string kRowBackdrop = "\"\"  - ID =  0,  (0x00)";
const std::string kRowPanel = "\"Panel\"  - ID =  7,  (0x07)";
const std::string kRowOk = "\"OkButton\"  - ID =  1001,  (0x03E9)";
const std::string kRowCancel = "\"Cancel\"  - ID =  1002,  (0x03EA)";
const std::string kRowOkLabel = "\"OkLabel\"  - ID =  1003,  (0x03EB)";
const std::string kRowSide = "\"Side\"  - ID =  8,  (0x08)";

TEST_F(DebugInfo, TheLayoutAtSixHundredByFourHundredFifty) {
    CDebugInfoWidget* inspector = Open(ok);
    EXPECT_EQ(inspector->Rect(), gCRect(100, 75, 700, 525));
    struct SCase {
        const char* id;
        int32_t left, top, right, bottom;
    };
    const SCase cases[] = {
        {"evky", 106, 97, 180, 112}, {"evtm", 306, 97, 380, 112}, {"evhb", 516, 97, 590, 112},
        {"rsid", 130, 72, 360, 87},  {"crpr", 90, 215, 280, 230}, {"crbk", 400, 215, 590, 230},
        {"txed", 100, 30, 390, 45},  {"byID", 400, 30, 450, 45},  {"byNM", 460, 30, 510, 45},
        {"Asst", 540, 30, 590, 45},  {"tabl", 10, 290, 572, 440}, {"scrl", 574, 290, 590, 440},
        {"note", 10, 240, 590, 285}, {"name", 130, 55, 590, 70},
    };
    for (const SCase& c : cases) {
        CWidget* child = inspector->FindByID(Code(c.id));
        ASSERT_NE(child, nullptr) << c.id;
        EXPECT_EQ(child->Rect(), gCRect(c.left, c.top, c.right, c.bottom)) << c.id;
    }
    // The label columns, by their texts.
    auto labelX = [&](const char* text) {
        for (int32_t i = 0; i < inspector->ChildCount(); ++i) {
            auto* label = dynamic_cast<CTxWidget*>(inspector->Child(i));
            if (label && label->GetResID() == 0 && Utf8(label->String()) == text) {
                return label->Rect().left;
            }
        }
        return -1;
    };
    EXPECT_EQ(labelX("E Key:"), 10);
    EXPECT_EQ(labelX("E Timer:"), 220);
    EXPECT_EQ(labelX("E Heart:"), 420);
    EXPECT_EQ(labelX("Widget Type:"), 420);
    EXPECT_EQ(labelX("Area Backdrop:"), 310);
    EXPECT_EQ(labelX("Find Widget:"), 10);
    // The grip is the track's; the title is centred.
    CWidget* grip = inspector->FindByID(FourCC("grip"));
    ASSERT_NE(grip, nullptr);
    EXPECT_EQ(grip->Parent(), inspector->FindByID(FourCC("scrl")));
    EXPECT_EQ(inspector->GetResID(), int32_t(0x5F44625F));
    EXPECT_EQ(Utf8(inspector->GetResName()), "CBackdrop Info Widget for Debugging.");
}

TEST_F(DebugInfo, DerivedColoursTakeTheFloor) {
    struct SCase {
        uint32_t colour, lightened, darkened;
    };
    const SCase cases[] = {
        {0xFFA0A0B8u, 0xFFBEBECEu, 0xFF6E6E7Eu},
        {0x80FF0200u, 0x80FF5150u, 0x80AF0100u}, // darkened: 255 -> 175, 2 -> 1, 0 stays 0
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(uint32_t(CDebugInfoWidget::Lightened(CPixel(c.colour))), c.lightened);
        EXPECT_EQ(uint32_t(CDebugInfoWidget::Darkened(CPixel(c.colour))), c.darkened);
    }
    CDebugInfoWidget* inspector = Open(ok);
    auto colour = [&](const char* id) {
        auto* w = dynamic_cast<CCoWidget*>(
            inspector->FindByID(Code(id)));
        return w ? uint32_t(w->GetClientColour()) : 0u;
    };
    EXPECT_EQ(colour("txed"), 0xFFBEBECEu);
    EXPECT_EQ(colour("byID"), 0xFF6E6E7Eu);
    EXPECT_EQ(colour("Asst"), 0xFF6E6E7Eu);
}

TEST_F(DebugInfo, IdsPrintSignedAndInHexadecimal) {
    EXPECT_EQ(Utf8(CDebugInfoWidget::IdText(0x5F44625Fu)), " 1598317151,  (0x05F44625F)");
    EXPECT_EQ(Utf8(CDebugInfoWidget::IdText(0xFFFFFFFFu)), " -1,  (0x0FFFFFFFF)");
}

TEST_F(DebugInfo, EveryFieldOfAKnownWidget) {
    ok->EnableEvent(CWidget::eKeyEvent, 0);
    ok->SetButtonDownL(&Noop, nullptr);
    ok->SetKeyDown(&NoKey, nullptr);
    ok->SetStayInParent(1);
    ASSERT_EQ(ok->SetOpacity(200, 0), eNoError);
    ok->SetOpaqueThreshold(3);
    CDebugInfoWidget* inspector = Open(ok);
    EXPECT_EQ(inspector->ShownWidget(), ok);
    const std::vector<std::pair<const char*, std::string>> expected = {
        {"name", " OkButton"},
        {"rsid", " 1001,  (0x03E9)"},
        {"wgty", " cowg"},
        {"evky", " True +o"},
        {"evtm", " False o"},
        {"evhb", " False o"},
        {"evbl", " True +o"},
        {"evbm", " False oo"},
        {"evbr", " False oo"},
        {"evmm", " False o"},
        {"evms", " True o"},
        {"rend", "   o"},
        {"flvs", " True"},
        {"flip", " True"},
        {"flgf", " True"},
        {"flac", " True"},
        {"flpo", " True"},
        {"flob", " False"},
        {"inop", " 200"},
        {"inot", " 3"},
        {"crpr", " ( 10, 10 ),  ( 60, 30)"},
        {"crbk", " ( 30, 30 ),  ( 80, 50)"},
    };
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(Field(inspector, id), text) << id;
    }
    // A panel widget's type, and rectangles outside the parent and outside
    // the backdrop.
    auto framed = std::make_unique<CRoRectWidget>();
    CWidget* frame = Add(*panel, std::move(framed), "Frame", 9, gCRect(190, 160, 240, 180));
    CWidget* far = Add(*backdrop, std::make_unique<CCoWidget>(), "Far", 10,
                       gCRect(780, 580, 820, 620));
    ASSERT_EQ(inspector->PopulateInfo(frame), eNoError);
    EXPECT_EQ(Field(inspector, "wgty"), " rrwg");
    EXPECT_EQ(Field(inspector, "crpr"), " ( 190, 160 ),  ( 240, 180)   ***");
    EXPECT_EQ(Field(inspector, "crbk"), " ( 210, 180 ),  ( 260, 200)");
    ASSERT_EQ(inspector->PopulateInfo(far), eNoError);
    EXPECT_EQ(Field(inspector, "crbk"), " ( 780, 580 ),  ( 820, 620)   ***");
    // No parent: never marked.
    CCoWidget alone;
    ASSERT_EQ(alone.SetSize(5000, 5000, 0), eNoError);
    ASSERT_EQ(inspector->PopulateInfo(&alone), eNoError);
    EXPECT_EQ(Field(inspector, "crpr"), " ( 0, 0 ),  ( 5000, 5000)");
    EXPECT_EQ(Field(inspector, "crbk"), " ( 0, 0 ),  ( 5000, 5000)");
}

TEST_F(DebugInfo, WarningsOwnFirstThenAncestorsFromTheRoot) {
    CDebugInfoWidget* inspector = Open(ok);
    // The panel, a plain widget with threshold 0, lacks the key and left
    // button bits the button has.
    panel->SetOpaqueThreshold(0);
    ok->EnableEvent(CWidget::eKeyEvent | CWidget::eLButtonEvent, 0);
    ok->SetActive(0);
    ASSERT_EQ(ok->SetOpacity(39, 0), eNoError);
    ASSERT_EQ(inspector->PopulateInfo(ok), eNoError);
    const std::string panelLine =
        "Warning: \"Panel\"  - ID =  7,  (0x07) : CWidget may need OpaqueThreshold > 0  "
        "eKeyEvent False.   eLButtonEvent False.      ";
    EXPECT_EQ(Field(inspector, "note"),
              "Warning: Not Active.   Warning: Opacity < 40   " + panelLine);
    // A grandchild: the root's line comes first, then the parent's.
    backdrop->SetCanGetFocus(0);
    okLabel->SetOpaqueThreshold(201);
    ASSERT_EQ(inspector->PopulateInfo(okLabel), eNoError);
    const std::string okLine = "Warning: \"OkButton\"  - ID =  1001,  (0x03E9) : Not Active.  "
                               "Opacity < 40     ";
    EXPECT_EQ(Field(inspector, "note"),
              "Warning: OpaqueThreshold > 200   Warning: \"\"  - ID =  0,  (0x00) : "
              "Can't get focus.     Warning: \"Panel\"  - ID =  7,  (0x07) : "
              "CWidget may need OpaqueThreshold > 0     " +
                  okLine);
    // Mask 0: no own warnings and no event lines, the ancestors' properties
    // still.
    ok->DisableEvent(0xFFFFFFFFu);
    ASSERT_EQ(ok->SetVisibility(0, 0), eNoError);
    ASSERT_EQ(inspector->PopulateInfo(ok), eNoError);
    EXPECT_EQ(Field(inspector, "note"),
              "Warning: \"\"  - ID =  0,  (0x00) : Can't get focus.     "
              "Warning: \"Panel\"  - ID =  7,  (0x07) : CWidget may need OpaqueThreshold > 0     ");
    // No parent: the own warnings alone, a plain widget's threshold among
    // them; one line per missing bit.
    CWidget alone;
    ASSERT_EQ(inspector->PopulateInfo(&alone), eNoError);
    EXPECT_EQ(Field(inspector, "note"),
              "Warning: Not visible.   Warning: CWidget may need OpaqueThreshold > 0   ");
}

TEST_F(DebugInfo, AChainOfOneHundredTwoReportsRecursion) {
    CDebugInfoWidget* inspector = Open(ok);
    CWidget* at = side;
    for (int32_t i = 0; i < 100; ++i) {
        at = Add(*at, std::make_unique<CCoWidget>(), "Link", 100 + i, gCRect(0, 0, 10, 10));
    }
    // at has 101 ancestors: the backdrop, Side and 99 links.
    ASSERT_EQ(inspector->PopulateInfo(at), eNoError);
    const std::string note = Field(inspector, "note");
    EXPECT_EQ(note.rfind("*** Possible recursion error: Depth greater than 100 ***   ", 0), 0u)
        << note;
    ASSERT_EQ(inspector->PopulateTable(List(inspector), at), eNoError);
    const auto rows = Rows(inspector);
    ASSERT_EQ(rows.size(), 103u);
    EXPECT_EQ(rows[0], "*** Possible recursion error: Depth greater than 100 ***");
    EXPECT_EQ(rows[1], kRowBackdrop);
}

TEST_F(DebugInfo, TheListIndentsAncestorsAndChildren) {
    CDebugInfoWidget* inspector = Open(panel);
    EXPECT_EQ(Rows(inspector), (std::vector<std::string>{
                                   kRowBackdrop,
                                   "   " + kRowPanel,
                                   "    : " + kRowCancel,
                                   "    : " + kRowOk,
                                   "    :  : " + kRowOkLabel,
                               }));
    EXPECT_EQ(List(inspector)->GetSelectedRow(0), 1);
    EXPECT_EQ(List(inspector)->GetRowID(3), reinterpret_cast<uintptr_t>(ok));
    // The backdrop: its children but the inspector.
    ASSERT_EQ(inspector->PopulateTable(List(inspector), backdrop.get()), eNoError);
    EXPECT_EQ(Rows(inspector), (std::vector<std::string>{
                                   kRowBackdrop,
                                   " : " + kRowSide,
                                   " : " + kRowPanel,
                                   " :  : " + kRowCancel,
                                   " :  : " + kRowOk,
                                   " :  :  : " + kRowOkLabel,
                               }));
    EXPECT_EQ(List(inspector)->GetSelectedRow(0), 0);
}

TEST_F(DebugInfo, SearchesWrapAroundAndSkipTheInspector) {
    CWidget* group = Add(*backdrop, std::make_unique<CWidget>(), "Group", 20, gCRect(0, 300, 100, 400));
    CWidget* c = Add(*group, std::make_unique<CWidget>(), "MatchC", 23, gCRect(0, 0, 5, 5));
    CWidget* b = Add(*group, std::make_unique<CWidget>(), "Bee", 22, gCRect(0, 0, 5, 5));
    CWidget* a = Add(*group, std::make_unique<CWidget>(), "MatchA", 21, gCRect(0, 0, 5, 5));
    ASSERT_EQ(group->Child(0), a);
    ASSERT_EQ(group->Child(2), c);
    CDebugInfoWidget* inspector = Open(b);
    ASSERT_EQ(inspector->SearchByName(Units("match")), eNoError);
    EXPECT_EQ(inspector->ShownWidget(), c);
    EXPECT_EQ(Field(inspector, "name"), " MatchC");
    ASSERT_EQ(inspector->SearchByName(Units("match")), eNoError);
    EXPECT_EQ(inspector->ShownWidget(), a);
    EXPECT_EQ(Rows(inspector)[List(inspector)->GetSelectedRow(0)], "      \"MatchA\"  - ID =  21,  (0x015)");
    // The own id found again after a whole walk.
    ASSERT_EQ(inspector->SearchByID(Units("21")), eNoError);
    EXPECT_EQ(inspector->ShownWidget(), a);
    EXPECT_EQ(inspector->SearchState(), 2);
    // By name in any case; hexadecimal after an x.
    ASSERT_EQ(inspector->SearchByName(Units("but")), eNoError);
    EXPECT_EQ(inspector->ShownWidget(), ok);
    ASSERT_EQ(inspector->SearchByID(Units("0x3EA")), eNoError);
    EXPECT_EQ(inspector->ShownWidget(), cancel);
    EXPECT_TRUE(m_Services.m_Alerts.empty());
    // Nothing: an empty text, and the inspector's own id both ways.
    ASSERT_EQ(inspector->SearchByName(gCString()), eNoError);
    ASSERT_EQ(inspector->SearchByID(Units("x5F44625F")), eNoError);
    ASSERT_EQ(inspector->SearchByID(Units("1598317151")), eNoError);
    ASSERT_EQ(inspector->SearchByName(Units("Debugging")), eNoError);
    EXPECT_EQ(inspector->ShownWidget(), cancel);
    EXPECT_EQ(inspector->SearchState(), 3);
    EXPECT_EQ(AlertTexts(), (std::vector<std::string>{
                                " : Cant find that widget in the hierarchy.",
                                "x5F44625F : Cant find that widget in the hierarchy.",
                                "1598317151 : Cant find that widget in the hierarchy.",
                                "DEBUGGING : Cant find that widget in the hierarchy.",
                            }));
}

TEST_F(DebugInfo, TheButtonsSearchTheFindFieldsText) {
    CDebugInfoWidget* inspector = Open(panel);
    auto* field = dynamic_cast<CTxEdWidget*>(inspector->FindByID(FourCC("txed")));
    ASSERT_NE(field, nullptr);
    ASSERT_EQ(field->SetText(Units("side"), 1, 0), eNoError);
    EXPECT_EQ(Press(100 + 460 + 5, 75 + 30 + 5), inspector->FindByID(FourCC("byNM")));
    EXPECT_EQ(inspector->ShownWidget(), side);
    ASSERT_EQ(field->SetText(Units("1003"), 1, 0), eNoError);
    EXPECT_EQ(Press(100 + 400 + 5, 75 + 30 + 5), inspector->FindByID(FourCC("byID")));
    EXPECT_EQ(inspector->ShownWidget(), okLabel);
    // Assert takes the click and does nothing.
    EXPECT_EQ(Press(100 + 540 + 5, 75 + 30 + 5), inspector->FindByID(FourCC("Asst")));
    EXPECT_EQ(inspector->ShownWidget(), okLabel);
    EXPECT_EQ(backdrop->TopModal(), inspector);
    EXPECT_TRUE(m_Services.m_Alerts.empty());
}

TEST_F(DebugInfo, ADoubleClickIsTheSameRowWithin499Milliseconds) {
    struct SCase {
        int32_t firstRow, secondRow;
        uint64_t apart;
        bool reroots;
    };
    const SCase cases[] = {{3, 3, 499, true}, {3, 3, 500, false}, {3, 2, 10, false}};
    for (const SCase& c : cases) {
        CDebugInfoWidget* inspector = Open(panel);
        ClickRow(c.firstRow);
        EXPECT_EQ(inspector->ShownWidget(), ok);
        clock.AdvanceMilliseconds(c.apart);
        ClickRow(c.secondRow);
        EXPECT_EQ(inspector->ShownWidget(), c.secondRow == 3 ? ok : cancel);
        const auto rows = Rows(inspector);
        EXPECT_EQ(rows.size(), c.reroots ? 4u : 5u) << c.apart;
        if (c.reroots) {
            EXPECT_EQ(rows[2], "      " + kRowOk);
            EXPECT_EQ(rows[3], "       : " + kRowOkLabel);
        }
        CWidget* taker = nullptr;
        ASSERT_EQ(backdrop->PassKeyDown(taker, 27), eNoError);
        clock.AdvanceMilliseconds(1000);
    }
}

TEST_F(DebugInfo, TheGripFollowsTheList) {
    CDebugInfoWidget* inspector = Open(panel);
    CWidget* track = inspector->FindByID(FourCC("scrl"));
    CWidget* grip = inspector->FindByID(FourCC("grip"));
    // Five rows fit: the grip is the whole track, drawn faint.
    EXPECT_EQ(grip->Height(), 150);
    EXPECT_EQ(track->Opacity(), 80u);
    // 1,000 rows: far below 10 pixels, raised to 10.
    for (int32_t i = 0; i < 1000; ++i) {
        Add(*side, std::make_unique<CWidget>(), "Row", 5000 + i, gCRect(0, 0, 1, 1));
    }
    ASSERT_EQ(inspector->PopulateTable(List(inspector), side), eNoError);
    EXPECT_EQ(grip->Height(), 10);
    EXPECT_EQ(track->Opacity(), 255u);
    // A drag of the grip 30 pixels down scrolls as VScroll says.
    CTableWidget* table = List(inspector);
    CTableWidget twin;
    ASSERT_EQ(twin.SetSize(table->Width(), table->Height(), 0), eNoError);
    for (int32_t i = 0; i < table->GetRowCount(); ++i) {
        ASSERT_EQ(twin.AddRow(0), eNoError);
    }
    ASSERT_EQ(twin.VScroll(150, 10, gCPoint(0, 30), 0), eNoError);
    ASSERT_GT(twin.VScrollPosition(), 0);
    const int32_t visible = m_Services.m_fVantorCursor;
    m_Services.m_CursorLoc = gCPoint(100 + 574 + 8, 75 + 290 + 5);
    m_Services.m_fLButton = 1;
    int32_t steps = 0;
    m_Services.m_OnPump = [&]() {
        EXPECT_EQ(m_Services.m_fVantorCursor, 0); // hidden while it moves
        m_Services.m_CursorLoc.y += 10;
        if (++steps == 4) { // the last step's move comes with the release
            m_Services.m_fLButton = 0;
        }
    };
    EXPECT_EQ(Press(100 + 574 + 8, 75 + 290 + 5), grip);
    m_Services.m_OnPump = nullptr;
    EXPECT_EQ(table->VScrollPosition(), twin.VScrollPosition());
    EXPECT_EQ(grip->Rect().top, table->CalcGripYPos(150, 10));
    EXPECT_EQ(m_Services.m_fVantorCursor, visible);
}

TEST_F(DebugInfo, ThePanelDragsWithThePointer) {
    CDebugInfoWidget* inspector = Open(panel);
    m_Services.m_CursorLoc = gCPoint(400, 300);
    m_Services.m_fLButton = 1;
    int32_t steps = 0;
    m_Services.m_OnPump = [&]() {
        m_Services.m_CursorLoc.x += 5;
        m_Services.m_CursorLoc.y -= 2;
        if (++steps == 4) {
            m_Services.m_fLButton = 0;
        }
    };
    EXPECT_EQ(Press(100 + 3, 75 + 200), inspector);
    m_Services.m_OnPump = nullptr;
    // Three steps moved it; the fourth came with the release.
    EXPECT_EQ(inspector->Rect(), gCRect(115, 69, 715, 519));
}

TEST_F(DebugInfo, EscapeAndAnOutsidePressCloseItOtherKeysAreSwallowed) {
    for (int32_t byEscape : {1, 0}) {
        CDebugInfoWidget* inspector = Open(ok);
        CWidget* taker = nullptr;
        ASSERT_EQ(backdrop->PassKeyDown(taker, 'a'), eNoError);
        EXPECT_EQ(taker, inspector);
        EXPECT_EQ(backdrop->ChildCount(), 3);
        if (byEscape) {
            taker = nullptr;
            ASSERT_EQ(backdrop->PassKeyDown(taker, 27), eNoError);
            EXPECT_EQ(static_cast<void*>(taker), static_cast<void*>(inspector));
        } else {
            Press(5, 590);
        }
        EXPECT_EQ(backdrop->ChildCount(), 2);
        EXPECT_EQ(backdrop->ModalCount(), 0);
        EXPECT_EQ(backdrop->FindByID(kDebugInfoWidgetID), nullptr);
    }
}

TEST_F(DebugInfo, TheDragsEndWhenTheInspectorOrTheWindowGoes) {
    struct SCase {
        bool grip;
        bool window; // else the inspector leaves
    };
    for (const SCase c : {SCase{true, false}, SCase{true, true}, SCase{false, false},
                          SCase{false, true}}) {
        BuildTree();
        CRecordingHost host;
        backdrop->SetHost(&host);
        CDebugInfoWidget* inspector = Open(panel);
        const gCPoint at = c.grip ? gCPoint(100 + 574 + 8, 75 + 290 + 5) : gCPoint(103, 275);
        m_Services.m_CursorLoc = at;
        m_Services.m_fLButton = 1;
        int32_t pumps = 0;
        m_Services.m_OnPump = [&]() {
            m_Services.m_CursorLoc.y += 3;
            if (++pumps == 2) {
                if (c.window) {
                    CWindowRoot::Releaser()(backdrop.release()); // deleted after the pass
                } else {
                    EXPECT_EQ(backdrop->RemoveChild(inspector, 0), eNoError);
                }
            } else if (pumps > 20) {
                m_Services.m_fLButton = 0; // the drag did not end: let it go
            }
        };
        CBackdrop* root = backdrop.get();
        CWidget* taker = nullptr;
        gCPoint point = at;
        EXPECT_EQ(root->PassButtonDownL(taker, point), eNoError);
        m_Services.m_OnPump = nullptr;
        m_Services.m_fLButton = 0;
        EXPECT_EQ(pumps, 2) << c.grip << c.window;
        EXPECT_EQ(m_Services.m_fVantorCursor, 1); // the cursor is back
        if (!c.window) {
            EXPECT_EQ(backdrop->ChildCount(), 2);
            backdrop->SetHost(nullptr);
        }
    }
}

// Handlers that take widgets out of the tree while the inspector shows them:
// a click on their row is ignored, and a search starts as with no shown
// widget.
int32_t g_nHeartbeats = 0;
error RemovePanel(void* user, CWidget*) {
    auto* panel = static_cast<CWidget*>(user);
    if (panel->Parent() && ++g_nHeartbeats == 1) {
        EXPECT_EQ(panel->Parent()->RemoveChild(panel, 0), eNoError);
    }
    return eNoError;
}

TEST_F(DebugInfo, WidgetsThatLeftTheTreeAreNeverUsed) {
    CDebugInfoWidget* inspector = Open(panel);
    ClickRow(3); // OkButton
    ASSERT_EQ(inspector->ShownWidget(), ok);
    g_nHeartbeats = 0;
    List(inspector)->SetHeartbeat(&RemovePanel, panel);
    ASSERT_EQ(backdrop->PassHeartbeat(), eNoError);
    ASSERT_EQ(backdrop->ChildCount(), 2); // the panel has gone, deleted
    EXPECT_EQ(inspector->ShownWidget(), nullptr);
    // The rows still name the deleted widgets: a click on one is ignored,
    // twice in a row too.
    ClickRow(2);
    ClickRow(2);
    EXPECT_EQ(inspector->ShownWidget(), nullptr);
    EXPECT_EQ(Rows(inspector).size(), 5u);
    // A search starts from the top.
    ASSERT_EQ(inspector->SearchByName(Units("side")), eNoError);
    EXPECT_EQ(inspector->ShownWidget(), side);
    EXPECT_EQ(Rows(inspector), (std::vector<std::string>{kRowBackdrop, "   " + kRowSide}));
}

TEST_F(DebugInfo, ASetupWithoutMemoryFailsCleanly) {
    // Every count of allocations up to a whole setup: a failure is
    // returned, what was built stays and goes with the panel.
    bool succeeded = false;
    for (int32_t allowed = 0; !succeeded && allowed < 20000; allowed += 97) {
        auto owned = std::make_unique<CDebugInfoWidget>();
        ASSERT_EQ(owned->SetSize(600, 450, 0), eNoError);
        CDebugInfoWidget* inspector = owned.get();
        ASSERT_EQ(backdrop->AddChild(owned.release(), 0), eNoError);
        error e = eNoError;
        {
            CFailingMemory memory(allowed);
            e = inspector->SetupDebugInfoBack(ok);
        }
        succeeded = e == eNoError;
        ASSERT_EQ(backdrop->RemoveChild(inspector, 0), eNoError);
    }
    EXPECT_TRUE(succeeded);
}

// --- The backdrop opens it.

class DebugInfoOpening : public DebugInfo {
protected:
    void SetUp() override {
        DebugInfo::SetUp();
        backdrop->SetWidgetRolloverEnabled(1);
        m_Services.m_CursorLoc = gCPoint(75, 45); // over the OkButton, beside its label
        backdrop->PassRolloverTest();
        ASSERT_EQ(backdrop->WidgetRollover(), ok);
        m_Services.m_nModifiers = kModCommand | kModShift | kModOption;
        m_Services.m_fLButton = 1;
        m_Services.m_OnPump = [this]() {
            clock.AdvanceMilliseconds(100);
            // The marker is under the pointer now.
            backdrop->PassRolloverTest();
            if (++pumps == 3) {
                m_Services.m_fLButton = 0;
            }
        };
    }
    void TearDown() override {
        RegisterDebugInfoWidget();
        DebugInfo::TearDown();
    }
    int32_t pumps = 0;
};

TEST_F(DebugInfoOpening, WithAltTheInspectorOpensForTheWidgetUnderThePointer) {
    EXPECT_EQ(backdrop->TestWidgetDebug(), eHandled);
    EXPECT_TRUE(m_Services.m_Alerts.empty());
    auto* inspector = dynamic_cast<CDebugInfoWidget*>(backdrop->Child(0));
    ASSERT_NE(inspector, nullptr);
    EXPECT_EQ(backdrop->TopModal(), inspector);
    EXPECT_EQ(inspector->ShownWidget(), ok);
    EXPECT_EQ(inspector->Rect(), gCRect(100, 75, 700, 525));
    EXPECT_EQ(uint32_t(inspector->GetClientColour()), kPanelColour);
    EXPECT_EQ(inspector->OpaqueBlit(), 1);
    EXPECT_EQ(backdrop->ChildCount(), 3); // the marker has gone
    // Once up, it is not opened again.
    m_Services.m_fLButton = 1;
    pumps = 0;
    EXPECT_EQ(backdrop->TestWidgetDebug(), eNoError);
    EXPECT_EQ(backdrop->ChildCount(), 3);
}

CRoRectWidget* NoPanel() {
    return nullptr;
}
CWidget* g_pElsewhere = nullptr;
CRoRectWidget* ParentedPanel() {
    auto* panel = new CDebugInfoWidget();
    EXPECT_EQ(g_pElsewhere->AddChild(panel, 0), eNoError);
    return panel;
}
error SetupWithoutMemory(CRoRectWidget* inspector, CWidget* shown) {
    CFailingMemory memory;
    return static_cast<CDebugInfoWidget*>(inspector)->SetupDebugInfoBack(shown);
}

TEST_F(DebugInfoOpening, EachFailureIsShown) {
    CWidget elsewhere;
    g_pElsewhere = &elsewhere;
    const CBackdrop::SInspectorHook noPanel{&NoPanel, nullptr, nullptr};
    const CBackdrop::SInspectorHook parented{&ParentedPanel, CBackdrop::InspectorHook()->m_pSetup,
                                             nullptr};
    const CBackdrop::SInspectorHook failing{CBackdrop::InspectorHook()->m_pCreate,
                                            &SetupWithoutMemory, nullptr};
    struct SCase {
        const CBackdrop::SInspectorHook* hook;
        const char* alert;
    };
    const SCase cases[] = {
        {nullptr, "Couldn't create pInfoBack widget"},
        {&noPanel, "Couldn't create pInfoBack widget"},
        {&parented, "Couldn't add pInfoBack widget"},
        {&failing, "Couldn't setup information about widget"},
    };
    for (const SCase& c : cases) {
        CBackdrop::SetInspectorHook(c.hook);
        // The flash before left the marker as the rollover widget, and its
        // removal cleared it.
        EXPECT_EQ(backdrop->WidgetRollover(), c.hook == nullptr ? ok : nullptr);
        backdrop->PassRolloverTest();
        m_Services.m_Alerts.clear();
        m_Services.m_fLButton = 1;
        pumps = 0;
        EXPECT_EQ(backdrop->TestWidgetDebug(), eHandled);
        EXPECT_EQ(AlertTexts(), std::vector<std::string>{c.alert});
        EXPECT_EQ(backdrop->ChildCount(), 2);
        EXPECT_EQ(backdrop->ModalCount(), 0);
        EXPECT_EQ(elsewhere.ChildCount(), 0);
    }
}

TEST_F(DebugInfo, GoldenInspectorOverATree) {
    panel->SetOpaqueThreshold(0); // a warning in red
    CDebugInfoWidget* inspector = Open(panel);
    ClickRow(3);
    ASSERT_EQ(inspector->ShownWidget(), ok);
    ASSERT_EQ(backdrop->CompositeArea(gCRect(0, 0, 800, 600)), eNoError);
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(100 + 300, 75 + 48))), kPanelColour);
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(100 + 245, 75 + 37))), 0xFFBEBECEu);
    EXPECT_EQ(uint32_t(backdrop->GetColourAtPoint(gCPoint(100 + 403, 75 + 40))), 0xFF6E6E7Eu);
    EXPECT_GOLDEN_PNG(*backdrop->BackBuffer(), "inspector-over-tree");
}

} // namespace
