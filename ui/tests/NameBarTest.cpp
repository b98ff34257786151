// The name bar with the built resources: set up as panel 1, the name and
// suffix it shows, its width and place as names change, a name too long
// for the window, a failed query; then with a real backbone and the
// scripted file dialog, the name following saves and opens.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "FileIO/gCFRef.h"
#include "foundation/MessageIds.h"
#include "foundation/Timing.h"
#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/SpyTool.h"
#include "text/TxWidget.h"
#include "ui/SMKBackdrop.h"
#include "ui/panels/NameBar.h"
#include "ui/tests/BuiltInterface.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kWindowWidth = 1024;
constexpr int32_t kCap = 32;

// A backbone that records and answers the project query with its own
// project (unless told to fail).
class CProjectBackbone : public CRecordingModule {
public:
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        const int32_t result = CRecordingModule::ProcessData(id, sender, value, set);
        if (id == eCmdGetProjectInfo && result == 0) {
            *ChannelPointer<CProjectInfo*>(value) = &m_Project;
        }
        return result;
    }
    CProjectInfo m_Project;
};

TEST(BuiltTitleBars, TheBarImagesHaveAnEvenWidthAndTheRootsHeight) {
    CBuiltInterface built;
    built.Open();
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    std::unique_ptr<CImWidget> root(CImWidget::CreateFromRes(100, nullptr, nullptr));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Positioner()->m_rYSize, 36.0f);
    EXPECT_EQ(root->Positioner()->m_rYPos, 12.0f);
    for (const int32_t id : {101, 102}) {
        std::unique_ptr<CImage> image(CImage::CreateFromRes(id, nullptr, nullptr));
        ASSERT_NE(image, nullptr) << id;
        EXPECT_EQ(image->GetWidth() % 2, 0) << id;
        EXPECT_EQ(image->GetWidth(), 64) << id;
        EXPECT_EQ(float(image->GetHeight()), root->Positioner()->m_rYSize) << id;
    }
    EXPECT_TRUE(built.m_Services.m_Alerts.empty());
}

class NameBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Built.Open();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(m_Backdrop.GetFromRes(S("Daublin"), &m_Built.m_File, nullptr), eNoError);
        ASSERT_EQ(m_Backdrop.SetSize(kWindowWidth, 768, 0), eNoError);
        gCCmdTarget::SetBackboneModule(&m_Backbone);
        ASSERT_EQ(m_Backdrop.SetupInterface(), eNoError);
        m_pBar = m_Backdrop.NameBar();
        ASSERT_NE(m_pBar, nullptr);
        m_pRoot = m_pBar->Root();
        m_pText = m_pBar->NameText();
        ASSERT_NE(m_pRoot, nullptr);
        ASSERT_NE(m_pText, nullptr);
    }
    void TearDown() override {
        gCCmdTarget::SetBackboneModule(nullptr);
        EXPECT_TRUE(m_Built.m_Services.m_Alerts.empty());
    }

    // A new painting of that name, as the backbone announces it.
    void NewPainting(const char* name) {
        ASSERT_EQ(m_Backbone.m_Project.m_Name.CopyString(name), eNoError);
        m_Backbone.m_Project.m_nWidth = 400;
        m_Backbone.m_Project.m_nHeight = 300;
        EXPECT_EQ(m_Backdrop.ProcessData(eCmdNewProject, &m_Backbone,
                                         ChannelValueOf(&m_Backbone.m_Project), 1),
                  0);
    }
    std::string Shown() const { return U(m_pText->String()); }

    CBuiltInterface m_Built;
    CProjectBackbone m_Backbone;
    CSMKBackdrop m_Backdrop;
    CNameBar* m_pBar = nullptr;
    CImWidget* m_pRoot = nullptr;
    CTxWidget* m_pText = nullptr;
};

TEST_F(NameBarTest, ItIsPanelOneRetractedAtTheLeftEdgeWithItsRoot) {
    EXPECT_EQ(m_Backdrop.Panel(1), m_pBar);
    // Listed after the menu bar's root, before the colour picker's, the
    // tracing-paper picker's, the brush picker's and the clean-brush panel's.
    ASSERT_EQ(m_Backdrop.PanelRoots().GetSize(), 6);
    EXPECT_EQ(m_Backdrop.PanelRoots()[1], m_pRoot);
    EXPECT_EQ(m_pRoot->Parent(), &m_Backdrop);
    EXPECT_EQ(m_pRoot->GetResID(), 100);
    EXPECT_EQ(m_pBar->LeftAnchored(), 1);
    EXPECT_EQ(m_pBar->Extended(), 0);
    EXPECT_EQ(m_pBar->CapWidth(), kCap);
    // Before any name: 100 wide, only the cap in the window.
    EXPECT_EQ(m_pRoot->Rect(), gCRect(kCap - 140, 12, kCap, 48));
}

