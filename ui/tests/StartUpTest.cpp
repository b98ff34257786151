// The application's start-up and quitting on SDL's dummy video driver, with
// the built resource file and string table, a backbone that records what
// reaches it, and the alerts recorded instead of shown.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "FileIO/VolumeTable.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "foundation/gCMemory.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "platform/WindowBase.h"
#include "testsupport/FileIO/ColonPath.h"
#include "testsupport/platform/HeadlessWindow.h"
#include "testsupport/platform/InputScript.h"
#include "ui/SMKApp.h"
#include "ui/SMKBackdrop.h"
#include "ui/SMKSound.h"
#include "ui/boxes/SavePrompt.h"

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
            if (id == eCmdLoadProject && m_nLoadAnswer) {
                return m_nLoadAnswer;
            }
        }
        if (id == eCmdModified && !set) {
            if (m_nModifiedAnswer) {
                return m_nModifiedAnswer;
            }
            if (m_nGoodModifiedReads >= 0 && m_nGoodModifiedReads-- == 0) {
                return eFileReadWriteError;
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
    // Reads of the modified flag that answer before the rest fail; -1 for
    // all.
    int32_t m_nGoodModifiedReads = -1;
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
        // A preferences folder of its own with an empty file: the quits
        // write their settings there, never into the next test's start.
        char pattern[] = "/tmp/daublin-startup-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_ConfigFolder = pattern;
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
            m_OldConfig = old;
        }
        std::filesystem::create_directories(m_ConfigFolder + "/daublin");
        std::ofstream(m_ConfigFolder + "/daublin/Daublin.prs").flush();
        ASSERT_EQ(::setenv("XDG_CONFIG_HOME", m_ConfigFolder.c_str(), 1), 0);
        program = std::make_unique<CStartApp>();
        // The built program's folder holds the Resources folder.
        gCString root;
        ASSERT_TRUE(
            ColonFolder(std::filesystem::path(DAUBLIN_RESOURCE_DIR).parent_path().string(), root));
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
        if (m_OldConfig) {
            ::setenv("XDG_CONFIG_HOME", m_OldConfig->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
        std::error_code ec;
        std::filesystem::remove_all(m_ConfigFolder, ec);
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
    std::string m_ConfigFolder;
    std::optional<std::string> m_OldConfig;
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
            // There is no such file: it is named, and a new painting
            // follows.
            EXPECT_EQ(e, eNoError) << c.path;
            ASSERT_EQ(backbone->m_aProjects.size(), 2u) << c.path;
            EXPECT_EQ(backbone->m_aProjects[1].id, uint32_t(eCmdNewProject)) << c.path;
            EXPECT_EQ(Details(), std::vector<std::string>{"/tmp/x.ptg"}) << c.path;
            EXPECT_EQ(program->IsHeartbeatRunning(), 1) << c.path;
        } else {
            EXPECT_EQ(e, eNoError) << c.path;
            EXPECT_EQ(program->IsHeartbeatRunning(), 1) << c.path;
        }
    }
}

// A project file of a blank painting of that size, as the backbone writes
// its first blocks.
std::string ProjectBytes(const char16_t* appName, uint32_t width, uint32_t height) {
    std::string b;
    auto unit = [&](char16_t c) {
        b.push_back(char(c & 0xFF));
        b.push_back(char(c >> 8));
    };
    auto word = [&](uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            b.push_back(char(uint8_t(v >> (8 * i))));
        }
    };
    for (const char16_t* line : {u"Quillon Works Project file. ", appName}) {
        for (const char16_t* c = line; *c; ++c) {
            unit(*c);
        }
        unit(u'\n');
        unit(u'\r');
    }
    word(0x00010000, 4);
    word(0xFF003002u, 4);
    word(2 + 2 + 8, 8);
    unit(u'p');
    unit(0);
    word(width, 4);
    word(height, 4);
    return b;
}

