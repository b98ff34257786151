// A print through the real programs' path, with stub lp, lpstat and zenity
// first on PATH: where it goes, what lp gets, the PDF file offered without
// a printer, and every failure shown once with the answer 0 and no
// temporary file left.

#include <sys/stat.h>

#include <cairo.h>

#include "foundation/Input.h"
#include "imaging/ImNav.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/detail/PrintPage.h"
#include "paint/tests/PrintStubs.h"
#include "testsupport/foundation/ChildProcess.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/StartedDocument.h"

namespace {

constexpr const char* kTitle = "\xC3\x89tude \xE2\x84\x96"
                               "2"; // "Étude №2"

// A registered backbone with a 200 x 100 painting named kTitle.
class PrintCommand : public PrintStubs {
protected:
    void SetUp() override {
        PrintStubs::SetUp();
        const gCString title = S(kTitle);
        StartDocument(backbone, ui, 200, 100, &title);
        if (HasFatalFailure()) {
            return;
        }
        CImNav(backbone.Canvas()->Composite()).Fill(0xFF3060C0u);
        StubZenity();
    }
    void TearDown() override {
        g_pPrintPageHook = nullptr;
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        PrintStubs::TearDown();
    }
    int32_t Print() { return backbone.ProcessData(eCmdPrint, &ui, 1, 1); }

    CFakeAppServices app;
    CRecordingModule ui;
    CSMKBackbone backbone;
};

struct CommandCase {
    const char* name;
    // The machine.
    const char* lpdest;  // null: unset
    const char* printer; // null: unset
    bool lp;
    const char* lpstat; // its output; null: no lpstat
    int lpstatStatus;
    const char* lpError; // lp fails with this on standard error; null: it prints
    bool failCairo;
    // The user.
    bool yes;
    const char* saveAs; // the save dialog's answer; null: cancelled
    // What happens.
    const char* destination; // what lp got; null: lp did not run
    const char* question;    // a part of the question asked
    const char* alert;       // a part of the one alert; null: none
    bool saved;              // page.pdf holds the page
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

const char kDefault[] = "system default destination: Office\n";
const char kNoDefault[] = "no system default destination\n";

const CommandCase kCases[] = {
    {"DefaultFromLpstat", nullptr, nullptr, true, kDefault, 0, nullptr, false, true, nullptr,
     "Office", "on Office (A4, portrait)?", nullptr, false},
    {"LpdestFirst", "Front", "Back", true, kDefault, 0, nullptr, false, true, nullptr, "Front",
     "on Front", nullptr, false},
    {"PrinterNext", nullptr, "Back", true, kDefault, 0, nullptr, false, true, nullptr, "Back",
     "on Back", nullptr, false},
    {"NoLpOffersAPdfFile", nullptr, nullptr, false, kDefault, 0, nullptr, false, true, "page.pdf",
     nullptr, "No printer is set up (lp was not found). Save the page as a PDF file?", nullptr,
     true},
    {"LpstatNamesNone", nullptr, nullptr, true, kNoDefault, 0, nullptr, false, true, "page.pdf",
     nullptr, "(there is no default printer)", nullptr, true},
    {"LpstatExitsOne", nullptr, nullptr, true, "lpstat: No destinations added.\n", 1, nullptr,
     false, false, nullptr, nullptr, "No printer is set up", nullptr, false},
    {"NoLpstat", nullptr, nullptr, true, nullptr, 0, nullptr, false, false, nullptr, nullptr,
     "No printer is set up", nullptr, false},
    {"LpFails", nullptr, nullptr, true, kDefault, 0, "lp: The printer or class does not exist.\n",
     false, true, nullptr, "Office", "on Office",
     "Printing on \xE2\x80\x9COffice\xE2\x80\x9D failed.\nlp: The printer or class does not exist.",
     false},
    {"QuestionAnsweredNo", nullptr, nullptr, true, kDefault, 0, nullptr, false, false, nullptr,
     nullptr, "on Office", nullptr, false},
    {"SaveDialogCancelled", nullptr, nullptr, false, nullptr, 0, nullptr, false, true, nullptr,
     nullptr, "Save the page as a PDF file?", nullptr, false},
    {"CairoFails", nullptr, nullptr, true, kDefault, 0, nullptr, true, true, nullptr, nullptr,
     "on Office", "could not be drawn: cairo_restore() without matching cairo_save()", false},
};

class Commands : public PrintCommand, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, WhatLpGetsAndWhatIsShown) {
    const CommandCase& c = GetParam();
    if (c.lpdest) {
        ::setenv("LPDEST", c.lpdest, 1);
    }
    if (c.printer) {
        ::setenv("PRINTER", c.printer, 1);
    }
    if (c.lp) {
        StubLp();
        if (c.lpError) {
            WriteFileBytes(Posix("lp-stderr"), c.lpError);
            WriteFileBytes(Posix("lp-status"), "1");
        }
    }
    if (c.lpstat) {
        StubLpstat(c.lpstat, c.lpstatStatus);
    }
    if (c.failCairo) {
        // An unbalanced restore puts the page's context in an error state.
        g_pPrintPageHook = [](cairo_t* cr) { cairo_restore(cr); };
    }
    AnswerQuestion(c.yes);
    if (c.saveAs) {
        AnswerFile(c.saveAs);
    }

    EXPECT_EQ(Print(), 0);

