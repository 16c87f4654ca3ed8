#include "app/startup_options.h"

namespace tesselink {

EditorStartOptions ParseEditorArguments(const QStringList& arguments) {
    EditorStartOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--screenshot") {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                options.Error = "--screenshot needs the path of a PNG file to write";
                return options;
            }
            options.ScreenshotPath = arguments[++i];
        } else if (argument.startsWith("--") && argument.size() > 2) {
            options.Error = QStringLiteral("unknown option %1").arg(argument);
            return options;
        } else if (options.MapPath.isEmpty()) {
            options.MapPath = argument;
        } else {
            options.Error = "only one map file can be opened";
            return options;
        }
    }
    return options;
}

}  // namespace tesselink
