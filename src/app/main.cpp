// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point: one parse of the command line, then the mode it names.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

#include "app/editor_main.h"
#include "app/quiet_messages.h"
#include "exchange/exchange_commands.h"
#include "map/safe_write.h"
#include "output/play_command.h"
#include "render/command_line.h"
#include "render/render_command.h"

namespace {

QStringList ProgramArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    // A size limit makes a write fail with a reason instead of killing the program.
    tesselink::IgnoreFileSizeSignal();
    tesselink::QuietenLibrariesForCommandLine(argc, argv);
    using tesselink::CommandMode;
    const tesselink::CommandLine line = tesselink::ParseCommandLine(ProgramArguments(argc, argv));
    switch (line.Mode) {
    case CommandMode::Help: std::fputs(tesselink::CommandLineHelp().c_str(), stdout); return 0;
    case CommandMode::Version: std::printf("Tesselink %s\n", TESSELINK_VERSION); return 0;
    case CommandMode::Render: {
        QCoreApplication app(argc, argv);
        return tesselink::RunRenderCommand(line);
    }
    case CommandMode::Lineup: {
        // Text needs a QGuiApplication; a lineup never needs a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return tesselink::RunLineupCommand(line);
    }
    case CommandMode::Play: return tesselink::RunPlayCommand(line, argc, argv);
    case CommandMode::Convert: {
        QCoreApplication app(argc, argv);
        return tesselink::RunConvertCommand(line);
    }
    case CommandMode::Editor:
        if (!line.Error.isEmpty() && !line.FileNameMistake) {
            std::fprintf(stderr, "tesselink: %s\n", qPrintable(line.Error));
            return 2;
        }
        break;
    }
    // The editor parses the command line again once Qt has taken its own options (-platform ...).
    return tesselink::RunEditor(argc, argv);
}
