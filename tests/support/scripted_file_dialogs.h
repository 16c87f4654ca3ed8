// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File dialogs for tests: records every request and answers from a script.

#include <deque>
#include <string>
#include <vector>

#include "map/file_dialogs.h"

namespace tesselink::testing {

class ScriptedFileDialogs : public FileDialogs {
public:
    std::string AskOpenPath(const FileDialogRequest& request) override { return Answer("open", request); }
    std::string AskSavePath(const FileDialogRequest& request) override { return Answer("save", request); }

    struct Asked {
        std::string Kind;  // "open" or "save"
        FileDialogRequest Request;
    };
    std::vector<Asked> Requests;
    std::deque<std::string> Answers;  // paths to give in order; none left means cancel

private:
    std::string Answer(const char* kind, const FileDialogRequest& request) {
        Requests.push_back({kind, request});
        if (Answers.empty()) return std::string();
        std::string a = Answers.front();
        Answers.pop_front();
        return a;
    }
};

}  // namespace tesselink::testing
