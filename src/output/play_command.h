// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tesselink {

struct CommandLine;

// `tesselink --play MAP [--picture PICTURE | --video VIDEO [--loop] | --lineup] [--screen NAME|NUMBER]
// [--at X,Y] [--cover none|same|different] [--stats]`: the output window alone, until it is closed
// (Escape, the window manager, SIGINT, SIGTERM or SIGHUP: status 0). Inputs are refused as --render
// refuses them (status 1) and the screen choice checked (status 2) before the window opens.
int RunPlayCommand(const CommandLine& line, int argc, char** argv);

}  // namespace tesselink
