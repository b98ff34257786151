// The backdrop's chunks and the steps after them, and its drawn cursors.

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "widgets/CoWidget.h"
#include "widgets/WidgetConstructor.h"
#include "widgets/tests/BackdropTestSupport.h"
#include "widgets/tests/TestWidgets.h"

namespace {

using Strings = std::vector<std::string>;

class BackdropResources : public TempVolume {
protected:
    void Write(const std::vector<std::string>& blocks) {
        (void)m_File.Close(); // a file not yet open has nothing to close
        MakeFile("system.vrf", ResourceFileBytes(2, blocks));
        gCFRef ref(S("HD:system.vrf"));
        ASSERT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
        m_Index.ClearContents();
        ASSERT_EQ(m_Index.SetupIndex(&m_File), eNoError);
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
    }
    // A backdrop block named B with the chunks, loaded in place.
    error Load(const CWidgetChunks& chunks, CTestBackdrop& backdrop,
               std::vector<std::string> more = {}) {
        more.push_back(WidgetBlock("bkdp", 1, "B", chunks));
        Write(more);
        return backdrop.GetFromRes(S("B"), nullptr, nullptr);
    }
    // The detail lines of the alerts shown, in order.
    Strings Details() const {
        Strings out;
        for (const auto& alert : m_Services.m_Alerts) {
            const size_t lf = alert.text.find('\n');
            out.push_back(lf == std::string::npos ? std::string() : alert.text.substr(lf + 1));
        }
        return out;
    }
    // A small colour widget block to serve as a cursor.
    static std::string CursorBlock(const char* name, int32_t id) {
        return WidgetBlock("cowg", id, name, CWidgetChunks().Int("colr", int32_t(0xFFFF0000u)));
    }

    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
};

TEST_F(BackdropResources, EachChunkSetsItsField) {
    CTestBackdrop backdrop;
    ASSERT_EQ(Load(CWidgetChunks()
                       .Int("colr", int32_t(0xFF102030u))
                       .Int("grop", 77)
                       .Real("gran", 0.25f)
                       .Int("grac", 1)
                       .Real("grcx", 0.25f)
                       .Real("grcy", 0.75f)
                       .Int("whsb", 0)
                       .Int("fscr", 1),
                   backdrop),
              eNoError);
    EXPECT_EQ(uint32_t(backdrop.BackgroundColour()), 0xFF102030u);
    EXPECT_EQ(backdrop.GradientOpacity(), 77);
    EXPECT_EQ(backdrop.GradientAngle(), 0.25f);
    EXPECT_EQ(backdrop.Radial(), 1);
    EXPECT_EQ(backdrop.CentreX(), 0.25f);
    EXPECT_EQ(backdrop.CentreY(), 0.75f);
    EXPECT_EQ(backdrop.WindowHasBorder(), 0);
    EXPECT_EQ(backdrop.PositionerSize(), gCPoint(10000, 10000));
    EXPECT_TRUE(m_Services.m_Alerts.empty());
}

TEST_F(BackdropResources, FlagsTakeOnlyTheirValue) {
    CTestBackdrop backdrop;
    ASSERT_EQ(Load(CWidgetChunks()
                       .Real("xsiz", 300.0f)
                       .Real("ysiz", 200.0f)
                       .Int("fscr", 2)
                       .Int("grac", 2)
                       .Int("whsb", 5),
                   backdrop),
              eNoError);
    EXPECT_EQ(backdrop.PositionerSize(), gCPoint(300, 200));
    EXPECT_EQ(backdrop.Radial(), 0);
    EXPECT_EQ(backdrop.WindowHasBorder(), 1);
}

TEST_F(BackdropResources, AShortPayloadShowsItsChunksText) {
    const char* codes[] = {"colr", "grop", "grad", "gran", "grac", "grcx",
                           "grcy", "imag", "curs", "dcur", "fscr", "whsb"};
    for (const char* code : codes) {
        m_Services.m_Alerts.clear();
        CTestBackdrop backdrop;
        EXPECT_NE(Load(CWidgetChunks().Code(code).Raw(std::string("\x01\x02", 2)), backdrop),
                  eNoError)
            << code;
        const Strings details = Details();
        ASSERT_EQ(details.size(), 2u) << code;
        EXPECT_EQ(details[0], std::string("Backdrop ") + code + ".") << code;
        EXPECT_EQ(details[1], "Error parsing backdrop data chunk type.") << code;
    }
}

TEST_F(BackdropResources, CursorTextsAreSplitAtTheirSeparators) {
    struct Case {
        const char* text;
        bool good;
        gCPoint hot;
    };
    const Case cases[] = {
        {"Arrow|3,4", true, {3, 4}},
        {"Arrow|-2.7,9.9", true, {-2, 9}},
        {"Arrow|1e20,-1e20", true, {INT_MAX, INT_MIN}},
        {"Arrow|nan,inf", true, {0, 0}},
        {"Arrow|x,y", true, {0, 0}},
        {"Arrow3,4", false, {}},
        {"|3,4", false, {}},
        {"Arrow|,4", false, {}},
        {"Arrow|34", false, {}},
    };
    for (const Case& c : cases) {
        m_Services.m_Alerts.clear();
        CTestBackdrop backdrop;
        const error e =
            Load(CWidgetChunks().String("curs", c.text), backdrop, {CursorBlock("Arrow", 2)});
        if (!c.good) {
            EXPECT_NE(e, eNoError) << c.text;
            ASSERT_FALSE(Details().empty()) << c.text;
            EXPECT_EQ(Details()[0], "Backdrop curs.") << c.text;
            continue;
        }
        ASSERT_EQ(e, eNoError) << c.text << ::testing::PrintToString(Details());
        ASSERT_EQ(backdrop.CursorCount(), 1) << c.text;
        const auto& info = backdrop.CursorInfo(0);
        EXPECT_EQ(gCPoint(info.m_nHotX, info.m_nHotY), c.hot) << c.text;
        EXPECT_EQ(info.m_pWidget->IsPooled(), 1) << c.text;
        EXPECT_EQ(backdrop.CurrentCursor(), nullptr) << c.text;
    }
}

TEST_F(BackdropResources, TwoCursorsAndADefault) {
    CTestBackdrop backdrop;
    ASSERT_EQ(Load(CWidgetChunks()
                       .String("curs", "Arrow|1,2")
                       .String("curs", "Hand|5,6")
                       .String("dcur", "Hand"),
                   backdrop, {CursorBlock("Arrow", 2), CursorBlock("Hand", 3)}),
              eNoError);
    ASSERT_EQ(backdrop.CursorCount(), 2);
    EXPECT_EQ(U(backdrop.CursorInfo(0).m_pWidget->GetResName()), "Arrow");
    EXPECT_EQ(U(backdrop.CursorInfo(1).m_pWidget->GetResName()), "Hand");
    EXPECT_EQ(backdrop.CurrentCursor(), backdrop.CursorInfo(1).m_pWidget);
    EXPECT_EQ(backdrop.CurrentCursor()->Parent(), &backdrop);
    EXPECT_EQ(backdrop.ChildCount(), 0);
    EXPECT_EQ(m_Services.m_nHideSystemCursorCalls, 1);
}

TEST_F(BackdropResources, TheStepsAfterTheChunksShowTheirTexts) {
    struct Case {
        CWidgetChunks chunks;
        const char* last;
    };
    const Case cases[] = {
        {CWidgetChunks().String("imag", "Missing"), "Backdrop image load failed!"},
        {CWidgetChunks().String("grad", "Missing"), "Backdrop gradient load failed!"},
        {CWidgetChunks().String("curs", "Missing|1,1"), "Backdrop cursor create failed!"},
        {CWidgetChunks().String("curs", "Arrow|1,1").String("dcur", "Hand"),
         "Backdrop default cursor init failed!"},
    };
    for (const Case& c : cases) {
        m_Services.m_Alerts.clear();
        CTestBackdrop backdrop;
        EXPECT_EQ(Load(c.chunks, backdrop, {CursorBlock("Arrow", 2)}), eResourceReadError)
            << c.last;
        ASSERT_FALSE(Details().empty()) << c.last;
        EXPECT_EQ(Details().back(), c.last);
    }
}

TEST_F(BackdropResources, TheConstructorBuildsBackdrops) {
    Write({WidgetBlock("bkdp", 7, "Root", CWidgetChunks().Int("colr", 0x11223344))});
    std::unique_ptr<CWidget> built(CWidgetConstructor::ConstructFromName(S("Root"), nullptr));
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->TypeID(), kBackdropTypeID);
    std::unique_ptr<CBackdrop> made(CBackdrop::CreateFromRes(7, nullptr, nullptr));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(U(made->GetName()), "Root");
    EXPECT_EQ(CBackdrop::CreateFromRes(S("Nothing"), nullptr, nullptr), nullptr);
}