    const std::vector<std::string> question = Lines("question-args.txt");
    ASSERT_EQ(question.size(), 3u) << "one question";
    EXPECT_NE(question[2].find(c.question), std::string::npos) << question[2];
    if (c.destination) {
        EXPECT_NE(question[2].find(std::string("Print \xE2\x80\x9C") + kTitle + "\xE2\x80\x9D"),
                  std::string::npos);
        const std::vector<std::string> args = Lines("lp-args.txt");
        ASSERT_EQ(args.size(), 6u);
        EXPECT_EQ(args[0], "-d");
        EXPECT_EQ(args[1], c.destination);
        EXPECT_EQ(args[2], "-t");
        EXPECT_EQ(args[3], kTitle);
        EXPECT_EQ(args[4], "--");
        EXPECT_EQ(args[5].rfind(Posix("tmp/"), 0), 0u) << "a file under TMPDIR: " << args[5];
        EXPECT_EQ(FileBytes(Posix("lp-mode.txt")), "600\n");
        EXPECT_EQ(PdfField(Posix("lp-got.pdf"), "Pages"), "1");
        EXPECT_EQ(PdfField(Posix("lp-got.pdf"), "Title"), kTitle);
    } else {
        EXPECT_FALSE(std::filesystem::exists(Posix("lp-args.txt"))) << "lp did not run";
    }
    if (c.lp && c.lpstat && !c.lpdest && !c.printer) {
        EXPECT_EQ(FileBytes(Posix("lpstat-lcall.txt")), "C");
    }
    if (c.alert) {
        ASSERT_EQ(app.m_Alerts.size(), 1u);
        EXPECT_NE(app.m_Alerts[0].text.find(c.alert), std::string::npos) << app.m_Alerts[0].text;
    } else {
        EXPECT_TRUE(app.m_Alerts.empty()) << app.m_Alerts[0].text;
    }
    if (c.saved) {
        const std::vector<std::string> dialog = Lines("file-selection-args.txt");
        EXPECT_NE(std::find(dialog.begin(), dialog.end(),
                            "--file-filter=PDF File (*.pdf) | *.[pP][dD][fF]"),
                  dialog.end());
        EXPECT_EQ(PdfField(Posix("page.pdf"), "Pages"), "1");
        EXPECT_EQ(PdfField(Posix("page.pdf"), "Page size"), "595 x 842 pts (A4)");
    } else {
        EXPECT_FALSE(std::filesystem::exists(Posix("page.pdf")));
    }
    EXPECT_EQ(TemporaryEntries(), 0) << "no temporary file outlives the print";
}

INSTANTIATE_TEST_SUITE_P(Print, Commands, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintCommand, AFailedSaveKeepsTheOldFile) {
    const std::string old = "the page saved before";
    WriteFileBytes(Posix("page.pdf"), old);
    AnswerQuestion(true); // save as a PDF, and replace the old one
    AnswerFile("page.pdf");
    // The disk fills up part-way through the page.
    const SChildEnd end = RunInChild(
        [this] {
            if (Print() != 0) {
                return 1;
            }
            if (app.m_Alerts.size() != 1) {
                return 10 + int(app.m_Alerts.size());
            }
            return app.m_Alerts[0].text.find(Posix("page.pdf")) != std::string::npos ? 0 : 2;
        },
        SChildLimits().FileBytes(1024));
    EXPECT_EQ(end, ChildExited(0));
    EXPECT_EQ(FileBytes(Posix("page.pdf")), old);
    EXPECT_EQ(TemporaryEntries(), 0);
    for (const auto& entry : std::filesystem::directory_iterator(m_Root)) {
        EXPECT_NE(entry.path().filename().string().rfind(".page.pdf", 0), 0u)
            << "a temporary save file was left: " << entry.path();
    }
}

TEST_F(PrintCommand, ThePageSetUpHoldsForTheNextPrint) {
    StubLp();
    StubLpstat(kDefault);
    AnswerForms("A3|Landscape");
    AnswerQuestion(true);
    EXPECT_EQ(backbone.ProcessData(eCmdPageSetup, &ui, 0, 1), 0);
    EXPECT_EQ(Print(), 0);
    EXPECT_NE(Lines("question-args.txt").back().find("(A3, landscape)?"), std::string::npos);
    EXPECT_EQ(PdfField(Posix("lp-got.pdf"), "Page size"), "1191 x 842 pts (A3)");
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(PrintCommand, NoTemporaryFileOrAnLpThatCannotStartIsOneAlert) {
    StubLp();
    StubLpstat(kDefault);
    AnswerQuestion(true);
    // TMPDIR names a folder that is not there: no file for lp.
    ::setenv("TMPDIR", Posix("missing").c_str(), 1);
    EXPECT_EQ(Print(), 0);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_NE(app.m_Alerts[0].text.find("The page for \xE2\x80\x9COffice\xE2\x80\x9D could not "
                                        "be written.\n" +
                                        Posix("missing")),
              std::string::npos)
        << app.m_Alerts[0].text;
    EXPECT_FALSE(std::filesystem::exists(Posix("lp-args.txt")));

    // An lp whose interpreter is missing cannot start.
    ::setenv("TMPDIR", Posix("tmp").c_str(), 1);
    WriteFileBytes(Posix("bin/lp"), "#!/nonexistent/shell\n");
    app.m_Alerts.clear();
    EXPECT_EQ(Print(), 0);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_NE(app.m_Alerts[0].text.find("lp could not be started to print on "
                                        "\xE2\x80\x9COffice\xE2\x80\x9D."),
              std::string::npos)
        << app.m_Alerts[0].text;
    EXPECT_EQ(TemporaryEntries(), 0);
}

TEST_F(PrintCommand, NothingToPrintWithoutAPainting) {
    StubLp();
    StubLpstat(kDefault);
    AnswerQuestion(true);
    CSMKBackbone bare;
    EXPECT_EQ(bare.ProcessData(eCmdPrint, &ui, 1, 0), 0);
    EXPECT_FALSE(std::filesystem::exists(Posix("question-args.txt")));
    EXPECT_TRUE(app.m_Alerts.empty());
}

} // namespace
