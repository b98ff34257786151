// The main backdrop as the built resource file makes it: the tree the
// interface finds its widgets in, the set-up's messages and failures, the
// canvas widget's placing for a new painting and on a window resize, and
// the start-up's sizes and start paths.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/IndexedFile.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/RecordingModule.h"
#include "ui/SMKApp.h"
#include "ui/SMKBackdrop.h"
#include "ui/tests/BuiltInterface.h"
#include "widgets/ImWidget.h"

namespace {

class MainBackdrop : public ::testing::Test {
protected:
    void SetUp() override {
        m_Built.Open();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(m_Backdrop.GetFromRes(S("Daublin"), &m_File, nullptr), eNoError);
        gCCmdTarget::SetBackboneModule(&m_Backbone);
    }
    void TearDown() override {
        gCCmdTarget::SetBackboneModule(nullptr);
        EXPECT_TRUE(m_Services.m_Alerts.empty());
    }

    std::vector<uint32_t> BackboneIds() const {
        std::vector<uint32_t> ids;
        for (const CRecordingModule::Call& call : m_Backbone.m_Calls) {
            ids.push_back(call.id);
        }
        return ids;
    }
    // Sizes the backdrop and sets up the interface; the canvas widget.
    CWidget* SetUpIn(int32_t width, int32_t height) {
        EXPECT_EQ(m_Backdrop.SetSize(width, height, 0), eNoError);
        EXPECT_EQ(m_Backdrop.SetupInterface(), eNoError);
        return m_Backdrop.CanvasWidget();
    }
    static void Size(CProjectInfo& info, int32_t width, int32_t height) {
        info.m_nWidth = width;
        info.m_nHeight = height;
    }

    CBuiltInterface m_Built;
    CFakeResourceServices& m_Services = m_Built.m_Services;
    gCFile& m_File = m_Built.m_File;
    gCResourceIndex& m_Index = m_Built.m_Index;
    CRecordingModule m_Backbone;
    CSMKBackdrop m_Backdrop;
};

TEST_F(MainBackdrop, TheTreeHoldsTheCanvasAndTheWidgetsTheInterfaceFinds) {
    CWidget* canvas = m_Backdrop.FindByID(5);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->TypeID(), kImWidgetTypeID);
    EXPECT_EQ(canvas->Parent(), &m_Backdrop);
    EXPECT_EQ(canvas->Visible(), 0) << "the canvas appears with the first painting";
    const struct {
        uint32_t parent;
        std::vector<uint32_t> children;
    } kTrees[] = {{3, {}}, {1000, {1031, 1032, 1033}}, {2300, {}}, {2500, {2502, 2503}}};
    for (const auto& tree : kTrees) {
        CWidget* widget = m_Backdrop.FindByID(tree.parent);
        ASSERT_NE(widget, nullptr) << tree.parent;
        EXPECT_EQ(widget->Visible(), 0) << tree.parent;
        for (uint32_t child : tree.children) {
            CWidget* found = widget->FindByID(child);
            ASSERT_NE(found, nullptr) << child;
            EXPECT_EQ(found->Parent(), widget) << child;
        }
    }
}

