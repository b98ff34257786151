// A whole run of the program on SDL's dummy video driver, with the built
// resource file and the real backbone: the user-settings entry stored at
// start-up (and the preferences file made anew when the settings cannot be
// kept), then a stroke painted through the canvas, undone, redone, and the
// quit. The preferences folder is a temporary one.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FileIO/FileTypes.h"
#include "FileIO/gCFile.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "imaging/ImLocker.h"
#include "imaging/ImageIO.h"
#include "paint/Backbone.h"
#include "platform/InputEvent.h"
#include "platform/QuitSignals.h"
#include "platform/WindowBase.h"
#include "testsupport/FileIO/ColonPath.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "testsupport/platform/HeadlessWindow.h"
#include "testsupport/platform/InputScript.h"
#include "ui/SMKApp.h"
#include "ui/SMKBackdrop.h"
#include "ui/boxes/CanvasPicker.h"
#include "ui/boxes/NewFile.h"
#include "ui/boxes/SavePrompt.h"
#include "ui/panels/MenuBar.h"
#include "ui/panels/NameBar.h"
#include "ui/tests/ProgramRun.h"

namespace {

namespace fs = std::filesystem;

class UserSettingsAnswer : public StartUpRun, public ::testing::WithParamInterface<error> {};

TEST_P(UserSettingsAnswer, OnlySettingsThatCannotBeKeptMakeThePrefsFileAnew) {
    // A first run: no preferences folder before the start.
    fs::remove_all(m_Folder + "/cfg");
    program->m_nSettingsAnswer = GetParam();
    ASSERT_EQ(Start(), eNoError) << "no answer stops the start";
    ASSERT_EQ(program->m_aStored.size(), 1u);
    EXPECT_EQ(program->m_aStored[0],
              (std::vector<std::string>{TableText(0xB2D05E0E), TableText(0xB2D05E0F),
                                        TableText(0xB2D05E10)}));
    std::error_code ec;
    if (GetParam() == ePreferenceError) {
        EXPECT_EQ(fs::file_size(PrefsPath(), ec), 0u) << ec.message();
        struct stat st;
        ASSERT_EQ(::stat((m_Folder + "/cfg/daublin").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << "the user's own";
    } else {
        // (The sound library may keep files of its own in the folder.)
        EXPECT_FALSE(fs::exists(m_Folder + "/cfg/daublin", ec)) << "nothing is written";
    }
    EXPECT_TRUE(program->m_aAlerts.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, UserSettingsAnswer,
                         ::testing::Values(eNoError, eNotImplemented, ePreferenceError,
                                           eCreateFailed));

TEST(PrefsFolder, TheFirstAbsoluteFolderHoldsIt) {
    const struct {
        const char *config, *home, *account, *folder;
    } kCases[] = {
        {"/x/cfg", "/home/me", "/home/acc", "/x/cfg/daublin"},
        {"/x/cfg//", nullptr, nullptr, "/x/cfg/daublin"},
        {"", "/home/me", "/home/acc", "/home/me/.config/daublin"},
        {"cfg", "/home/me/", "/home/acc", "/home/me/.config/daublin"},
        {nullptr, "", "/home/acc", "/home/acc/.config/daublin"},
        {nullptr, "me", "/home/acc", "/home/acc/.config/daublin"},
        {"/", nullptr, nullptr, "/daublin"},
        {nullptr, nullptr, nullptr, ""},
        {"cfg", "home", "", ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(CSMKBackdrop::PrefsFolderPath(c.config, c.home, c.account), c.folder)
            << (c.config ? c.config : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
}

TEST_F(StartUpRun, ThePrefsFileIsMadeWholeAndNewAndNeedsAFolder) {
    CSMKBackdrop backdrop;
    EXPECT_EQ(backdrop.CreatePrefsFile(nullptr), eBadParameter);

    fs::create_directories(m_Folder + "/cfg/daublin");
    std::ofstream(PrefsPath()) << "older settings";
    {
        gCFile file;
        ASSERT_EQ(backdrop.CreatePrefsFile(&file), eNoError);
        int32_t word = 7;
        ASSERT_EQ(file.WriteInt32(word), eNoError);
    }
    std::error_code ec;
    EXPECT_EQ(fs::file_size(PrefsPath(), ec), 4u) << "the older file replaced whole";

    // A configuration folder that is a file leaves no place for it.
    std::ofstream(m_Folder + "/plain") << "x";
    const CEnvironment config("XDG_CONFIG_HOME", (m_Folder + "/plain").c_str());
    gCFile file;
    EXPECT_EQ(backdrop.CreatePrefsFile(&file), eCreateFailed);
    EXPECT_FALSE(file.IsOpen());
}

// A stroke across the canvas with the start-up's tool, undone and redone by
// their keys, then Ctrl-Q: the painted canvas asks whether to save, and
// "don't save" ends the program.
TEST_F(StartUpRun, AStrokeIsPaintedUndoneRedoneAndTheQuitEndsTheProgram) {
    ASSERT_EQ(Start(), eNoError);
    CSMKBackdrop* backdrop = Backdrop();
    ASSERT_NE(backdrop, nullptr);
    // The picker comes and goes before the stroke.
    EXPECT_EQ(backdrop->ShowCanvasPicker(), eNoError);
    ASSERT_NE(backdrop->CanvasPicker(), nullptr);
    EXPECT_NE(backdrop->CanvasPicker()->Root(), nullptr);
    EXPECT_EQ(backdrop->CanvasPicker()->Hide(0, 1), eNoError);
    CWidget* canvas = backdrop->CanvasWidget();
    ASSERT_NE(canvas, nullptr);
    const gCRect c = canvas->Rect();
    Focus();
    CInputScript(*program).Run(); // what the window had waiting
    const std::vector<uint32_t> before = Shown();

    const gCPoint from(c.left + 80, c.top + 90);
    const gCPoint to(c.left + 380, c.top + 240);
    constexpr int32_t kSteps = 150;
    for (int32_t i = 1; i <= kSteps; ++i) {
        program->m_aPenPath.push_back(
            gCPoint(from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps));
    }
    CInputScript(*program).Move(from).Press(from).Run();
    ASSERT_TRUE(program->m_aPenPath.empty()) << "the stroke ends with the release";
    const std::vector<uint32_t> painted = Shown();
    // The stroke's tail tapers off to nothing a little short of the release.
    constexpr int32_t kTail = 12;
    EXPECT_TRUE(ChangedNear(before, painted, from, 2)) << "paint where the stroke began";
    EXPECT_TRUE(ChangedNear(before, painted, to, kTail)) << "and where it ended";
    // The backdrop beside the canvas, and the canvas far from the stroke.
    for (const gCPoint outside : {gCPoint(c.left - 1, from.y), gCPoint(c.left + 10, c.top + 10),
                                  gCPoint(to.x + 200, from.y), gCPoint(from.x, to.y + 100)}) {
        EXPECT_EQ(At(painted, outside), At(before, outside)) << outside.x << "," << outside.y;
    }
    EXPECT_EQ(CSMKBackbone::Registered()->Modified(), 1);

    CInputScript(*program).Key('z').Run();
    EXPECT_TRUE(Shown() == before) << "z brings back the canvas of before the stroke";
    CInputScript(*program).Key('y').Run();
    EXPECT_TRUE(Shown() == painted) << "y paints the stroke again";

    CInputScript(*program).Key(17).Run(); // Ctrl-Q
    ASSERT_NE(CAppBase::m_pMainWnd, nullptr) << "the prompt asks first";
    EXPECT_TRUE(backdrop->SavePrompt()->IsShown());
    CInputScript(*program).Key('n').Run();
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
    EXPECT_EQ(gCCmdTarget::UIModule(), nullptr);
    program->DoSystemQuit(); // the platform's last call, after the loop
    EXPECT_TRUE(program->m_aAlerts.empty());
    program.reset();
    EXPECT_EQ(CSMKBackbone::Registered(), nullptr);
}

// Every way of quitting takes the same path: with a modified painting the
// save prompt comes up and the program keeps running. Escape never quits,
// with or without a button held.
enum class EQuitWay { eCtrlQ, eSuperQ, eAltF4, eCloseBox, eDesktopQuit, eSigterm, eSigint };

class QuitWay : public StartUpRun, public ::testing::WithParamInterface<EQuitWay> {};

TEST_P(QuitWay, AModifiedPaintingRaisesTheSavePrompt) {
    ASSERT_EQ(Start(), eNoError);
    Focus();
    CInputScript(*program).Run(); // what the window had waiting
    ASSERT_EQ(CSMKBackbone::Registered()->ProcessData(eCmdMarkModified, this, 0, 1), 0);
    CInputScript(*program).Key(kKeyCodeEscape).Run();
    const gCPoint margin(2, 2);
    CInputScript(*program).Press(margin).Key(kKeyCodeEscape).Release(margin).Run();
    ASSERT_NE(CAppBase::m_pMainWnd, nullptr) << "Escape never quits";
    EXPECT_FALSE(Backdrop()->SavePrompt()->IsShown());
    EXPECT_TRUE(program->m_aAlerts.empty());

    const CQuitSignals signals;
    switch (GetParam()) {
    case EQuitWay::eCtrlQ:
        CInputScript(*program).Key('q', kModCommand).Run();
        break;
    case EQuitWay::eSuperQ:
        CInputScript(*program).Key(17).Run();
        break;
    case EQuitWay::eAltF4:
        CInputScript(*program).Key(uint32_t(-245), kModOption).Run();
        break;
    case EQuitWay::eCloseBox:
        SendWindowChange(EWindowChange::eClose);
        break;
    case EQuitWay::eDesktopQuit: { // SDL_QUIT
        CInputEvent quit;
        quit.kind = EInputKind::eQuit;
        program->InjectInput(quit);
        program->PumpMessage();
        break;
    }
    case EQuitWay::eSigterm:
    case EQuitWay::eSigint:
        ASSERT_EQ(std::raise(GetParam() == EQuitWay::eSigterm ? SIGTERM : SIGINT), 0);
        EXPECT_FALSE(Backdrop()->SavePrompt()->IsShown()) << "nothing happens in the handler";
        program->PumpMessage();
        break;
    }
    ASSERT_NE(CAppBase::m_pMainWnd, nullptr);
    EXPECT_TRUE(Backdrop()->SavePrompt()->IsShown());
    EXPECT_EQ(Backdrop()->ModalCount(), 1);
    EXPECT_EQ(program->IsAppClosing(), 0);
    EXPECT_TRUE(program->m_aAlerts.empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, QuitWay,
                         ::testing::Values(EQuitWay::eCtrlQ, EQuitWay::eSuperQ, EQuitWay::eAltF4,
                                           EQuitWay::eCloseBox, EQuitWay::eDesktopQuit,
                                           EQuitWay::eSigterm, EQuitWay::eSigint));

// Counts the preferences files put in place: the whole new file's hook
// runs while its temporary lies beside the target.
class CPrefsWrites {
public:
    explicit CPrefsWrites(std::string folder) {
        s_Folder = std::move(folder);
        s_nCount = 0;
        gCFile::m_pBeforeReplaceHook = &Hook;
    }
    ~CPrefsWrites() { gCFile::m_pBeforeReplaceHook = nullptr; }
    CPrefsWrites(const CPrefsWrites&) = delete;
    CPrefsWrites& operator=(const CPrefsWrites&) = delete;
    int Count() const { return s_nCount; }

private:
    static void Hook() {
        std::error_code ec;
        for (const fs::directory_entry& entry : fs::directory_iterator(s_Folder, ec)) {
            if (entry.path().filename().string().rfind(".Daublin.prs.save-", 0) == 0) {
                ++s_nCount;
            }
        }
    }
    static inline std::string s_Folder;
    static inline int s_nCount = 0;
};

// The quit cycle with the real backbone and a scripted file dialog: what
// each answer to the prompt leads to, and the preferences written once by
// each quit that ends the program.
TEST_F(StartUpRun, TheQuitCycleEndsOnlyWhenNothingIsLost) {
    const struct {
        const char* name;
        bool modified;
        std::vector<uint32_t> keys; // after Ctrl-Q
        bool dialogAnswers;         // the save dialog names a file
        bool quits;
        bool promptUp;
        size_t dialogs;
        int prefsWrites;
    } kCases[] = {
        {"unmodified quits at once", false, {}, false, true, false, 0, 1},
        {"modified asks", true, {}, false, false, true, 0, 0},
        {"cancel keeps running", true, {kKeyCodeEscape}, false, false, false, 0, 0},
        {"discard quits", true, {'n'}, false, true, false, 0, 1},
        {"save writes then quits", true, {'y'}, true, true, false, 1, 1},
        {"a cancelled dialog asks again", true, {kKeyCodeReturn}, false, false, true, 1, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        const CPrefsWrites writes(m_Folder + "/cfg/daublin");
        CScriptedDialog dialog;
        const std::string saved = m_Folder + "/Harbour.ptg";
        if (c.dialogAnswers) {
            dialog.answers.push_back({eNoError, saved});
        }
        ASSERT_EQ(Start(), eNoError);
        Focus();
        CInputScript(*program).Run();
        if (c.modified) {
            ASSERT_EQ(CSMKBackbone::Registered()->ProcessData(eCmdMarkModified, this, 0, 1), 0);
        }
        CInputScript(*program).Key(17).Run();
        for (const uint32_t key : c.keys) {
            CInputScript(*program).Key(key).Run();
        }
        EXPECT_EQ(CAppBase::m_pMainWnd == nullptr, c.quits);
        if (!c.quits) {
            EXPECT_EQ(Backdrop()->SavePrompt()->IsShown(), c.promptUp);
            EXPECT_EQ(Backdrop()->ModalCount(), c.promptUp ? 1 : 0);
            EXPECT_EQ(CSMKBackbone::Registered()->Modified(), 1);
        }
        EXPECT_EQ(dialog.requests.size(), c.dialogs);
        std::error_code ec;
        EXPECT_EQ(fs::exists(saved, ec), c.dialogAnswers);
        EXPECT_TRUE(program->m_aAlerts.empty());
        EXPECT_EQ(writes.Count(), c.prefsWrites);
        if (c.quits) {
            EXPECT_EQ(fs::file_size(PrefsPath(), ec), 272u);
            program->DoSystemQuit(); // the platform's last call, after the loop
            EXPECT_EQ(writes.Count(), c.prefsWrites) << "nothing after the loop";
        } else {
            EXPECT_EQ(fs::file_size(PrefsPath(), ec), 0u);
        }
    }
}

// The preferences of the last run come back before the first painting is
// made: the window 1024 x 768 in the middle of the screen's usable part
// with a painting of 90 % of it, the menu bar retracted, the name bar out.
TEST_F(StartUpRun, TheStoredWindowAndBarsComeBackBeforeThePaintingIsSized) {
    std::string bytes;
    auto add = [&bytes](uint32_t id, int32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(char(uint8_t(id >> (8 * i))));
        }
        bytes += std::string("\x04\0\0\0\0\0\0\0", 8);
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(char(uint8_t(uint32_t(value) >> (8 * i))));
        }
    };
    add(eRecWindowFlag2, 0);
    add(eRecWindowFlag1, 0);
    add(eRecPanelFlag1, 1);
    add(eRecPanelFlag2, 0);
    std::ofstream(PrefsPath(), std::ios::binary | std::ios::trunc) << bytes;

    ASSERT_EQ(Start(), eNoError);
    CSMKBackdrop* backdrop = Backdrop();
    ASSERT_NE(backdrop, nullptr);
    CWindowBase* window = CAppBase::m_pMainWnd.get();
    EXPECT_EQ(window->ClientWidth(), 1024);
    EXPECT_EQ(window->ClientHeight(), 768);
    EXPECT_EQ(window->IsFullScreen(), 0);
    // Centred on the fake screen of 1280 x 1024 below its 24-pixel bar.
    EXPECT_EQ(Main()->ContentOrigin(), gCPoint(128, kMenuBar + (1000 / 2 - 768 / 2)));
    EXPECT_EQ(backdrop->Width(), 1024);
    EXPECT_EQ(CSMKBackbone::Registered()->ProjectInfo().m_nWidth, 922);
    EXPECT_EQ(CSMKBackbone::Registered()->ProjectInfo().m_nHeight, 691);
    CWidget* canvas = backdrop->CanvasWidget();
    EXPECT_EQ(canvas->Rect(), gCRect(51, 39, 51 + 922, 39 + 691)) << "centred";
    EXPECT_EQ(backdrop->MenuBar()->Extended(), 0);
    EXPECT_EQ(backdrop->NameBar()->Extended(), 1);
    EXPECT_TRUE(program->m_aAlerts.empty());
    EXPECT_EQ(backdrop->ModalCount(), 0) << "no welcome box";
}

// A start file that cannot be opened is named in one alert, with the
// reason; the program goes on with a new painting, unmodified, and a quit
// then ends it without another word.
TEST_F(StartUpRun, AStartFileThatCannotBeOpenedIsNamedThenANewPaintingStarts) {
    // The lines a project file starts with.
    std::string header;
    for (const char16_t* line : {u"Quillon Works Project file. ", u"Daublin"}) {
        for (const char16_t* c = line; *c; ++c) {
            header += char(*c & 0xFF);
            header += char(*c >> 8);
        }
        header += std::string("\n\0\r\0", 4);
    }
    std::string garbage;
    for (int i = 0; i < 700; ++i) {
        garbage += char((i * 73 + 11) & 0xFF);
    }
    const struct {
        const char* name;
        const char* file; // null: no such file
        std::string bytes;
        const char* reason;
    } kCases[] = {
        {"missing", "missing.ptg", "", "A file could not be located."},
        {"empty", "empty.ptg", "", "The file being accessed is invalid."},
        {"header only", "header.ptg", header, "The file being accessed is invalid."},
        {"garbage", "garbage.ptg", garbage, "The file being accessed is invalid."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        const std::string path = m_Folder + "/" + c.file;
        if (std::string(c.name) != "missing") {
            std::ofstream(path, std::ios::binary) << c.bytes;
        }
        const char* args[] = {path.c_str()};
        program->OpenDocuments(1, args);
        EXPECT_EQ(program->m_nStartupState, 2) << "the program runs";
        EXPECT_EQ(program->m_aAlerts,
                  std::vector<std::string>{c.reason + std::string("\n") + path});
        EXPECT_EQ(program->m_aWindowAtAlert, std::vector<bool>{true});
        CSMKBackbone* backbone = CSMKBackbone::Registered();
        ASSERT_NE(backbone, nullptr);
        ASSERT_NE(Backdrop(), nullptr);
        const gCPoint size = CSMKApp::NewProjectSize(Backdrop()->Width(), Backdrop()->Height());
        EXPECT_EQ(backbone->ProjectInfo().m_nWidth, size.x);
        EXPECT_EQ(backbone->ProjectInfo().m_nHeight, size.y);
        EXPECT_EQ(gStringToUtf8(backbone->ProjectInfo().m_Name), TableText(0xB2D05E03));
        EXPECT_EQ(backbone->ProjectInfo().m_File.Volume().GetLength(), 0) << "a file of none";
        EXPECT_EQ(backbone->Modified(), 0);
        EXPECT_EQ(program->IsHeartbeatRunning(), 1);
        ASSERT_NE(Backdrop()->CanvasWidget(), nullptr);
        EXPECT_EQ(Backdrop()->CanvasWidget()->Visible(), 1);
        program->DoSystemQuit();
        EXPECT_EQ(CAppBase::m_pMainWnd, nullptr);
        EXPECT_EQ(program->m_aAlerts.size(), 1u) << "an unmodified painting quits silently";
    }
}

} // namespace

namespace {

// The about box, the pan controls and the new-painting panel over a painted
// canvas, each written as a PNG under the build folder for a person to look
// at: the boxes' blur shows the stroke softly behind the glass.
TEST_F(StartUpRun, TheBoxesAndPanelsOverAPaintedCanvasAreWrittenForALook) {
    ASSERT_EQ(Start(), eNoError);
    CSMKBackdrop* backdrop = Backdrop();
    ASSERT_NE(backdrop, nullptr);
    const gCRect c = backdrop->CanvasWidget()->Rect();
    Focus();
    CInputScript(*program).Run();
    const gCPoint from(c.left + 200, c.top + 150);
    const gCPoint to(c.left + 700, c.top + 500);
    for (int32_t i = 1; i <= 100; ++i) {
        program->m_aPenPath.push_back(
            gCPoint(from.x + (to.x - from.x) * i / 100, from.y + (to.y - from.y) * i / 100));
    }
    CInputScript(*program).Move(from).Press(from).Run();
    const std::vector<uint32_t> painted = Shown();
    const std::string folder = fs::path(DAUBLIN_RESOURCE_DIR).parent_path().parent_path().string() +
                               "/interface-shots";
    fs::create_directories(folder);
    const struct {
        const char* name;
        std::function<error()> show;
    } kShown[] = {
        {"about-box",
         [&] {
             (void)backdrop->ProcessData(eCmdShowAbout, nullptr, 0, 1); // answers 0
             return eNoError;
         }},
        {"pan-controls", [&] { return backdrop->ShowPanControls(1); }},
        {"new-painting", [&] { return backdrop->NewFile()->Show(1); }},
    };
    for (const auto& s : kShown) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(s.show(), eNoError);
        ASSERT_NE(backdrop->TopModal(), nullptr);
        const std::vector<uint32_t> shown = Shown();
        EXPECT_NE(shown, painted);
        std::unique_ptr<CImage> shot = CaptureBackBuffer();
        ASSERT_NE(shot, nullptr);
        gCString colon;
        ASSERT_TRUE(ColonFolder(folder, colon));
        gCString path;
        ASSERT_EQ(gStringFromUtf8(path, gStringToUtf8(colon) + s.name + ".png"), eNoError);
        EXPECT_EQ(gCImageIO::WriteImage(path, *shot, ePNGFile), eNoError);
        // Escape closes each (the panel's size field gives the first one
        // up; a second reaches the backdrop, where it does nothing), and
        // the canvas is as it was.
        CInputScript(*program).Key(kKeyCodeEscape).Key(kKeyCodeEscape).Run();
        EXPECT_EQ(backdrop->ModalCount(), 0);
        EXPECT_TRUE(Shown() == painted);
    }
}

} // namespace
