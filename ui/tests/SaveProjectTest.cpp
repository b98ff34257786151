// Saving from the interface: when the save dialog is shown, what it offers,
// and what the backbone then writes, with a real backbone and the scripted
// dialog.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileIO/FileTypes.h"
#include "FileIO/gCFRef.h"
#include "foundation/MessageIds.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/SpyTool.h"
#include "ui/SMKBackdrop.h"

namespace {

// The backdrop with the project type SetupInterface would give it.
class CSaveBackdrop : public CSMKBackdrop {
public:
    CSaveBackdrop() {
        m_ProjectFileType.m_nTypeID = 24;
        m_ProjectFileType.m_Description = S("Daublin Painting");
        m_ProjectFileType.m_Extension = S(".ptg");
        m_ProjectFileType.m_nMacType = FourCC("SKPJ");
    }
    using CSMKBackdrop::SaveProject;
};

class SaveProject : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        RegisterSpyTools();
        gCCmdTarget::SetBackboneModule(&backbone);
        gCCmdTarget::SetUIModule(&backdrop);
        ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &backdrop, 0, 1), 0);
        CProjectInfo info;
        info.m_nWidth = 120;
        info.m_nHeight = 100;
        info.m_Name = S("Untitled");
        ASSERT_EQ(backbone.ProcessData(eCmdNewProject, &backdrop, ChannelValueOf(&info), 1), 0);
        backdrop.SetPanel(1, &nameBar);
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        ResetSpyTools();
        TempVolume::TearDown();
    }

    void MarkModified() { ASSERT_EQ(backbone.ProcessData(eCmdMarkModified, this, 0, 1), 0); }
    std::string Text(const std::string& relative) {
        std::ifstream in(Posix(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    int32_t NameBarHeard() const {
        int32_t n = 0;
        for (const auto& c : nameBar.m_Calls) {
            n += c.id == eCmdNewProject && c.sender == &backdrop ? 1 : 0;
        }
        return n;
    }

    CFakeAppServices app;
    CScriptedDialog dialog;
    CRecordingModule nameBar;
    CSaveBackdrop backdrop;
    CSMKBackbone backbone;
};

TEST_F(SaveProject, ANewPaintingAsksForItsFileAndTakesItsName) {
    MarkModified();
    dialog.answers.push_back({eNoError, Posix("Harbour.ptg")});
    ASSERT_EQ(backdrop.SaveProject(0), eNoError);
    ASSERT_EQ(dialog.requests.size(), 1u);
    const auto& request = dialog.requests[0];
    EXPECT_EQ(request.kind, CFileDialogBackend::eSaveFile);
    EXPECT_EQ(request.startName, "") << "no name or folder is proposed";
    ASSERT_EQ(request.filters.size(), 1u) << "the project type alone, no all-files entry";
    EXPECT_EQ(request.filters[0].name, "Daublin Painting");

    EXPECT_EQ(U(backbone.ProjectInfo().m_Name), "Harbour");
    EXPECT_EQ(backbone.ProjectInfo().m_File.GetMacType(), FourCC("SKPJ"));
    EXPECT_EQ(backbone.Modified(), 0);
    EXPECT_EQ(Text("Harbour.ptg").substr(0, 8), std::string("Q\0u\0i\0l\0", 8));
    EXPECT_EQ(NameBarHeard(), 1) << "the name bar shows the chosen name";
}

TEST_F(SaveProject, ATypedNameWithoutTheSuffixGetsIt) {
    dialog.answers.push_back({eNoError, Posix("Dunes")});
    ASSERT_EQ(backdrop.SaveProject(0), eNoError);
    EXPECT_EQ(U(backbone.ProjectInfo().m_File.FileReference()), "HD:Dunes.ptg");
    EXPECT_FALSE(Text("Dunes.ptg").empty());
}

TEST_F(SaveProject, ASavedProjectIsWrittenWithoutTheDialogOnlyWhenModified) {
    dialog.answers.push_back({eNoError, Posix("a.ptg")});
    ASSERT_EQ(backdrop.SaveProject(0), eNoError);
    const std::string first = Text("a.ptg");
    ASSERT_FALSE(first.empty());
    std::remove(Posix("a.ptg").c_str());

    // Unmodified: nothing written, no dialog.
    EXPECT_EQ(backdrop.SaveProject(0), eNoError);
    EXPECT_EQ(dialog.requests.size(), 1u);
    EXPECT_TRUE(Text("a.ptg").empty());

    // Modified: written to its file, no dialog, the name bar left alone.
    MarkModified();
    EXPECT_EQ(backdrop.SaveProject(0), eNoError);
    EXPECT_EQ(dialog.requests.size(), 1u);
    EXPECT_EQ(Text("a.ptg"), first);
    EXPECT_EQ(backbone.Modified(), 0);
    EXPECT_EQ(NameBarHeard(), 1);

    // Save as asks even when nothing changed.
    dialog.answers.push_back({eNoError, Posix("b.ptg")});
    EXPECT_EQ(backdrop.SaveProject(1), eNoError);
    EXPECT_EQ(dialog.requests.size(), 2u);
    EXPECT_FALSE(Text("b.ptg").empty());
    EXPECT_EQ(U(backbone.ProjectInfo().m_Name), "b");
    EXPECT_EQ(NameBarHeard(), 2);
}

TEST_F(SaveProject, ACancelledOrFailedDialogWritesNothing) {
    const struct {
        error answer;
        error result;
    } kCases[] = {{eHandled, eNoError}, {eCreateFailed, eCreateFailed}};
    for (const auto& c : kCases) {
        MarkModified();
        dialog.answers.push_back({c.answer, Posix("never.ptg")});
        EXPECT_EQ(backdrop.SaveProject(0), c.result);
        EXPECT_EQ(backbone.Modified(), 1);
        EXPECT_EQ(U(backbone.ProjectInfo().m_Name), "Untitled");
        EXPECT_EQ(FolderEntries(), 0);
        EXPECT_EQ(NameBarHeard(), 0);
    }
}

TEST_F(SaveProject, AFailedSaveKeepsTheNewFileForTheNextSave) {
    MarkModified();
    // A folder stands where the file would go: the backbone cannot write it.
    MakeFolder("Taken.ptg");
    dialog.answers.push_back({eNoError, Posix("Taken.ptg")});
    dialog.confirmations.push_back(eNoError); // replace it: yes
    EXPECT_EQ(backdrop.SaveProject(0), eInvalidFile);
    EXPECT_EQ(backbone.Modified(), 1);
    EXPECT_EQ(U(backbone.ProjectInfo().m_Name), "Taken");
    EXPECT_EQ(NameBarHeard(), 0) << "the name bar is not refreshed";
    // The next save goes to that file without asking.
    EXPECT_EQ(backdrop.SaveProject(0), eInvalidFile);
    EXPECT_EQ(dialog.requests.size(), 1u);
}

} // namespace
