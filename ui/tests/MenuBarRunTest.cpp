// The menu bar in a whole run of the program on SDL's dummy video driver,
// with the built resources, the real backbone and a scripted file dialog:
// File ▸ Quit ends the program inside the menu's click, every failed
// command chosen from a menu is shown exactly once and a cancelled one not
// at all, and the window button follows the window's size.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Input.h"
#include "paint/Backbone.h"
#include "platform/WindowBase.h"
#include "testsupport/FileIO/ColonPath.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "testsupport/platform/HeadlessWindow.h"
#include "testsupport/platform/InputScript.h"
#include "ui/SMKApp.h"
#include "ui/SMKBackdrop.h"
#include "ui/menus/SMKMenu.h"
#include "ui/panels/MenuBar.h"
#include "widgets/ImWidget.h"

namespace {

namespace fs = std::filesystem;

// The program with its alerts written down.
class CAlertedApp : public CSMKApp {
public:
    void ShowAlert(std::string_view, std::string_view text) override {
        m_aAlerts.emplace_back(text);
    }
    void SetAppRoot(const gCString& root) { m_AppRoot = root; }
    std::vector<std::string> m_aAlerts;
};

// Files written in the run can grow no larger than this while it lives:
// a longer write fails as a full disk makes it fail.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes) {
        m_OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_Old);
        rlimit limited = m_Old;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~CFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_Old);
        std::signal(SIGXFSZ, m_OldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_Old{};
    void (*m_OldHandler)(int) = nullptr;
};