// A folder of its own under /tmp, named on the default volume.
class StartUpWithProject : public StartUp {
protected:
    void SetUp() override {
        StartUp::SetUp();
        char pattern[] = "/tmp/daublin-start-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Folder = pattern;
        std::ofstream(m_Folder + "/p.ptg", std::ios::binary) << ProjectBytes(u"Daublin", 300, 200);
        std::u16string colon;
        ASSERT_EQ(gCVolumeTable::PosixToColon(m_Folder + "/p.ptg", colon), eNoError);
        m_Path = gStringToUtf8(MakeText(colon));
    }
    void TearDown() override {
        StartUp::TearDown();
        std::error_code ec;
        std::filesystem::remove_all(m_Folder, ec);
    }
    static gCString MakeText(const std::u16string& units) {
        gCString s;
        EXPECT_EQ(s.CopyStringFromBuffer(units.data(), int32_t(units.size())), eNoError);
        return s;
    }
    std::string FileBytes() const {
        std::ifstream in(m_Folder + "/p.ptg", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string m_Folder;
    std::string m_Path;
};

TEST_F(StartUpWithProject, AProjectPathOpensThePainting) {
    ASSERT_EQ(Start(m_Path.c_str()), eNoError);
    EXPECT_EQ(program->IsHeartbeatRunning(), 1);
    CSMKBackbone* backbone = program->m_pRecording;
    ASSERT_NE(backbone, nullptr);
    EXPECT_EQ(backbone->ProjectInfo().m_nWidth, 300);
    EXPECT_EQ(gStringToUtf8(backbone->ProjectInfo().m_Name), "p");
    EXPECT_EQ(backbone->Modified(), 0);
    CWidget* canvas = Backdrop()->CanvasWidget();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->Visible(), 1);
    EXPECT_EQ(canvas->Width(), 300);
    EXPECT_EQ(canvas->Height(), 200);
    EXPECT_TRUE(program->m_aAlerts.empty());
}

TEST_F(StartUpWithProject, TheSaveKeyWritesTheProjectAndAFailureIsShown) {
    ASSERT_EQ(Start(m_Path.c_str()), eNoError);
    CSMKBackbone* backbone = program->m_pRecording;
    ASSERT_NE(backbone, nullptr);
    const std::string previous = FileBytes();
    Focus();
    CInputScript(*program).Run(); // what the window had waiting

    // Memory refused to the encoder: the alert comes, the file stays.
    ASSERT_EQ(backbone->ProcessData(eCmdMarkModified, this, 0, 1), 0);
    {
        gCMemory::m_pAllocProc = [](size_t size) {
            return size > 16384 ? nullptr : gCMemory::MallocProc(size);
        };
        CInputScript(*program).Key('s').Run();
        gCMemory::ResetProcs();
    }
    EXPECT_EQ(Details(), std::vector<std::string>{""}) << "the code's own text, no detail";
    EXPECT_EQ(FileBytes(), previous);
    EXPECT_EQ(backbone->Modified(), 1);

    // Then s, S and Ctrl-S save it in place, without a dialog.
    for (uint32_t key : {uint32_t('s'), uint32_t('S'), uint32_t(19)}) {
        ASSERT_EQ(backbone->ProcessData(eCmdMarkModified, this, 0, 1), 0);
        CInputScript(*program).Key(key).Run();
        EXPECT_EQ(backbone->Modified(), 0) << key;
        EXPECT_NE(FileBytes(), previous) << "the painting's layers are written too";
    }
    EXPECT_EQ(program->m_aAlerts.size(), 1u);
}

TEST_F(StartUp, AFailedLoadIsNamedThenANewPaintingStarts) {
    program->m_nLoadAnswer = eFileNotFound;
    EXPECT_EQ(Start("Root:tmp:x.ptg"), eNoError);
    EXPECT_EQ(program->IsHeartbeatRunning(), 1);
    ASSERT_EQ(program->m_aAlerts.size(), 1u);
    EXPECT_EQ(program->m_aAlerts[0], "A file could not be located.\n/tmp/x.ptg");
    CRecordingBackbone* backbone = program->m_pRecording;
    ASSERT_EQ(backbone->m_aProjects.size(), 2u);
    EXPECT_EQ(backbone->m_aProjects[1].id, uint32_t(eCmdNewProject));
    EXPECT_EQ(backbone->m_aProjects[1].width,
              CSMKApp::NewProjectSize(Backdrop()->Width(), Backdrop()->Height()).x);
    EXPECT_EQ(backbone->m_aProjects[1].name, TableText(0xB2D05E03));
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

TEST_F(StartUp, AModifiedPaintingRaisesThePromptOnceAndKeepsRunning) {
    ASSERT_EQ(Start(""), eNoError);
    program->m_pRecording->m_fModified = 1;
    EXPECT_EQ(program->ExitApp(), eNoError) << "the prompt is up";
    ASSERT_NE(CAppBase::m_pMainWnd, nullptr) << "ExitApp never quits";
    ASSERT_NE(Backdrop()->SavePrompt(), nullptr);
    EXPECT_TRUE(Backdrop()->SavePrompt()->IsShown());
    program->DoSystemQuit();
    EXPECT_NE(CAppBase::m_pMainWnd, nullptr);
    EXPECT_EQ(Backdrop()->ModalCount(), 1) << "asked again, still one modal entry";
    EXPECT_TRUE(program->m_aAlerts.empty());
}

TEST_F(StartUp, APromptThatCannotComeUpAlertsThenQuits) {
    ASSERT_EQ(Start(""), eNoError);
    program->m_pRecording->m_fModified = 1;
    // The quit reads the flag; the prompt's own reading of it fails.
    program->m_pRecording->m_nGoodModifiedReads = 1;
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