// --- Cursors

TEST_F(BackdropResources, CursorsAreReplacedDeletingOnlyWhatTheyShould) {
    Log log;
    CTestBackdrop backdrop;
    ASSERT_EQ(backdrop.SetSize(100, 100, 0), eNoError);
    CRecordingHost host;
    host.m_Origin = gCPoint(100, 50);
    backdrop.SetHost(&host);
    m_Services.m_CursorLoc = gCPoint(150, 90);
    auto* stored = new CLoggingWidget(&log, "stored");
    ASSERT_EQ(backdrop.AddCursorToArray(stored, gCPoint(3, 4)), eNoError);
    EXPECT_EQ(stored->IsPooled(), 1);
    EXPECT_EQ(backdrop.SetCursor(int32_t(1)), eBadParameter); // the count
    EXPECT_EQ(backdrop.SetCursor(int32_t(-1)), eBadParameter);
    EXPECT_EQ(backdrop.SetCursor(uint32_t(99)), eBadParameter);
    EXPECT_EQ(backdrop.SetCursor(S("")), eBadParameter);
    EXPECT_EQ(backdrop.CurrentCursor(), nullptr);

    ASSERT_EQ(backdrop.SetCursor(int32_t(0)), eNoError);
    EXPECT_EQ(backdrop.CurrentCursor(), stored);
    EXPECT_EQ(stored->Parent(), &backdrop);
    // The mouse at (50, 40) in the backdrop, less the hot spot.
    EXPECT_EQ(stored->Rect().left, 47);
    EXPECT_EQ(stored->Rect().top, 36);

    auto* direct = new CLoggingWidget(&log, "direct");
    ASSERT_EQ(backdrop.SetCursor(direct, gCPoint()), eNoError);
    ASSERT_EQ(backdrop.SetCursor(direct, gCPoint()), eNoError); // the same again
    EXPECT_TRUE(log.empty());
    ASSERT_EQ(backdrop.SetCursor(int32_t(0)), eNoError);
    EXPECT_EQ(log, (Log{"direct:deleted"}));
    ASSERT_EQ(backdrop.SetCursor(nullptr, gCPoint()), eNoError);
    EXPECT_EQ(backdrop.CurrentCursor(), nullptr);
    EXPECT_EQ(m_Services.m_nShowSystemCursorCalls, 1);
    EXPECT_EQ(log, (Log{"direct:deleted"}));
}

