// The page set-up: the starting paper from the system, and the form that
// changes it (scripted, and the real argument vector through a stub
// zenity). That it holds for the next print is a print's test.

#include "paint/PrintManager.h"
#include "paint/tests/PrintStubs.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

const sPaper kA4 = {"A4", 595, 842};
const sPaper kA3 = {"A3", 842, 1191};

class PageSetup : public PrintStubs {
protected:
    void SetUp() override {
        PrintStubs::SetUp();
        ASSERT_EQ(manager.Initialise(), eNoError);
    }
    CFakeAppServices app;
    CSMKPrintManager manager;
};

TEST_F(PageSetup, StartsOnTheSystemsPaper) {
    struct SStart {
        const char* papersize; // null: none set, and no papersize file
        sPaper paper;
    };
    for (const SStart& s :
         {SStart{"a4", kA4}, SStart{"letter", {"US Letter", 612, 792}},
          SStart{"a5", {"A5", 420, 595}}, SStart{"nonsense", kA4}, SStart{nullptr, kA4}}) {
        SCOPED_TRACE(s.papersize ? s.papersize : "none");
        if (s.papersize) {
            ::setenv("PAPERSIZE", s.papersize, 1);
        } else {
            ::unsetenv("PAPERSIZE");
            ::setenv("PAPERCONF", Posix("no-papersize").c_str(), 1);
        }
        CSMKPrintManager fresh;
        EXPECT_EQ(fresh.Initialise(), eNoError);
        EXPECT_EQ(fresh.PageSetup(), (sPageSetup{s.paper, false}));
    }
}

TEST_F(PageSetup, TheFormChangesWhatItNames) {
    struct SAnswer {
        const char* name;
        error code;
        const char* fields;
        sPageSetup after;
    };
    const SAnswer answers[] = {
        {"Both", eNoError, "A3|Landscape", {kA3, true}},
        {"EmptyPaperKept", eNoError, "|Portrait", {kA3, false}},
        {"EmptyOrientationKept", eNoError, "A4|", {kA4, false}},
        {"PaperKept", eNoError, "|Landscape", {kA4, true}},
        {"CancelKeepsAll", eHandled, "", {kA4, true}},
        {"UnknownValuesKept", eNoError, "B9|Sideways", {kA4, true}},
    };
    CScriptedDialog dialog;
    for (const SAnswer& a : answers) {
        dialog.formAnswers.push_back({a.code, a.fields});
    }
    for (const SAnswer& a : answers) {
        SCOPED_TRACE(a.name);
        const sPageSetup before = manager.PageSetup();
        EXPECT_EQ(manager.SetPrintSettings(), eNoError);
        EXPECT_EQ(manager.PageSetup(), a.after);
        // The form names the set-up it started from, the current paper and
        // orientation first, and no paper twice.
        const CFileDialogBackend::sForm& form = dialog.forms.back();
        EXPECT_NE(form.text.find("(now " + before.Describe() + ")"), std::string::npos);
        ASSERT_EQ(form.combos.size(), 2u);
        EXPECT_EQ(form.combos[0].values.front(), before.paper.name);
        EXPECT_EQ(form.combos[0].values.size(), 4u);
        EXPECT_EQ(form.combos[1].values.front(), before.landscape ? "Landscape" : "Portrait");
    }
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(PageSetup, TheRealFormThroughAStubZenity) {
    ::setenv("PAPERSIZE", "a5", 1); // the system's paper is offered after the current one
    StubZenity();
    AnswerForms("A3|Landscape");
    EXPECT_EQ(manager.SetPrintSettings(), eNoError);
    EXPECT_EQ(manager.PageSetup(), (sPageSetup{kA3, true}));
    EXPECT_EQ(Lines("forms-args.txt"),
              (std::vector<std::string>{
                  "--forms", "--title=Page Setup",
                  "--text=Paper and orientation for printing (now A4, "
                  "portrait).",
                  "--separator=|", "--add-combo=Paper", "--combo-values=A4|A5|US Letter|A3|Legal",
                  "--add-combo=Orientation", "--combo-values=Portrait|Landscape"}));

    // Cancelled: all kept.
    std::filesystem::remove(Posix("answer-forms"));
    EXPECT_EQ(manager.SetPrintSettings(), eNoError);
    EXPECT_EQ(manager.PageSetup(), (sPageSetup{kA3, true}));
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(PageSetup, WithoutZenityOneAlertAndTheSetUpStays) {
    AnswerForms("A3|Landscape"); // nobody to give it
    EXPECT_EQ(manager.SetPrintSettings(), eNoError);
    EXPECT_EQ(manager.PageSetup(), (sPageSetup{kA4, false}));
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_NE(app.m_Alerts[0].text.find("Install zenity"), std::string::npos);
}

} // namespace
