// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing *.map files on disk.

#include <string>

#include "map/map_image.h"
#include "map/safe_write.h"

namespace tesselink {

using MapWriteResult = FileWriteResult;

// Writes the whole image to `path` or leaves the file there as it was: the bytes go to a
// temporary file in the same folder that replaces the old one only once fully written.
// Refuses a list of more than 255 windows, which the one-byte count cannot describe.
MapWriteResult WriteMapFile(const Map& map, const std::string& path);

// Largest part of a map file that is read: the head and 255 entries; bytes beyond are ignored.
constexpr long long MaxMapFileBytes = MapHeadSize + MapEntrySize * MaxWindowCount;

// Why the file at `path` cannot be read as a map file (missing, no permission, a folder, not a
// regular file), in one line; empty when it can. Never blocks, whatever the path names.
std::string MapFileReadProblem(const std::string& path);

// Reads the file at `path` into `map`, no further than MaxMapFileBytes. A file that cannot be
// opened or read, or that is not a regular file (a folder, a FIFO, a device), leaves `map` as it
// was, with no message box and the reason in ReadError. A file read but refused empties the
// window list and sets WindowCount to 0, keeping the rest of the head.
MapLoadResult ReadMapFile(Map& map, const std::string& path);

}  // namespace tesselink
