// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup_options.h"

#include "render/command_line.h"

namespace tesselink {

EditorStartOptions ParseEditorArguments(const QStringList& arguments) {
    const CommandLine line = ParseCommandLine(arguments);
    EditorStartOptions options;
    options.MapPath = line.MapPath;
    options.ScreenshotPath = line.Screenshot;
    options.Source = line.Source;
    options.Error = line.Error;
    if (line.Mode != CommandMode::Editor && options.Error.isEmpty())
        options.Error = QStringLiteral("the editor takes only [MAP] [--screenshot OUT.png] [--source SOURCE]");
    return options;
}

}  // namespace tesselink
