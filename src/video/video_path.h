// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks on the files a video is read from and written to, and FFmpeg's error texts.

#include <string>

namespace tesselink {

// Empty when `path` names a regular file that can be opened for reading, else why not: "no such
// file", "is a folder", "is not a regular file" (a FIFO would block the demuxer), the system's text.
std::string VideoInputProblem(const std::string& path);

// Empty when a file can be put at `path`: its folder exists and nothing but a regular file is in
// the way. Else why not ("is a folder", "is not a regular file", "the folder X does not exist").
std::string VideoOutputProblem(const std::string& path);

// FFmpeg's one-line text for an error code.
std::string AvErrorText(int code);

}  // namespace tesselink