TEST_F(NameBarTest, ItShowsTheNameWithTheSuffixAndTakesItsWidth) {
    const struct {
        const char* name;
        const char* shown;
    } kCases[] = {
        {"Untitled", "Untitled.ptg"}, {"", ".ptg"}, {"Harbour at dusk", "Harbour at dusk.ptg"}};
    for (const auto& c : kCases) {
        NewPainting(c.name);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(m_pRoot->Width(), m_pText->Width() + 49 + 40) << c.name;
        // Retracted, the cap alone shows, whatever the width.
        EXPECT_EQ(m_pRoot->Rect().right, kCap) << c.name;
        // The text starts 52 pixels in and is centred in the bar's height.
        gCRect text(0, 0, m_pText->Width(), m_pText->Height());
        m_pText->LocalToBackdrop(text);
        EXPECT_EQ(text.left - m_pRoot->Rect().left, 52) << c.name;
        EXPECT_LE(std::abs((text.top - 12) - (48 - text.bottom)), 1) << c.name;
        EXPECT_EQ(m_pRoot->Width() - kCap - (text.right - m_pRoot->Rect().left), 5)
            << "the text ends 5 pixels before the cap";
    }
    EXPECT_EQ(U(m_Backbone.m_Project.m_Name), "Harbour at dusk");
}

TEST_F(NameBarTest, ANameOfTheSameWidthRepaintsWithoutMoving) {
    for (const int32_t extended : {0, 1}) {
        ASSERT_EQ(m_pBar->SetBarExtended(extended, 0, 0), eNoError);
        NewPainting("Sketch 1");
        const gCRect before = m_pRoot->Rect();
        NewPainting("Sketch 2");
        EXPECT_EQ(Shown(), "Sketch 2.ptg");
        EXPECT_EQ(m_pRoot->Rect(), before) << extended;
        EXPECT_EQ(m_pBar->TimeStep()->m_rTarget, float(before.left)) << extended;
    }
}

TEST_F(NameBarTest, AWiderNameKeepsTheCapWhereItWas) {
    NewPainting("Pond");
    ASSERT_EQ(m_pRoot->Rect().right, kCap);
    NewPainting("The pond at the bottom of the garden");
    EXPECT_EQ(m_pRoot->Rect().right, kCap) << "retracted: the cap stays at the edge";

    ASSERT_EQ(m_pBar->SetBarExtended(1, 0, 0), eNoError);
    EXPECT_EQ(m_pRoot->Rect().left, -40);
    NewPainting("Pond");
    EXPECT_EQ(m_pRoot->Rect().left, -40) << "extended: the 40 pixels stay outside";
    EXPECT_EQ(m_pRoot->Rect().right, -40 + m_pRoot->Width());
}

TEST_F(NameBarTest, ANameTooLongIsShortenedInItsMiddleAndTheCapStaysIn) {
    std::string name = "Begin ";
    while (name.size() < 296) {
        name += "very long ";
    }
    name.resize(296);
    name += " End";
    ASSERT_EQ(name.size(), 300u);
    ASSERT_EQ(m_pBar->SetBarExtended(1, 0, 0), eNoError);
    NewPainting(name.c_str());
    const std::string shown = Shown();
    EXPECT_NE(shown.find("\xE2\x80\xA6"), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(0, 6), "Begin ");
    EXPECT_EQ(shown.substr(shown.size() - 8), " End.ptg");
    EXPECT_LE(m_pText->Width() + 49, kWindowWidth / 2);
    EXPECT_LE(m_pRoot->Rect().right, kWindowWidth) << "the cap stays in the window";
    EXPECT_GT(m_pText->Width() + 49, kWindowWidth / 2 - 40) << "as much as fits is kept";
    EXPECT_EQ(U(m_Backbone.m_Project.m_Name), name) << "the painting's name is untouched";
    // Retracted it keeps its cap at the edge too.
    ASSERT_EQ(m_pBar->SetBarExtended(0, 0, 0), eNoError);
    EXPECT_EQ(m_pRoot->Rect().right, kCap);
}

TEST_F(NameBarTest, AFailedQueryKeepsTextAndPlace) {
    NewPainting("Kept");
    const gCRect before = m_pRoot->Rect();
    m_Backbone.m_nResult = eCreateFailed;
    EXPECT_EQ(m_pBar->SetName(1), eCreateFailed);
    EXPECT_EQ(Shown(), "Kept.ptg");
    EXPECT_EQ(m_pRoot->Rect(), before);
    // Other messages are no concern of the bar.
    m_Backbone.m_nResult = 0;
    EXPECT_EQ(m_pBar->ProcessData(eCmdSaveProject, nullptr, 0, 1), 0);
    EXPECT_EQ(Shown(), "Kept.ptg");
}

