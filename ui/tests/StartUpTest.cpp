// The application's start-up and quitting on SDL's dummy video driver, with
// the built resource file and string table, a backbone that records what
// reaches it, and the alerts recorded instead of shown.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "FileIO/VolumeTable.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/ProjectInfo.h"
#include "platform/WindowBase.h"
#include "testsupport/platform/HeadlessWindow.h"
#include "ui/SMKApp.h"
#include "ui/SMKBackdrop.h"
#include "ui/SMKSound.h"

namespace {

// A real backbone that records every id, the project information of new
// paintings and loads, and answers the ids a test scripts.
class CRecordingBackbone : public CSMKBackbone {
public:
    struct SProject {
        uint32_t id;
        const void* sender;
        int32_t width, height;
        std::string name;
        int32_t redrawPrevented;
    };

    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        m_aIds.push_back(id);
        if (id == eCmdNewProject || id == eCmdLoadProject) {
            const CProjectInfo* info = ChannelPointer<CProjectInfo>(value);
            CSMKBackdrop* backdrop = dynamic_cast<CSMKBackdrop*>(gCCmdTarget::UIModule());
            m_aProjects.push_back({id, sender, info->m_nWidth, info->m_nHeight,
                                   gStringToUtf8(info->m_Name),
                                   backdrop ? backdrop->RedrawPrevented() : -1});
            if (id == eCmdLoadProject) {
                return m_nLoadAnswer;
            }
        }
        if (id == eCmdModified && !set) {
            if (m_nModifiedAnswer) {
                return m_nModifiedAnswer;
            }
            *ChannelPointer<int32_t>(value) = m_fModified;
            return 0;
        }
        if (id == eCmdSelectTool && m_nSelectAnswer) {
            return m_nSelectAnswer;
        }
        return CSMKBackbone::ProcessData(id, sender, value, set);
    }

    std::vector<uint32_t> m_aIds;
    std::vector<SProject> m_aProjects;
    int32_t m_nLoadAnswer = 0;
    int32_t m_fModified = 0;
    int32_t m_nModifiedAnswer = 0;
    int32_t m_nSelectAnswer = 0;
};

// The application with the recording backbone and recorded alerts.
class CStartApp : public CSMKApp {
public:
    void ShowAlert(std::string_view, std::string_view text) override {
        m_aAlerts.emplace_back(text);
    }
    CSMKBackbone* NewBackbone() override {
        m_pRecording = new (std::nothrow) CRecordingBackbone;
        if (m_pRecording) {
            m_pRecording->m_nLoadAnswer = m_nLoadAnswer;
            m_pRecording->m_nSelectAnswer = m_nSelectAnswer;
        }
        return m_pRecording;
    }
    void SetAppRoot(const gCString& root) { m_AppRoot = root; }
    void SetResFolder(const char16_t* folder) { SetName(m_ResFolder, folder); }

    CRecordingBackbone* m_pRecording = nullptr;
    std::vector<std::string> m_aAlerts;
    int32_t m_nLoadAnswer = 0;
    int32_t m_nSelectAnswer = 0;
};

gCString Text(const char* utf8) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, utf8), eNoError);
    return s;
}

// The headless screen and clock, with the program's application object in
// place of the fixture's own (made after it, gone before it).
class StartUp : public HeadlessWindow {
protected:
    void SetUp() override {
        HeadlessWindow::SetUp();
        program = std::make_unique<CStartApp>();
        // The built program's folder holds the Resources folder.
        std::u16string colon;
        const std::string folder =
            std::filesystem::path(DAUBLIN_RESOURCE_DIR).parent_path().string();
        ASSERT_EQ(gCVolumeTable::PosixToColon(folder, colon), eNoError);
        colon.push_back(u':');
        gCString root;
        ASSERT_EQ(root.CopyStringFromBuffer(colon.data(), int32_t(colon.size())), eNoError);
        program->SetAppRoot(root);
        ASSERT_EQ(program->InitServices(), eNoError);
    }
    void TearDown() override {
        if (CAppBase::m_pMainWnd) {
            program->CAppMac::DoSystemQuit();
        }
        program.reset();
        EXPECT_EQ(gCCmdTarget::UIModule(), nullptr);
        EXPECT_EQ(CSMKBackbone::Registered(), nullptr);
        HeadlessWindow::TearDown();
    }

