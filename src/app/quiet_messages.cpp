// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/quiet_messages.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>

#include "picture/decoder_stderr.h"

namespace tesselink {
namespace {

void DropAllButFatal(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fprintf(stderr, "tesselink: %s\n", qPrintable(message));
}

// `argument` is `option` itself or `option=VALUE`.
bool IsOption(const char* argument, const char* option) {
    const std::size_t length = std::strlen(option);
    return std::strncmp(argument, option, length) == 0 && (argument[length] == '\0' || argument[length] == '=');
}

}  // namespace

bool IsCommandLineRun(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;  // file names follow
        for (const char* option : {"--render", "--screenshot", "--lineup", "--convert", "--play"})
            if (IsOption(argv[i], option)) return true;
    }
    return false;
}

void QuietenLibrariesForCommandLine(int argc, char** argv) {
    if (!IsCommandLineRun(argc, argv)) return;
    qInstallMessageHandler(&DropAllButFatal);
    HoldBackDecoderStderr(true);
}

}  // namespace tesselink
