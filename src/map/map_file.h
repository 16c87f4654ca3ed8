#pragma once
// Reading and writing *.map files on disk.

#include <string>

#include "map/map_image.h"

namespace tesselink {

struct MapWriteResult {
    bool Written = false;
    std::string Error;  // why not, for the user; empty on success
    explicit operator bool() const { return Written; }
};

// Writes the whole image to `path` or leaves the file there as it was: the bytes go to a
// temporary file in the same folder that replaces the old one only once fully written.
// Refuses a list of more than 255 windows, which the one-byte count cannot describe.
MapWriteResult WriteMapFile(const Map& map, const std::string& path);

// Reads the file at `path` into `map`. A file that cannot be opened or read leaves `map`
// as it was (no message). A file read but refused empties the window list and sets
// WindowCount to 0, keeping the rest of the head.
MapLoadResult ReadMapFile(Map& map, const std::string& path);

}  // namespace tesselink
