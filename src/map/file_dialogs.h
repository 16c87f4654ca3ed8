// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the program asks the user for a file name. The program plugs in a
// QFileDialog-backed implementation; tests plug in a scripted one.

#include <string>

namespace tesselink {

struct FileDialogRequest {
    // As shown to the user, "Description(pattern;pattern)".
    std::string Filter;
    // Added to a saved name that has none; empty for none.
    std::string DefaultSuffix;
    // The folder (and name) offered first; empty for the current folder.
    std::string ProposedPath;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // An existing file's path, or empty when the user cancelled.
    virtual std::string AskOpenPath(const FileDialogRequest& request) = 0;
    // The path to write, or empty when the user cancelled; an existing file was confirmed.
    virtual std::string AskSavePath(const FileDialogRequest& request) = 0;
};

}  // namespace tesselink
