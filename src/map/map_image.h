#pragma once
// The byte image of a *.map file: big-endian, "#Map", a 16-byte head, 14 bytes per window.

#include <cstdint>
#include <optional>
#include <string>

#include "map/map_model.h"
#include "map/message_boxes.h"

namespace tesselink {

constexpr std::uint8_t MapFileMagic[4] = {0x23, 0x4D, 0x61, 0x70};  // "#Map"
constexpr int MapHeadSize = 16;
constexpr int MapEntrySize = 14;
constexpr int MaxHeadSize = 2000;  // largest head size a map with windows may carry

// Without a buffer: the size the image needs. With a capacity of 0 or less: that capacity,
// nothing written. With a capacity too small for the whole image: 0, nothing written.
// Otherwise writes the image and returns the number of bytes written.
int BuildMapImage(const Map& map, std::uint8_t* buffer, int capacity);

// Outcome of reading an image: whether it was taken, and the message to show the user, if any.
struct MapLoadResult {
    bool Accepted = false;
    std::optional<UserMessage> Message;
    // Set by ReadMapFile when the file itself could not be read (missing, a folder, not a
    // regular file, no permission): one line for the user; no message box of its own.
    std::string ReadError;
    explicit operator bool() const { return Accepted; }
};

// Takes a valid image into `map` (head stored, windows appended); on refusal `map` is untouched.
MapLoadResult ParseMapImage(Map& map, const std::uint8_t* data, long long count);

// Shows the message of a load, if it carries one.
void ReportLoadMessage(const MapLoadResult& result, MessageBoxes& boxes);

}  // namespace tesselink
