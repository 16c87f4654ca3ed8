// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

namespace tesselink {
// `tesselink --render MAP --picture PICTURE --output OUT.png [--cover none|same|different]`:
// builds the target picture without a display. Returns the process exit code.
// `arguments` without the program name, as ParseCommandLine takes them.
int RunRenderCommand(const QStringList& arguments);

struct CommandLine;
// The same for a command line already parsed in the --render mode (a usage mistake in it
// included: printed, status 2).
int RunRenderCommand(const CommandLine& line);
}  // namespace tesselink
