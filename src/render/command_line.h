// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's command line: one description of every option, the parse, the usage and help.

#include <optional>
#include <utility>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "remap/cover.h"

namespace tesselink {

enum class CommandMode { Editor, Render, Lineup, Convert, Play, Help, Version };

struct CommandLine {
    CommandMode Mode = CommandMode::Editor;
    // A usage mistake in one line ("unknown option --zoom"); the program ends with status 2.
    QString Error;
    // The Error is about the number of file names, which Qt's own options (-platform offscreen)
    // may explain until the editor's QApplication has taken them out.
    bool FileNameMistake = false;

    QString MapPath;                                // the editor's MAP, or the MAP of --render and --lineup
    QString Screenshot;                             // editor: --screenshot OUT.png
    QString Picture;                                // --render: --picture PICTURE
    QString Video;                                  // --render: --video IN
    QString Output;                                 // --render, --lineup: --output OUT
    std::optional<tesselink::CoverMode> CoverMode;  // --cover; unset: the map decides
    bool OriginalSide = false;                      // --lineup --side original
    bool Cabling = false;                           // --lineup --cabling
    QString ConvertInput, ConvertOutput;            // --convert IN OUT
    QString Head;                                   // --convert, --render, --lineup: --head FILE
    QString Codec;                                  // video: --codec NAME
    std::optional<int> Crf;                         // video: --crf N
    std::optional<double> Start, Duration;          // video: --start SECONDS, --duration SECONDS
    bool KeepGoing = false;                         // video: --keep-going
    bool PlayLineup = false;                        // --play: --lineup as the source
    QString Source;                                 // --play: --source SOURCE, a live source's address
    bool Loop = false;                              // --play --video: --loop
    QString Screen;                                 // --play: --screen NAME|NUMBER
    std::optional<std::pair<int, int>> At;          // --play: --at X,Y
    bool Stats = false;                             // --play: --stats
    std::optional<double> Clock;                    // --play: --clock START, seconds since the epoch
};

// Parses `arguments` (without the program's name). `--option value` and `--option=value` are
// both taken. An argument starting with a single dash that names no option is a file name
// (Qt's own options, such as -platform, are taken out before the editor's parse). With --help
// or --version anywhere, that is the mode. Otherwise Mode is set from the mode option given
// even when Error is set, so that the caller knows whose mistake it is.
CommandLine ParseCommandLine(const QStringList& arguments);

// The --help text: each mode's usage, then every option with its description.
std::string CommandLineHelp();

// The long names of every option, with their dashes ("--render", ...), as --help lists them.
std::vector<std::string> CommandLineOptionNames();

}  // namespace tesselink