class MenuBarRun : public HeadlessWindow {
protected:
    void SetUp() override {
        HeadlessWindow::SetUp();
        char pattern[] = "/tmp/daublin-menu-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Folder = pattern;
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
            m_OldConfig = old;
            m_fHadConfig = true;
        }
        ::setenv("XDG_CONFIG_HOME", (m_Folder + "/cfg").c_str(), 1);
        // Not a first run: no welcome box.
        fs::create_directories(m_Folder + "/cfg/daublin");
        std::ofstream(m_Folder + "/cfg/daublin/Daublin.prs").flush();
        program = std::make_unique<CAlertedApp>();
        gCString root;
        ASSERT_TRUE(ColonFolder(fs::path(DAUBLIN_RESOURCE_DIR).parent_path().string(), root));
        program->SetAppRoot(root);
        ASSERT_EQ(program->InitServices(), eNoError);
        ASSERT_EQ(program->InitResFile(), eNoError);
        gCString none;
        ASSERT_EQ(program->Initialize(none), eNoError);
        Focus();
        CInputScript(*program).Run(); // what the window had waiting
        ASSERT_NE(Bar(), nullptr);
    }
    void TearDown() override {
        if (CAppBase::m_pMainWnd) {
            program->CAppMac::DoSystemQuit();
        }
        program.reset();
        HeadlessWindow::TearDown();
        if (m_fHadConfig) {
            ::setenv("XDG_CONFIG_HOME", m_OldConfig.c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
        std::error_code ec;
        fs::remove_all(m_Folder, ec);
    }

    CSMKBackdrop* Backdrop() const {
        return CWindowBase::m_pThis
                   ? dynamic_cast<CSMKBackdrop*>(CWindowBase::m_pThis->GetBackdrop())
                   : nullptr;
    }
    CMenuBar* Bar() const { return Backdrop() ? Backdrop()->MenuBar() : nullptr; }
    gCPoint CentreOf(CWidget* w) const {
        gCRect r(0, 0, w->Width(), w->Height());
        w->LocalToBackdrop(r);
        return gCPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void ClickOn(CWidget* w) {
        const gCPoint at = CentreOf(w);
        CInputScript(*program).Move(at).Click(at).Run();
    }
    // The menu's row chosen as a hand does: the title clicked, then the row.
    void Choose(int32_t menu, int32_t row) {
        ClickOn(Bar()->Title(menu));
        ASSERT_TRUE(Bar()->Menu(menu)->IsShown());
        ClickOn(Bar()->Menu(menu)->Row(row));
    }
    int32_t WindowImage() {
        auto* icon = dynamic_cast<CImWidget*>(
            Bar()->Content()->FindByID(CMenuBar::kWindowButtonID)->Child(0));
        return icon ? icon->ImageIndex() : -1;
    }

    std::string m_Folder;
    std::string m_OldConfig;
    bool m_fHadConfig = false;
    std::unique_ptr<CAlertedApp> program;
};

TEST_F(MenuBarRun, FileQuitOnAnUnmodifiedPaintingEndsTheProgramInsideTheClick) {
    ASSERT_EQ(CSMKBackbone::Registered()->Modified(), 0);
    Choose(CMenuBar::eFileMenu, 8);
    EXPECT_EQ(CAppBase::m_pMainWnd, nullptr) << "the window went inside the menu's click";
    EXPECT_EQ(gCCmdTarget::UIModule(), nullptr);
    program->DoSystemQuit(); // the platform's last call, after the loop
    EXPECT_TRUE(program->m_aAlerts.empty());
}

TEST_F(MenuBarRun, AFailedCommandIsShownOnceAndACancelledOneNotAtAll) {
    const std::string regular = m_Folder + "/regular";
    std::ofstream(regular) << "a file, not a folder";
    const struct {
        const char* name;
        int32_t row;
        std::string answer; // empty: the dialog is cancelled
        bool limitWrites;
        size_t alerts;
    } kCases[] = {
        {"save as into a folder that does not exist", 3, m_Folder + "/missing/Harbour.ptg", false,
         1},
        {"save as cancelled", 3, "", false, 0},
        {"export with a failing write", 5, m_Folder + "/out.png", true, 1},
        {"export where no file can be made", 5, regular + "/out.png", false, 1},
        {"export cancelled", 5, "", false, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        program->m_aAlerts.clear();
        CScriptedDialog dialog;
        if (!c.answer.empty()) {
            dialog.answers.push_back({eNoError, c.answer});
        }
        {
            std::unique_ptr<CFileSizeLimit> limit;
            if (c.limitWrites) {
                limit = std::make_unique<CFileSizeLimit>(1000);
            }
            Choose(CMenuBar::eFileMenu, c.row);
        }
        EXPECT_EQ(dialog.requests.size(), 1u);
        EXPECT_EQ(program->m_aAlerts.size(), c.alerts);
        ASSERT_NE(CAppBase::m_pMainWnd, nullptr);
        EXPECT_EQ(Backdrop()->ModalCount(), 0);
        EXPECT_FALSE(Bar()->Menu(CMenuBar::eFileMenu)->IsShown());
    }
    std::error_code ec;
    EXPECT_FALSE(fs::exists(m_Folder + "/out.png", ec)) << "no half-written export is left";
}

TEST_F(MenuBarRun, OpeningADamagedFileIsShownOnce) {
    const std::string damaged = m_Folder + "/Damaged.ptg";
    std::ofstream(damaged) << "not a painting";
    CScriptedDialog dialog;
    dialog.answers.push_back({eNoError, damaged});
    Choose(CMenuBar::eFileMenu, 1);
    EXPECT_EQ(dialog.requests.size(), 1u);
    EXPECT_EQ(program->m_aAlerts.size(), 1u);
}

TEST_F(MenuBarRun, TheWindowButtonFollowsTheWindowsSize) {
    CWindowBase* window = CAppBase::m_pMainWnd.get();
    CWidget* button = Bar()->Content()->FindByID(CMenuBar::kWindowButtonID);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(WindowImage(),
              window->IsFullScreen() ? CMenuBar::kFullScreenImage : CMenuBar::kWindowImage)
        << "the button shows the window's size from the start";
    CInputScript(*program).Key('+').Run();
    EXPECT_EQ(window->IsFullScreen(), 1);
    EXPECT_EQ(WindowImage(), CMenuBar::kFullScreenImage);
    CInputScript(*program).Key('-').Run();
    EXPECT_EQ(window->IsFullScreen(), 0);
    EXPECT_EQ(WindowImage(), CMenuBar::kWindowImage) << "the - key updates the button too";

    ClickOn(button);
    EXPECT_EQ(window->IsFullScreen(), 1);
    EXPECT_EQ(window->IsOSMenuHidden(), 1);
    EXPECT_EQ(WindowImage(), CMenuBar::kFullScreenImage);
    button = Bar()->Content()->FindByID(CMenuBar::kWindowButtonID); // placed anew
    ClickOn(button);
    EXPECT_EQ(window->IsFullScreen(), 0);
    EXPECT_EQ(window->IsOSMenuHidden(), 0);
    EXPECT_EQ(WindowImage(), CMenuBar::kWindowImage);
    EXPECT_EQ(Backdrop()->Width(), 1024);
    EXPECT_EQ(Backdrop()->Height(), 768);

    EXPECT_EQ(Bar()->UpdateWindowButtonState(1), eNoError);
    EXPECT_EQ(WindowImage(), CMenuBar::kFullScreenImage);
    EXPECT_EQ(Bar()->UpdateWindowButtonState(0), eNoError);
    EXPECT_EQ(WindowImage(), CMenuBar::kWindowImage);
    EXPECT_TRUE(program->m_aAlerts.empty());
}

TEST_F(MenuBarRun, TheEditRowSaysWhetherFullScreenCoversTheDesktopsPanels) {
    CWindowBase* window = CAppBase::m_pMainWnd.get();
    CSMKMenu* edit = Bar()->Menu(CMenuBar::eEditMenu);
    CInputScript(*program).Key('+').Run();
    const auto height = [](int32_t covered) { return covered ? 1024 : 1024 - kMenuBar; };
    for (int32_t turn = 0; turn < 2; ++turn) {
        const int32_t covered = window->IsOSMenuHidden();
        EXPECT_EQ(Backdrop()->Height(), height(covered));
        ClickOn(Bar()->Title(CMenuBar::eEditMenu));
        EXPECT_EQ(edit->Ticked(4), covered == 1) << "the row shows how it stands";
        ClickOn(edit->Row(4));
        EXPECT_EQ(window->IsOSMenuHidden(), covered ? 0 : 1);
        EXPECT_EQ(Backdrop()->Height(), height(!covered)) << "full screen follows at once";
    }
    EXPECT_TRUE(program->m_aAlerts.empty());
}

} // namespace
