// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A command-line run prints exactly its own lines: no warnings from Qt or the libraries it uses
// (a missing runtime folder, a platform plugin's limits, a decoder's complaint about a damaged
// picture, whose reason the program's own line gives).

namespace tesselink {

// True when the arguments ask for a mode without a user at the window: --render, --screenshot,
// --lineup, --convert.
bool IsCommandLineRun(int argc, char** argv);

// For a command-line run, drops Qt's messages (a fatal one is still printed) and holds back the
// decoders' own stderr lines; does nothing for the editor. Called in main() before any Qt object.
void QuietenLibrariesForCommandLine(int argc, char** argv);

}  // namespace tesselink
