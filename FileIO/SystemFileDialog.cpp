#include "FileIO/FileDialogBackend.h"

#include <cstdlib>

#include "FileIO/Spawn.h"
#include "FileIO/gCFileDlg.h"
#include "foundation/ErrorReport.h"

namespace {

const char kNoDialogProgram[] =
    "No file dialog program was found. Install zenity (or kdialog) to open and save files.";

const char kNoFormsProgram[] =
    "No dialog program for forms was found. Install zenity to choose the paper and orientation.";

struct sProgram {
    std::string path;
    bool zenity = false;
};

// A dialog program that ended other than by an answer (0) or a cancel (1):
// the user is told once, so callers can treat 23 as already shown.
error ReportDialogStatus(const std::string& program, const std::string& title, int status) {
    const size_t slash = program.rfind('/');
    const std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
    const std::string detail = "The dialog \xE2\x80\x9C" + title +
                               "\xE2\x80\x9D could not be shown: " + name +
                               " ended with status " + std::to_string(status) + ".";
    (void)ReportError(eCreateFailed, detail.c_str()); // the alert always answers 0
    return eCreateFailed;
}

// Zenity first, then kdialog; reports to the user when neither exists.
bool FindDialogProgram(sProgram& program) {
    program.path = gFindProgram("zenity");
    program.zenity = !program.path.empty();
    if (program.path.empty()) {
        program.path = gFindProgram("kdialog");
    }
    if (program.path.empty()) {
        (void)ReportError(eCreateFailed, kNoDialogProgram); // the alert always answers 0
        return false;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& items, const char* separator = " ") {
    std::string out;
    for (const std::string& item : items) {
        out += out.empty() ? "" : separator;
        out += item;
    }
    return out;
}

void DropLineEnds(std::string& text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
}

std::string StartFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/" : std::string("./");
}

std::string RequestTitle(const CFileDialogBackend::sRequest& request) {
    switch (request.kind) {
    case CFileDialogBackend::eOpenFile:
        return "Open";
    case CFileDialogBackend::eSaveFile:
        return "Save";
    case CFileDialogBackend::eChooseFolder:
        break;
    }
    return "Choose a Folder";
}

} // namespace

std::vector<std::string> CSystemFileDialog::ZenityArguments(const std::string& program,
                                                            const sRequest& request) {
    std::vector<std::string> argv = {program, "--file-selection"};
    switch (request.kind) {
    case eOpenFile:
        argv.push_back("--title=Open");
        break;
    case eSaveFile:
        argv.push_back("--title=Save");
        argv.push_back("--save");
        break;
    case eChooseFolder:
        argv.push_back("--title=Choose a Folder");
        argv.push_back("--directory");
        break;
    }
    if (!request.startName.empty()) {
        argv.push_back("--filename=" + request.startName);
    }
    for (const sFilter& f : request.filters) {
        argv.push_back("--file-filter=" + f.name + " | " + Joined(f.patterns));
    }
    return argv;
}

std::vector<std::string> CSystemFileDialog::KdialogArguments(const std::string& program,
                                                             const sRequest& request) {
    std::string filter;
    for (const sFilter& f : request.filters) {
        filter += filter.empty() ? "" : "\n";
        filter += Joined(f.patterns) + "|" + f.name;
    }
    const std::string start = request.startName.empty() ? StartFolder() : request.startName;
    switch (request.kind) {
    case eOpenFile:
        return {program, "--title", "Open", "--getopenfilename", start, filter};
    case eSaveFile:
        return {program, "--title", "Save", "--getsavefilename", start, filter};
    case eChooseFolder:
        break;
    }
    return {program, "--title", "Choose a Folder", "--getexistingdirectory", start};
}

error CSystemFileDialog::Run(const sRequest& request, std::string& path) {
    sProgram program;
    if (!FindDialogProgram(program)) {
        return eCreateFailed;
    }
    const std::vector<std::string> argv = program.zenity ? ZenityArguments(program.path, request)
                                                         : KdialogArguments(program.path, request);
    std::string output;
    const int status = gSpawnAndCapture(argv, output, gCFileDlg::ModalPump());
    if (status == 1) {
        return eHandled;
    }
    if (status != 0) {
        return ReportDialogStatus(program.path, RequestTitle(request), status);
    }
    DropLineEnds(output);
    // Only the first chosen item counts.
    const size_t newline = output.find('\n');
    if (newline != std::string::npos) {
        output.resize(newline);
    }
    if (output.empty()) {
        return eHandled;
    }
    path = output;
    return eNoError;
}

error CSystemFileDialog::Confirm(const std::string& question) {
    sProgram program;
    if (!FindDialogProgram(program)) {
        return eCreateFailed;
    }
    const std::vector<std::string> argv =
        program.zenity ? std::vector<std::string>{program.path, "--question", "--no-markup",
                                                  "--text=" + question}
                       : std::vector<std::string>{program.path, "--yesno", question};
    std::string output;
    const int status = gSpawnAndCapture(argv, output, gCFileDlg::ModalPump());
    if (status == 0) {
        return eNoError;
    }
    return status == 1 ? eHandled : ReportDialogStatus(program.path, "Confirm", status);
}

std::vector<std::string> CFileDialogBackend::FormFields(std::string text, size_t count) {
    DropLineEnds(text);
    std::vector<std::string> fields;
    size_t start = 0;
    while (fields.size() < count) {
        const size_t bar = text.find('|', start);
        if (start > text.size()) {
            fields.emplace_back();
        } else if (bar == std::string::npos) {
            fields.push_back(text.substr(start));
            start = text.size() + 1;
        } else {
            fields.push_back(text.substr(start, bar - start));
            start = bar + 1;
        }
    }
    return fields;
}

std::vector<std::string> CSystemFileDialog::ZenityFormArguments(const std::string& program,
                                                                const sForm& form) {
    std::vector<std::string> argv = {program, "--forms", "--title=" + form.title,
                                     "--text=" + form.text, "--separator=|"};
    for (const sCombo& combo : form.combos) {
        argv.push_back("--add-combo=" + combo.label);
        argv.push_back("--combo-values=" + Joined(combo.values, "|"));
    }
    return argv;
}

error CSystemFileDialog::Forms(const sForm& form, std::vector<std::string>& answers) {
    const std::string zenity = gFindProgram("zenity");
    if (zenity.empty()) {
        (void)ReportError(eCreateFailed, kNoFormsProgram); // the alert always answers 0
        return eCreateFailed;
    }
    std::string output;
    const int status =
        gSpawnAndCapture(ZenityFormArguments(zenity, form), output, gCFileDlg::ModalPump());
    if (status == 1) {
        return eHandled;
    }
    if (status != 0) {
        return ReportDialogStatus(zenity, form.title, status);
    }
    answers = FormFields(output, form.combos.size());
    return eNoError;
}
