#pragma once
// A whole run of the program on SDL's dummy video driver, with the built
// resource file and the real backbone: the application object records its
// alerts and the user's settings, a scripted pen path is walked while the
// button is held, and the preferences folder is a temporary one holding an
// empty preferences file (no first run). Start() starts the program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Utf8.h"
#include "imaging/ImLocker.h"
#include "platform/WindowBase.h"
#include "testsupport/FileIO/ColonPath.h"
#include "testsupport/platform/HeadlessWindow.h"
#include "testsupport/platform/InputScript.h"
#include "ui/SMKApp.h"
#include "ui/SMKBackdrop.h"

// The program's application object with the alerts recorded, and the
// user's settings answering as a test says.
class CRunApp : public CSMKApp {
public:
    void ShowAlert(std::string_view, std::string_view text) override {
        m_aAlerts.emplace_back(text);
        m_aWindowAtAlert.push_back(CAppBase::m_pMainWnd != nullptr);
    }
    error SetCurrentUserString(const gCString& section, const gCString& key,
                               const gCString& value) override {
        m_aStored.push_back({gStringToUtf8(section), gStringToUtf8(key), gStringToUtf8(value)});
        return m_nSettingsAnswer;
    }
    void SetAppRoot(const gCString& root) { m_AppRoot = root; }
    // While the button is held, each look of a modal loop finds the pen one
    // step further: the next scripted move, and after the last the release
    // there.
    int32_t PumpMessage() override {
        if (!m_aPenPath.empty() && LButtonStillDown()) {
            const gCPoint at = m_aPenPath.front();
            m_aPenPath.erase(m_aPenPath.begin());
            if (m_aPenPath.empty()) {
                CInputScript(*this).Move(at).Release(at);
            } else {
                CInputScript(*this).Move(at);
            }
        }
        return CSMKApp::PumpMessage();
    }

    std::vector<gCPoint> m_aPenPath;
    std::vector<std::vector<std::string>> m_aStored;
    std::vector<std::string> m_aAlerts;
    // Whether the window was still there when each alert came.
    std::vector<bool> m_aWindowAtAlert;
    error m_nSettingsAnswer = eNotImplemented;
    using CSMKApp::m_nStartupState;
};

// Sets an environment variable for the life of the object.
class CEnvironment {
public:
    CEnvironment(const char* name, const char* value) : m_Name(name) {
        if (const char* old = std::getenv(name)) {
            m_Old = old;
        }
        Set(value);
    }
    ~CEnvironment() { Set(m_Old ? m_Old->c_str() : nullptr); }
    CEnvironment(const CEnvironment&) = delete;
    CEnvironment& operator=(const CEnvironment&) = delete;

private:
    void Set(const char* value) {
        if (value) {
            ::setenv(m_Name.c_str(), value, 1);
        } else {
            ::unsetenv(m_Name.c_str());
        }
    }
    std::string m_Name;
    std::optional<std::string> m_Old;
};

class StartUpRun : public HeadlessWindow {
protected:
    void SetUp() override {
        HeadlessWindow::SetUp();
        char pattern[] = "/tmp/daublin-run-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Folder = pattern;
        m_pConfig = std::make_unique<CEnvironment>("XDG_CONFIG_HOME", (m_Folder + "/cfg").c_str());
        // Not a first run: an empty preferences file, so no welcome box
        // stands over what the runs look at.
        std::filesystem::create_directories(m_Folder + "/cfg/daublin");
        std::ofstream(PrefsPath()).flush();
        program = std::make_unique<CRunApp>();
        gCString root;
        ASSERT_TRUE(ColonFolder(std::filesystem::path(DAUBLIN_RESOURCE_DIR).parent_path().string(), root));
        program->SetAppRoot(root);
        ASSERT_EQ(program->InitServices(), eNoError);
    }
    void TearDown() override {
        if (CAppBase::m_pMainWnd) {
            program->CAppMac::DoSystemQuit();
        }
        program.reset();
        HeadlessWindow::TearDown();
        m_pConfig.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_Folder, ec);
    }

    error Start() {
        if (const error e = program->InitResFile()) {
            return e;
        }
        gCString none;
        return program->Initialize(none);
    }
    CSMKBackdrop* Backdrop() const {
        return CWindowBase::m_pThis
                   ? dynamic_cast<CSMKBackdrop*>(CWindowBase::m_pThis->GetBackdrop())
                   : nullptr;
    }
    std::string TableText(uint32_t id) const {
        return gStringToUtf8(program->GetStringTable()->GetString(id, 0));
    }
    std::string PrefsPath() const { return m_Folder + "/cfg/daublin/Daublin.prs"; }

    // The window as it is shown after the backdrop's next redraw.
    std::vector<uint32_t> Shown() {
        EXPECT_EQ(Backdrop()->PassRedraw(), eNoError);
        std::unique_ptr<CImage> shot = CaptureBackBuffer();
        if (!shot) {
            ADD_FAILURE() << "no back buffer";
            return {};
        }
        const uint32_t* pixels = nullptr;
        const CImLocker lock(shot.get(), pixels);
        m_nShotWidth = shot->GetWidth();
        return std::vector<uint32_t>(pixels, pixels + size_t(shot->GetWidth()) * shot->GetHeight());
    }
    // Whether some pixel within r of p differs between the two shots.
    bool ChangedNear(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, gCPoint p,
                     int32_t r) const {
        for (int32_t y = p.y - r; y <= p.y + r; ++y) {
            for (int32_t x = p.x - r; x <= p.x + r; ++x) {
                if (At(a, gCPoint(x, y)) != At(b, gCPoint(x, y))) {
                    return true;
                }
            }
        }
        return false;
    }
    uint32_t At(const std::vector<uint32_t>& shot, gCPoint p) const {
        return shot.at(size_t(p.y) * size_t(m_nShotWidth) + size_t(p.x));
    }

    std::string m_Folder;
    std::unique_ptr<CEnvironment> m_pConfig;
    std::unique_ptr<CRunApp> program;
    int32_t m_nShotWidth = 0;
};
