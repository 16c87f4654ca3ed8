// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `tesselink --lineup` and `tesselink --convert`. Each returns the exit status: 0 written,
// 1 an input refused or the output not written (nothing is left at the output then),
// 2 a usage mistake. Every message is one line on stderr starting "tesselink: ".

namespace tesselink {

struct CommandLine;

// --lineup MAP --output OUT.png [--side original|target] [--cover none|same|different].
// Needs a QGuiApplication for the font.
int RunLineupCommand(const CommandLine& line);

// --convert IN OUT [--head FILE]: .map, .json or .csv (with --head) in; .map, .json, .csv or
// .ffmpeg out.
int RunConvertCommand(const CommandLine& line);

}  // namespace tesselink
