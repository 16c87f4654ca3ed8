// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the editor's command line asks for.

#include <QString>
#include <QStringList>

namespace tesselink {

struct EditorStartOptions {
    QString MapPath;         // a map file to open at start-up, or empty
    QString ScreenshotPath;  // --screenshot OUT.png: save a picture of the window and quit
    QString Source;          // --source SOURCE: a live source behind the map from the start
    QString Error;           // non-empty when the arguments make no sense
};

// `arguments` without the program name and without the options Qt has taken.
EditorStartOptions ParseEditorArguments(const QStringList& arguments);

}  // namespace tesselink
