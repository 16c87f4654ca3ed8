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
FileWriteResult WriteFileSafely(const std::string& path, const void* data, std::size_t size);

// A write past a file-size limit (ulimit -f, a quota) then fails with EFBIG ("File too large")
// and is reported like any other failure, instead of SIGXFSZ ending the process with unsaved
// work. Called first thing in main().
void IgnoreFileSizeSignal();

// The system's one-line text for an errno value, e.g. "No space left on device".
std::string SystemErrorText(int errorNumber);

}  // namespace tesselink