    error Start(const char* path) {
        if (error e = program->InitResFile()) {
            return e;
        }
        return program->Initialize(Text(path));
    }
    CSMKBackdrop* Backdrop() const {
        return CWindowBase::m_pThis
                   ? dynamic_cast<CSMKBackdrop*>(CWindowBase::m_pThis->GetBackdrop())
                   : nullptr;
    }
    // The detail lines of the alerts, in order.
    std::vector<std::string> Details() const {
        std::vector<std::string> out;
        for (const std::string& alert : program->m_aAlerts) {
            const size_t lf = alert.find('\n');
            out.push_back(lf == std::string::npos ? std::string() : alert.substr(lf + 1));
        }
        return out;
    }
    std::string TableText(uint32_t id) const {
        return gStringToUtf8(program->GetStringTable()->GetString(id, 0));
    }

    std::unique_ptr<CStartApp> program;
};

TEST_F(StartUp, ANewPaintingOfNinetyPercentIsShownCentred) {
    ASSERT_EQ(Start(""), eNoError);
    CSMKBackdrop* backdrop = Backdrop();
    ASSERT_NE(backdrop, nullptr);
    EXPECT_EQ(gCCmdTarget::UIModule(), backdrop);
    // The interface set-up loaded the sounds.
    EXPECT_EQ(backdrop->InterfaceSounds().SoundCount(), CSMKSound::kSoundCount);
    CRecordingBackbone* backbone = program->m_pRecording;
    ASSERT_NE(backbone, nullptr);
    EXPECT_EQ(CSMKBackbone::Registered(), backbone);
    ASSERT_FALSE(backbone->m_aIds.empty());
    EXPECT_EQ(backbone->m_aIds[0], eCmdInitBackbone);
    ASSERT_EQ(backbone->m_aProjects.size(), 1u);
    const CRecordingBackbone::SProject& made = backbone->m_aProjects[0];
    EXPECT_EQ(made.id, eCmdNewProject);
    EXPECT_EQ(made.sender, program.get());
    const gCPoint size = CSMKApp::NewProjectSize(backdrop->Width(), backdrop->Height());
    EXPECT_EQ(made.width, size.x);
    EXPECT_EQ(made.height, size.y);
    EXPECT_EQ(made.name, TableText(0xB2D05E03));
    CWidget* canvas = backdrop->CanvasWidget();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->Visible(), 1);
    EXPECT_EQ(canvas->Rect().left, backdrop->Width() / 2 - size.x / 2);
    EXPECT_EQ(canvas->Rect().top, backdrop->Height() / 2 - size.y / 2);
    EXPECT_EQ(program->IsHeartbeatRunning(), 1);
    EXPECT_TRUE(program->m_aAlerts.empty());
}

