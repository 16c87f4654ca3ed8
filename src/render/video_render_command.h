// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `tesselink --render MAP --video IN --output OUT [--cover none|same|different] [--codec NAME]
// [--crf N] [--start SECONDS] [--duration SECONDS] [--keep-going]`: every frame of IN carried
// through the map into a video of the target size, each frame at its own time in IN.

#include <optional>
#include <string>
#include <vector>

#include "map/map_model.h"
#include "remap/cover.h"

namespace tesselink {

struct VideoRenderOptions {
    std::string MapPath;
    const tesselink::Map* Map = nullptr;  // the map at MapPath, already read; none: read here
    std::string VideoPath;
    std::string OutputPath;
    std::optional<tesselink::CoverMode> CoverMode;  // none: the map's own cover option
    std::string Codec;                              // empty: by the output's extension
    std::optional<int> Crf;
    double Start = 0;                // seconds
    std::optional<double> Duration;  // seconds; none: to the end
    bool KeepGoing = false;          // write the output even when frames of IN are damaged
};

// The longest --start or --duration: what a time stamp of FFmpeg (microseconds in 64 bits) holds.
constexpr double MaxVideoSeconds = 9223372036854.0;

// Exit codes besides 0 (written) and the render command's 1 (failed) and 2 (usage).
constexpr int VideoRenderInterrupted = 130;

// Fills `options` from the arguments after the program name; on a mistake returns the line to print.
std::optional<std::string> ParseVideoRenderArguments(const std::vector<std::string>& arguments,
                                                     VideoRenderOptions& options);

// Renders; prints progress and failures on stderr. Returns the process exit code.
int RunVideoRenderCommand(const VideoRenderOptions& options);

}  // namespace tesselink
