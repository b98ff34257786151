#pragma once
// A file dialog that answers from a script: each Run takes the next answer
// (a result code and a path), each Confirm the next yes/no, each Forms the
// next form answer (a result code and the fields as the dialog program
// writes them, "A3|Landscape"); every request, question and form is kept.
// Without an answer left, each is cancelled. Installed for its lifetime.

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "FileIO/gCFileDlg.h"

class CScriptedDialog : public CFileDialogBackend {
public:
    CScriptedDialog() { gCFileDlg::SetBackend(this); }
    ~CScriptedDialog() override { gCFileDlg::SetBackend(nullptr); }

    error Run(const sRequest& request, std::string& path) override {
        requests.push_back(request);
        if (answers.empty()) {
            return eHandled;
        }
        const auto [code, chosen] = answers.front();
        answers.pop_front();
        if (code == eNoError) {
            path = chosen;
        }
        return code;
    }

    error Confirm(const std::string& question) override {
        questions.push_back(question);
        if (confirmations.empty()) {
            return eHandled;
        }
        const error answer = confirmations.front();
        confirmations.pop_front();
        return answer;
    }

    error Forms(const sForm& form, std::vector<std::string>& fields) override {
        forms.push_back(form);
        if (formAnswers.empty()) {
            return eHandled;
        }
        const auto [code, text] = formAnswers.front();
        formAnswers.pop_front();
        if (code == eNoError) {
            fields = FormFields(text, form.combos.size());
        }
        return code;
    }

    std::deque<std::pair<error, std::string>> answers;
    std::deque<error> confirmations;
    std::deque<std::pair<error, std::string>> formAnswers;
    std::vector<sRequest> requests;
    std::vector<std::string> questions;
    std::vector<sForm> forms;
};