TEST_F(StartUp, AStartPathLoadsOnlyWhenItEndsInPtg) {
    // The platform hands the start document over as a colon path.
    const struct {
        const char* path;
        uint32_t id;
    } kCases[] = {
        {"Root:tmp:x.ptg", eCmdLoadProject},
        {"\"Root:tmp:x.ptg\"", eCmdLoadProject},
        {"Root:tmp:x.PTG", eCmdNewProject},
        {"Root:tmp:x.png", eCmdNewProject},
        {"", eCmdNewProject},
    };
    for (const auto& c : kCases) {
        TearDown();
        SetUp();
        const error e = Start(c.path);
        CRecordingBackbone* backbone = program->m_pRecording;
        ASSERT_NE(backbone, nullptr) << c.path;
        ASSERT_FALSE(backbone->m_aProjects.empty()) << c.path;
        EXPECT_EQ(backbone->m_aProjects[0].id, c.id) << c.path;
        if (c.id == eCmdLoadProject) {
            EXPECT_EQ(backbone->m_aProjects[0].name, "x") << c.path;
            EXPECT_EQ(backbone->m_aProjects[0].sender, Backdrop()) << c.path;
            EXPECT_EQ(backbone->m_aProjects[0].redrawPrevented, 1) << c.path;
            EXPECT_EQ(Backdrop()->RedrawPrevented(), 0) << c.path;
            // Nothing reads a project yet: no painting shows, so the start
            // fails rather than leave a window without a canvas.
            EXPECT_NE(e, eNoError) << c.path;
            EXPECT_EQ(program->IsHeartbeatRunning(), 0) << c.path;
        } else {
            EXPECT_EQ(e, eNoError) << c.path;
            EXPECT_EQ(program->IsHeartbeatRunning(), 1) << c.path;
        }
    }
}

TEST_F(StartUp, AFailedLoadReturnsItsCodeWithTheHeartbeatOff) {
    program->m_nLoadAnswer = eFileNotFound;
    EXPECT_EQ(Start("Root:tmp:x.ptg"), eFileNotFound);
    EXPECT_EQ(program->IsHeartbeatRunning(), 0);
    EXPECT_TRUE(program->m_aAlerts.empty()) << "the backbone shows its own failures";
}

TEST_F(StartUp, AFailedInterfaceSetUpFailsTheWindowWithItsAlert) {
    program->m_nSelectAnswer = eCreateFailed;
    EXPECT_EQ(Start(""), eCreateFailed);
    EXPECT_EQ(Details(), std::vector<std::string>{"Error creating a new Daublin window."});
}

TEST_F(StartUp, WithoutTheBackdropResourceTheStartFailsWithItsAlert) {
    program->SetResFolder(u"NoSuchFolder");
    const error e = Start("");
    EXPECT_NE(e, eNoError);
    EXPECT_EQ(Details(),
              std::vector<std::string>{"Error getting Daublin Backdrop from resources."});
    EXPECT_EQ(program->m_pRecording, nullptr) << "no backbone before the backdrop";
}

TEST_F(StartUp, AQuitWithAnUnmodifiedPaintingQuitsWithoutAnAlert) {
    ASSERT_EQ(Start(""), eNoError);
    program->DoSystemQuit();
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
    EXPECT_EQ(gCCmdTarget::UIModule(), nullptr) << "the backdrop went with its window";
    EXPECT_TRUE(program->m_aAlerts.empty());
    // The platform's last call, after the loop: only quits.
    const size_t heard = program->m_pRecording->m_aIds.size();
    program->DoSystemQuit();
    EXPECT_EQ(program->m_pRecording->m_aIds.size(), heard);
    EXPECT_TRUE(program->m_aAlerts.empty());
}

TEST_F(StartUp, AModifiedPaintingWithoutASavePromptAlertsThenQuits) {
    ASSERT_EQ(Start(""), eNoError);
    program->m_pRecording->m_fModified = 1;
    EXPECT_EQ(program->ExitApp(), eHandled);
    EXPECT_EQ(Details(), std::vector<std::string>{TableText(0xB2D05E07)});
    ASSERT_NE(CAppBase::m_pMainWnd, nullptr) << "ExitApp never quits";
    program->m_aAlerts.clear();
    program->DoSystemQuit();
    EXPECT_EQ(Details(), std::vector<std::string>{TableText(0xB2D05E07)});
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
}

TEST_F(StartUp, AnUnreadableModifiedFlagQuitsWithoutAPrompt) {
    ASSERT_EQ(Start(""), eNoError);
    program->m_pRecording->m_nModifiedAnswer = eFileReadWriteError;
    EXPECT_EQ(program->ExitApp(), eHandled);
    program->DoSystemQuit();
    EXPECT_TRUE(program->m_aAlerts.empty());
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
}

} // namespace
