#include "FileIO/FileDialogBackend.h"

#include <cstdlib>

#include "FileIO/Spawn.h"
#include "FileIO/gCFileDlg.h"
#include "foundation/ErrorReport.h"

namespace {

const char kNoDialogProgram[] =
    "No file dialog program was found. Install zenity (or kdialog) to open and save files.";

struct sProgram {
    std::string path;
    bool zenity = false;
};

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

std::string Joined(const std::vector<std::string>& patterns) {
    std::string out;
    for (const std::string& p : patterns) {
        out += out.empty() ? "" : " ";
        out += p;
    }
    return out;
}

std::string StartFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/" : std::string("./");
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
        return eCreateFailed;
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) {
        output.pop_back();
    }
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
    return status == 1 ? eHandled : eCreateFailed;
}
