#pragma once
// A file dialog that answers from a script: each Run takes the next answer
// (a result code and a path), each Confirm the next yes/no; every request
// and question is kept. Installed for its lifetime.

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

    std::deque<std::pair<error, std::string>> answers;
    std::deque<error> confirmations;
    std::vector<sRequest> requests;
    std::vector<std::string> questions;
};
