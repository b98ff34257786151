// The page set-up: the papers offered, the system's paper from libpaper,
// and the form that asks for paper and orientation.

#include <paper.h>

#include <cmath>
#include <cstdlib>
#include <utility>

#include "FileIO/gCFileDlg.h"
#include "paint/PrintManager.h"

namespace {

const char kPortrait[] = "Portrait";
const char kLandscape[] = "Landscape";

// The paper's name shown as a name: "a5" is "A5".
std::string ShownName(const char* name) {
    std::string shown = name ? name : "";
    if (!shown.empty() && shown[0] >= 'a' && shown[0] <= 'z') {
        shown[0] = char(shown[0] - 'a' + 'A');
    }
    return shown;
}

// Ends libpaper's use when it goes.
struct SPaperLibrary {
    SPaperLibrary() { (void)paperinit(); }
    ~SPaperLibrary() { (void)paperdone(); }
};

// Appends the paper unless a paper of that name is there already.
void AddOnce(std::vector<sPaper>& papers, const sPaper& paper) {
    for (const sPaper& p : papers) {
        if (p.name == paper.name) {
            return;
        }
    }
    papers.push_back(paper);
}

} // namespace

std::string sPageSetup::Describe() const {
    return paper.name + (landscape ? ", landscape" : ", portrait");
}

const std::vector<sPaper>& StandardPapers() {
    static const std::vector<sPaper> papers = {
        {"A4", 595, 842}, {"US Letter", 612, 792}, {"A3", 842, 1191}, {"Legal", 612, 1008}};
    return papers;
}

sPaper SystemPaper() {
    const SPaperLibrary library;
    sPaper paper = StandardPapers()[0];
    char* name = systempapername();
    const struct paper* known = name ? paperinfo(name) : nullptr;
    if (known) {
        paper.name = ShownName(papername(known));
        paper.width = int32_t(std::lround(paperpswidth(known)));
        paper.height = int32_t(std::lround(paperpsheight(known)));
        for (const sPaper& standard : StandardPapers()) {
            if (standard.width == paper.width && standard.height == paper.height) {
                paper = standard;
            }
        }
    }
    std::free(name);
    return paper;
}

error CSMKPrintManager::Initialise() {
    m_Setup = {SystemPaper(), false};
    m_fInitialised = 1;
    return eNoError;
}

error CSMKPrintManager::SetPrintSettings() {
    // The current paper first, then the system's and the four.
    std::vector<sPaper> papers = {m_Setup.paper};
    AddOnce(papers, SystemPaper());
    for (const sPaper& p : StandardPapers()) {
        AddOnce(papers, p);
    }
    CFileDialogBackend::sForm form;
    form.title = "Page Setup";
    form.text = "Paper and orientation for printing (now " + m_Setup.Describe() + ").";
    CFileDialogBackend::sCombo paperList{"Paper", {}};
    for (const sPaper& p : papers) {
        paperList.values.push_back(p.name);
    }
    CFileDialogBackend::sCombo orientation{"Orientation", {kPortrait, kLandscape}};
    if (m_Setup.landscape) {
        std::swap(orientation.values[0], orientation.values[1]);
    }
    form.combos = {paperList, orientation};

    std::vector<std::string> answers;
    // A cancel keeps the set-up; a form that could not be shown has said why.
    if (gCFileDlg::Backend().Forms(form, answers) != eNoError || answers.size() != 2) {
        return eNoError;
    }
    for (const sPaper& p : papers) {
        if (p.name == answers[0]) {
            m_Setup.paper = p;
        }
    }
    if (answers[1] == kPortrait || answers[1] == kLandscape) {
        m_Setup.landscape = answers[1] == kLandscape;
    }
    return eNoError;
}