TEST_F(NameBarTest, AStoredStateAppliesBeforeTheFirstName) {
    // As the preferences reader applies a stored extended bar.
    ASSERT_EQ(m_pBar->SetBarExtended(1, 0, 0), eNoError);
    EXPECT_EQ(m_pRoot->Rect().left, -40);
    NewPainting("Untitled");
    EXPECT_EQ(m_pBar->Extended(), 1);
    EXPECT_EQ(m_pRoot->Rect().left, -40);
}

// With the real backbone, the name follows the saves through the dialog
// and the opens; a save without the dialog and a failed save leave it.
class SaveBackdrop : public CSMKBackdrop {
public:
    using CSMKBackdrop::SaveProject;
};

class NameBarSaveTest : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        m_Built.Open();
        ASSERT_FALSE(HasFatalFailure());
        RegisterSpyTools();
        ASSERT_EQ(m_Backdrop.GetFromRes(S("Daublin"), &m_Built.m_File, nullptr), eNoError);
        ASSERT_EQ(m_Backdrop.SetSize(kWindowWidth, 768, 0), eNoError);
        gCCmdTarget::SetBackboneModule(&m_Backbone);
        gCCmdTarget::SetUIModule(&m_Backdrop);
        ASSERT_EQ(m_Backdrop.SetupInterface(), eNoError);
        ASSERT_NE(m_Backdrop.NameBar(), nullptr);
        New("Untitled");
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        ResetSpyTools();
        TempVolume::TearDown();
    }

    void New(const char* name) {
        CProjectInfo info;
        info.m_nWidth = 120;
        info.m_nHeight = 100;
        info.m_Name = S(name);
        ASSERT_EQ(m_Backbone.ProcessData(eCmdNewProject, &m_Backdrop, ChannelValueOf(&info), 1), 0);
    }
    void MarkModified() { ASSERT_EQ(m_Backbone.ProcessData(eCmdMarkModified, this, 0, 1), 0); }
    std::string Shown() const { return U(m_Backdrop.NameBar()->NameText()->String()); }

    CBuiltInterface m_Built;
    CScriptedDialog m_Dialog;
    SaveBackdrop m_Backdrop;
    CSMKBackbone m_Backbone;
};

TEST_F(NameBarSaveTest, TheNameFollowsSavesThroughTheDialogOnly) {
    EXPECT_EQ(Shown(), "Untitled.ptg");
    MakeFolder("pics");
    MarkModified();
    m_Dialog.answers.push_back({eNoError, Posix("pics/Harbour.ptg")});
    ASSERT_EQ(m_Backdrop.SaveProject(0), eNoError);
    EXPECT_EQ(U(m_Backbone.ProjectInfo().m_File.FileReference()), "HD:pics:Harbour.ptg");
    EXPECT_EQ(Shown(), "Harbour.ptg");

    // Written to its file without the dialog: the name stays.
    MarkModified();
    ASSERT_EQ(m_Backdrop.SaveProject(0), eNoError);
    EXPECT_EQ(m_Dialog.requests.size(), 1u);
    EXPECT_EQ(Shown(), "Harbour.ptg");

    // A save as that fails (a folder stands where the file would go) and
    // one whose dialog fails leave the name as it was.
    MakeFolder("Taken.ptg");
    m_Dialog.answers.push_back({eNoError, Posix("Taken.ptg")});
    m_Dialog.confirmations.push_back(eNoError);
    EXPECT_NE(m_Backdrop.SaveProject(1), eNoError);
    EXPECT_EQ(Shown(), "Harbour.ptg");
    m_Dialog.answers.push_back({eCreateFailed, Posix("never.ptg")});
    EXPECT_EQ(m_Backdrop.SaveProject(1), eCreateFailed);
    EXPECT_EQ(Shown(), "Harbour.ptg");
}

TEST_F(NameBarSaveTest, OpeningAProjectShowsItsName) {
    m_Dialog.answers.push_back({eNoError, Posix("Studio.ptg")});
    ASSERT_EQ(m_Backdrop.SaveProject(1), eNoError);
    New("Untitled");
    ASSERT_EQ(Shown(), "Untitled.ptg");

    CProjectInfo info;
    info.m_File = gCFRef(S("HD:Studio.ptg"));
    info.m_Name = info.m_File.FileName();
    ASSERT_EQ(m_Backbone.ProcessData(eCmdLoadProject, &m_Backdrop, ChannelValueOf(&info), 1), 0);
    EXPECT_EQ(Shown(), "Studio.ptg");
}

} // namespace