// The background is the studio at night: warm neutrals everywhere (red at
// least green at least blue), the vignette's light in the middle and its dark
// at the corners over the ground #26241F, the tile's grain a few levels only.
TEST_F(MainBackdrop, BackgroundIsWarmAndDarkWithALightInTheMiddle) {
    constexpr int32_t kW = 1280, kH = 1024;
    ASSERT_EQ(m_Backdrop.SetSize(kW, kH, 0), eNoError);
    CImage picture(kW, kH);
    ASSERT_EQ(m_Backdrop.RenderArea(gCRect(0, 0, kW, kH), &picture, 255), eNoError);
    CImNav view(&picture);
    ASSERT_TRUE(view.IsLocked());
    auto channel = [](uint32_t p, int32_t shift) { return int32_t((p >> shift) & 0xFFu); };
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            const uint32_t p = view.Row(y)[x];
            ASSERT_TRUE(channel(p, 16) >= channel(p, 8) && channel(p, 8) >= channel(p, 0))
                << std::hex << p << " at " << std::dec << x << ", " << y;
        }
    }
    // The mean of a patch against the vignette's colour there laid at 200 of
    // 255 over the ground: #34312B in the middle, #1B1A17 in the corners.
    auto mean = [&](int32_t left, int32_t top, int32_t shift) {
        int32_t sum = 0;
        for (int32_t y = top; y < top + 16; ++y) {
            for (int32_t x = left; x < left + 16; ++x) {
                sum += channel(view.Row(y)[x], shift);
            }
        }
        return double(sum) / 256.0;
    };
    const struct {
        const char* where;
        int32_t left, top;
        uint32_t vignette;
    } kPatches[] = {{"middle", kW / 2 - 8, kH / 2 - 8, 0x34312Bu},
                    {"top left", 0, 0, 0x1B1A17u},
                    {"bottom right", kW - 16, kH - 16, 0x1B1A17u}};
    for (const auto& patch : kPatches) {
        for (const int32_t shift : {16, 8, 0}) {
            const double ground = channel(0x26241Fu, shift), light = channel(patch.vignette, shift);
            EXPECT_NEAR(mean(patch.left, patch.top, shift),
                        ground + (light - ground) * 200.0 / 255.0, 2.0)
                << patch.where << ", channel " << shift / 8;
        }
    }
    // The grain: neighbours a few levels apart at most.
    int32_t largest = 0;
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 1; x < kW; ++x) {
            largest = std::max(
                largest, std::abs(channel(view.Row(y)[x], 16) - channel(view.Row(y)[x - 1], 16)));
        }
    }
    EXPECT_GT(largest, 0) << "a grain at all";
    EXPECT_LE(largest, 3);
}

TEST_F(MainBackdrop, SetUpStartsTheBackboneFirstAndSelectsTheSavedTool) {
    m_Backdrop.m_nSavedTool = 0;
    SetUpIn(1000, 700);
    // Between them the menu bar reads the zoom, the colour picker reads the
    // auto-clean flag and reports its colour, and the clean-brush panel
    // reads the flag.
    EXPECT_EQ(BackboneIds(), (std::vector<uint32_t>{eCmdInitBackbone, eCmdDisplayScale,
                                                    eCmdAutoClean, eMsgPaintColour,
                                                    eCmdAutoClean, eCmdSelectTool}));
    EXPECT_EQ(m_Backbone.m_Calls.back().value, 0);
    EXPECT_EQ(m_Backdrop.CanvasWidget(), m_Backdrop.FindByID(5));
    EXPECT_EQ(m_Backdrop.CanvasColourWidget(), m_Backdrop.FindByID(2300));
    EXPECT_EQ(m_Backdrop.ProjectFileType().m_nTypeID, 24);
    EXPECT_EQ(m_Backdrop.ProjectFileType().m_nMacType, FourCC("SKPJ"));
}

TEST_F(MainBackdrop, SetUpFailsWithoutTheCanvasOrTheCanvasColourWidget) {
    for (uint32_t missing : {5u, 2300u}) {
        CSMKBackdrop backdrop;
        ASSERT_EQ(backdrop.GetFromRes(S("Daublin"), &m_File, nullptr), eNoError);
        ASSERT_EQ(backdrop.RemoveChildByID(missing, 0), eNoError);
        m_Backbone.m_Calls.clear();
        EXPECT_EQ(backdrop.SetupInterface(), eResourceNotFound) << missing;
        EXPECT_EQ(BackboneIds(), std::vector<uint32_t>{eCmdInitBackbone}) << missing;
    }
}

TEST_F(MainBackdrop, ASelectionThatFailsStopsTheSetUp) {
    m_Backbone.m_nResult = eCreateFailed;
    ASSERT_EQ(m_Backdrop.SetSize(1000, 700, 0), eNoError);
    EXPECT_EQ(m_Backdrop.SetupInterface(), eCreateFailed);
}

