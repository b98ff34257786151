#pragma once
// What runs a file dialog: the desktop's dialog program in the program,
// a scripted stand-in in tests.

#include <string>
#include <vector>

#include "foundation/Error.h"

class CFileDialogBackend {
public:
    enum EKind { eOpenFile, eSaveFile, eChooseFolder };

    // One entry of the dialog's filter menu: a name and glob patterns.
    struct sFilter {
        std::string name;
        std::vector<std::string> patterns;
    };

    struct sRequest {
        EKind kind = eOpenFile;
        std::vector<sFilter> filters;
        // A file name (or path) proposed to the user; may be empty.
        std::string startName;
    };

    // A form of drop-down lists, each with its label and its values.
    struct sCombo {
        std::string label;
        std::vector<std::string> values;
    };
    struct sForm {
        std::string title;
        std::string text;
        std::vector<sCombo> combos;
    };

    virtual ~CFileDialogBackend() = default;

    // 0 with the chosen absolute POSIX path, 2 when the user cancels or
    // chooses nothing, 23 when no dialog can be shown.
    virtual error Run(const sRequest& request, std::string& path) = 0;
    // Asks a yes/no question: 0 yes, 2 no, 23 when it cannot be asked.
    virtual error Confirm(const std::string& question) = 0;
    // Shows a form: 0 with one answer per list ("" where the user chose
    // nothing), 2 when the user cancels, 23 when it cannot be shown (the
    // alert saying why already shown).
    virtual error Forms(const sForm& form, std::vector<std::string>& answers) = 0;

    // A form's answer as the dialog program writes it, fields separated by
    // '|', as exactly count fields (those missing are empty).
    static std::vector<std::string> FormFields(std::string text, size_t count);
};

// The dialog program of the desktop: zenity, or kdialog when zenity is
// absent. Neither present: 23 and an alert naming what to install.
class CSystemFileDialog : public CFileDialogBackend {
public:
    error Run(const sRequest& request, std::string& path) override;
    error Confirm(const std::string& question) override;
    // Forms need zenity: without it 23 and an alert naming it.
    error Forms(const sForm& form, std::vector<std::string>& answers) override;

    // The argument vectors handed to each program (program path first).
    static std::vector<std::string> ZenityArguments(const std::string& program,
                                                    const sRequest& request);
    static std::vector<std::string> KdialogArguments(const std::string& program,
                                                     const sRequest& request);
    static std::vector<std::string> ZenityFormArguments(const std::string& program,
                                                        const sForm& form);
};
