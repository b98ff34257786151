// Every alert reaches the user: SDL's message box, else the dialog program
// (a stub zenity first on PATH here), else standard error alone; standard
// error always has it, and the main window is given the focus back after a
// box or a program.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileIO/Spawn.h"
#include "FileIO/gCFileDlg.h"
#include "platform/App.h"

namespace {

namespace fs = std::filesystem;

class CAlertApp : public CApp {
public:
    bool CanShowDialogs() override { return m_fDisplay; }
    bool ShowMessageBox(const std::string& message) override {
        m_aBoxes.push_back(message);
        return m_fBoxWorks;
    }

    bool m_fDisplay = true;
    bool m_fBoxWorks = true;
    std::vector<std::string> m_aBoxes;
};

int s_nDialogEnds = 0;

class Alerts : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/daublin-alert-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Folder = pattern;
        fs::create_directories(m_Folder + "/bin");
        const char* path = std::getenv("PATH");
        m_OldPath = path ? path : "";
        s_nDialogEnds = 0;
        gCFileDlg::SetModalPump([] {});
        gSetDialogEndHook([] { ++s_nDialogEnds; });
    }
    void TearDown() override {
        ::setenv("PATH", m_OldPath.c_str(), 1);
        gCFileDlg::SetModalPump(nullptr);
        gSetDialogEndHook(nullptr);
        std::error_code ec;
        fs::remove_all(m_Folder, ec);
    }
    // A zenity that writes its arguments, one a line, to args.txt; PATH
    // holds the stub's folder alone, so that without the stub there is no
    // zenity at all.
    void InstallZenity() {
        const std::string stub = m_Folder + "/bin/zenity";
        std::ofstream(stub) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \""
                            << m_Folder << "/args.txt\"\n";
        ::chmod(stub.c_str(), 0755);
    }
    std::string ZenityArgs() const {
        std::ifstream in(m_Folder + "/args.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Shows one alert; what standard error said.
    std::string Show(const char* headline, const char* text) {
        ::setenv("PATH", (m_Folder + "/bin").c_str(), 1);
        testing::internal::CaptureStderr();
        app.ShowAlert(headline, text);
        return testing::internal::GetCapturedStderr();
    }

    std::string m_Folder;
    std::string m_OldPath;
    CAlertApp app;
};

TEST_F(Alerts, EachWayIsTakenOnlyWhenTheOneBeforeIsMissing) {
    const struct {
        const char* name;
        bool box, zenity;
        size_t boxes;
        const char* args; // what zenity was given, "" when it did not run
        int dialogEnds;
    } kCases[] = {
        {"the box", true, true, 1, "", 1},
        {"no box: zenity", false, true, 1,
         "--error\n--no-markup\n--text=Error.\n\nThe file is gone.\n/tmp/a b.ptg\n", 1},
        {"neither: standard error alone", false, false, 1, "", 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        app.m_aBoxes.clear();
        s_nDialogEnds = 0;
        fs::remove(m_Folder + "/args.txt");
        fs::remove(m_Folder + "/bin/zenity");
        if (c.zenity) {
            InstallZenity();
        }
        app.m_fBoxWorks = c.box;
        const std::string said = Show("Error.", "The file is gone.\n/tmp/a b.ptg");
        EXPECT_EQ(said, "Error.\n\nThe file is gone.\n/tmp/a b.ptg\n");
        EXPECT_EQ(app.m_aBoxes.size(), c.boxes);
        EXPECT_EQ(ZenityArgs(), c.args);
        EXPECT_EQ(s_nDialogEnds, c.dialogEnds) << "the window takes the focus back";
    }
}

TEST_F(Alerts, APlainMessageIsInformation) {
    InstallZenity();
    app.m_fBoxWorks = false;
    EXPECT_EQ(Show("Message", "Hello"), "Message\n\nHello\n");
    EXPECT_EQ(ZenityArgs(), "--info\n--no-markup\n--text=Message\n\nHello\n");
}

TEST_F(Alerts, WithoutADisplayOnlyStandardErrorHasIt) {
    InstallZenity();
    app.m_fDisplay = false;
    EXPECT_EQ(Show("Error.", "x"), "Error.\n\nx\n");
    EXPECT_TRUE(app.m_aBoxes.empty());
    EXPECT_EQ(ZenityArgs(), "");
    EXPECT_EQ(s_nDialogEnds, 0);
}

} // namespace
