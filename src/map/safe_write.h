// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the program writes a file: all of it or nothing.

#include <cstddef>
#include <string>

namespace tesselink {

struct FileWriteResult {
    bool Written = false;
    std::string Error;  // why not, in one line for the user; empty on success
    explicit operator bool() const { return Written; }
};

// Writes `size` bytes to `path` through a temporary file in the same folder that replaces the
// old file only once every byte has reached the disk. On any failure (full disk, size limit,
// no permission, a folder in the way) the old file stays as it was, no temporary file is left,
// and Error reads "cannot write PATH: REASON". An existing path that is not a regular file (or
// a symlink to one), such as a FIFO or a device, is refused untouched: "is not a regular file".
// A symbolic link is written through (its target gets the new contents) and an existing file
// keeps its mode. Ctrl+C, a hang-up or a broken pipe during the write wait until it is done.
FileWriteResult WriteFileSafely(const std::string& path, const void* data, std::size_t size);

// Why `path` cannot take a new file, judged from what is there now (no name, a folder, not a
// regular file, a folder that does not exist); empty when it can.
std::string OutputTargetProblem(const std::string& path);

// The temporary file an output is written to before it replaces the old one. It lies beside the
// file it replaces (for a symbolic link, beside the link's final target), is hidden, is named
// ".NAME.tesselink-XXXXXX" and stays locked (flock) while open, so that a later write can tell
// the temporary of a run that was killed from one still being written.
struct OutputTemporary {
    int Fd = -1;
    std::string Path;       // the temporary file
    std::string FinalPath;  // the file it replaces: `path`, or the end of its chain of links
};

// Checks `path` as OutputTargetProblem does, removes this program's stale temporaries of the
// same final name (older than this process, locked by no one) and creates a new temporary.
// False with "cannot write PATH: REASON" in `why`.
bool CreateOutputTemporary(const std::string& path, OutputTemporary& temporary, std::string& why);

// Syncs the temporary, gives it the mode of the file it replaces (a new file: 0666 less the
// umask), closes it and renames it over FinalPath. On failure the temporary is removed, the old
// file stays, and `why` reads "cannot write PATH: REASON".
bool CommitOutputTemporary(OutputTemporary& temporary, const std::string& path, std::string& why);

// Closes and removes the temporary, if any.
void DiscardOutputTemporary(OutputTemporary& temporary);

// Removes the stale temporaries of the output `finalPath` (see OutputTemporary); the number removed.
int SweepStaleTemporaries(const std::string& finalPath);

// A write past a file-size limit (ulimit -f, a quota) then fails with EFBIG ("File too large")
// and is reported like any other failure, instead of SIGXFSZ ending the process with unsaved
// work. Called first thing in main().
void IgnoreFileSizeSignal();

// The system's one-line text for an errno value, e.g. "No space left on device".
std::string SystemErrorText(int errorNumber);

}  // namespace tesselink