TEST_F(BackdropResources, HidingAndShowingTheCursor) {
    CTestBackdrop backdrop;
    ASSERT_EQ(backdrop.SetSize(100, 100, 0), eNoError);
    m_Services.m_fSystemCursor = 1;
    backdrop.HideCursor();
    EXPECT_EQ(m_Services.m_nHideSystemCursorCalls, 1);
    EXPECT_EQ(backdrop.IsCursorVisible(), 0);
    backdrop.ShowCursor();
    EXPECT_EQ(backdrop.IsCursorVisible(), 1);
    auto* cursor = new CWidget;
    ASSERT_EQ(cursor->SetVisibility(1, 0), eNoError);
    ASSERT_EQ(backdrop.AddCursorToArray(cursor, gCPoint()), eNoError);
    ASSERT_EQ(backdrop.SetCursor(int32_t(0)), eNoError);
    backdrop.HideCursor();
    EXPECT_EQ(cursor->Visible(), 0);
    EXPECT_EQ(backdrop.IsCursorVisible(), 0);
    backdrop.ShowCursor();
    EXPECT_EQ(backdrop.IsCursorVisible(), 1);
}

TEST_F(BackdropResources, TheCursorIsDrawnOverTheComposite) {
    CTestBackdrop backdrop;
    ASSERT_EQ(backdrop.SetSize(20, 20, 0), eNoError);
    backdrop.CreationComplete();
    CRecordingHost host;
    backdrop.SetHost(&host);
    m_Services.m_CursorLoc = gCPoint(5, 5);
    auto owned = std::make_unique<CCoWidget>();
    ASSERT_EQ(owned->SetSize(2, 2, 0), eNoError);
    ASSERT_EQ(owned->SetVisibility(1, 0), eNoError);
    ASSERT_EQ(owned->SetClientColour(CPixel(0xFFFF0000u), 0), eNoError);
    ASSERT_EQ(backdrop.SetCursor(owned.release(), gCPoint(1, 1)), eNoError);
    ASSERT_EQ(backdrop.PassRedraw(), eNoError);
    EXPECT_EQ(uint32_t(backdrop.GetColourAtPoint(gCPoint(4, 4))), 0xFFFF0000u);
    EXPECT_EQ(uint32_t(backdrop.GetColourAtPoint(gCPoint(5, 5))), 0xFFFF0000u);
    EXPECT_EQ(uint32_t(backdrop.GetColourAtPoint(gCPoint(6, 6))), 0xFF303050u);
    // A cursor removed by whoever holds it is forgotten by the backdrop.
    CWidget* cursor = backdrop.CurrentCursor();
    CWidget::DeleteWhenSafe(cursor);
    EXPECT_EQ(backdrop.CurrentCursor(), nullptr);
    ASSERT_EQ(backdrop.InvalidateClient(1), eNoError);
}

} // namespace