TEST_F(MainBackdrop, ANewPaintingIsCentredShownAndHandedToTheBackbone) {
    const struct {
        int32_t width, height;
        gCPoint where;
    } kCases[] = {
        {800, 600, gCPoint(100, 50)},
        {801, 600, gCPoint(100, 50)}, // 500 - 400: halves toward zero
        {1200, 900, gCPoint(-100, -100)},
    };
    CWidget* canvas = SetUpIn(1000, 700);
    ASSERT_NE(canvas, nullptr);
    for (const auto& c : kCases) {
        m_Backbone.m_Calls.clear();
        CProjectInfo info;
        Size(info, c.width, c.height);
        EXPECT_EQ(m_Backdrop.ProcessData(eCmdNewProject, nullptr, ChannelValueOf(&info), 1), 0);
        EXPECT_EQ(canvas->Rect(),
                  gCRect(c.where.x, c.where.y, c.where.x + c.width, c.where.y + c.height))
            << c.width;
        EXPECT_EQ(canvas->Visible(), 1);
        // Then the menu bar asks for the zoom, the name bar for the new
        // painting's name and the tracing-paper picker for its image.
        ASSERT_EQ(m_Backbone.m_Calls.size(), 4u);
        EXPECT_EQ(m_Backbone.m_Calls[0].id, eCmdSetupCanvasWidget);
        EXPECT_EQ(ChannelPointer<CWidget>(m_Backbone.m_Calls[0].value), canvas);
        EXPECT_EQ(m_Backbone.m_Calls[1].id, eCmdDisplayScale);
        EXPECT_EQ(m_Backbone.m_Calls[1].sender, m_Backdrop.Panel(0));
        EXPECT_EQ(m_Backbone.m_Calls[2].id, eCmdGetProjectInfo);
        EXPECT_EQ(m_Backbone.m_Calls[2].sender, m_Backdrop.NameBar());
        EXPECT_EQ(m_Backbone.m_Calls[3].id, eCmdGetTracing);
        EXPECT_EQ(m_Backbone.m_Calls[3].sender, m_Backdrop.Panel(3));
    }
}

TEST_F(MainBackdrop, WideningKeepsThePointUnderTheCentre) {
    CWidget* canvas = SetUpIn(1000, 700);
    CProjectInfo info;
    Size(info, 800, 600);
    ASSERT_EQ(m_Backdrop.SetupCanvasWidget(&info), eNoError);
    ASSERT_EQ(m_Backdrop.SetSize(1200, 700, 0), eNoError);
    EXPECT_EQ(canvas->Rect(), gCRect(200, 50, 1000, 650));
}

TEST_F(MainBackdrop, AResizeKeepsHalfTheViewCoveredOrTheCanvasInside) {
    // A canvas 3000 wide keeps x = 500 covered; one 400 wide stays inside.
    const struct {
        int32_t width, x, expected;
    } kCases[] = {
        {3000, 900, 500}, {3000, -2600, -2500}, {3000, -1000, -1000},
        {400, 700, 600},  {400, -100, 0},       {400, 300, 300},
    };
    CWidget* canvas = SetUpIn(1000, 700);
    for (const auto& c : kCases) {
        ASSERT_EQ(canvas->SetSize(c.width, 600, 0), eNoError);
        ASSERT_EQ(canvas->SetPosition(c.x, 50, 0), eNoError);
        ASSERT_EQ(m_Backdrop.SetSize(1000, 700, 0), eNoError);
        EXPECT_EQ(canvas->Rect().left, c.expected) << c.width << " at " << c.x;
    }
}

TEST(StartUpSizes, ANewPaintingIsNinetyPercentOfTheBackdropWithinLimits) {
    const struct {
        int32_t w, h;
        gCPoint size;
    } kCases[] = {
        {1024, 768, gCPoint(922, 691)},
        {1280, 1024, gCPoint(1152, 922)},
        {50, 10, gCPoint(100, 100)},
        {9000, 6000, gCPoint(5000, 5000)},
    };
    for (const auto& c : kCases) {
        const gCPoint size = CSMKApp::NewProjectSize(c.w, c.h);
        EXPECT_EQ(size.x, c.size.x) << c.w;
        EXPECT_EQ(size.y, c.size.y) << c.h;
    }
}

TEST(StartUpSizes, OnlyAPathEndingInLowerCasePtgNamesAProject) {
    const struct {
        const char* path;
        bool project;
    } kCases[] = {
        {"/home/a/x.ptg", true},
        {"\"/home/a/x.ptg\"", true},
        {"x.PTG", false},
        {"x.png", false},
        {"", false},
        {"\"\"", false},
        {"ptg", false},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(CSMKApp::IsProjectPath(S(c.path)), c.project) << c.path;
    }
}

} // namespace
