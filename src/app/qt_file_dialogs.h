// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's file dialogs on QFileDialog.

#include <QPointer>
#include <QString>
#include <QWidget>

#include "map/file_dialogs.h"

namespace tesselink {

// "Description(a;b)" as Qt's dialog needs it to filter by a and b while showing the text as
// given: the patterns again, space-separated, in a trailing group the dialog hides.
QString QtNameFilter(const std::string& filter);

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* owner = nullptr) : Owner_(owner) {}
    void SetOwner(QWidget* owner) { Owner_ = owner; }

    std::string AskOpenPath(const FileDialogRequest& request) override;
    std::string AskSavePath(const FileDialogRequest& request) override;

private:
    QPointer<QWidget> Owner_;
};

}  // namespace tesselink
