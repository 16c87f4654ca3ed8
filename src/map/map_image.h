// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte image of a *.map file: big-endian, "#Map", a 16-byte head, 14 bytes per window.

#include <cstdint>
#include <string>

#include "map/map_model.h"

namespace tesselink {

constexpr std::uint8_t MapFileMagic[4] = {0x23, 0x4D, 0x61, 0x70};  // "#Map"
constexpr int MapHeadSize = 16;
constexpr int MapEntrySize = 14;
constexpr int MaxHeadSize = 2000;  // largest head size a map with windows may carry
// What a map with windows and a head size above MaxHeadSize is told, read or edited.
constexpr const char* HeadTooLargeText = "High and Width can't more than 2000";

// Without a buffer: the size the image needs. With a capacity of 0 or less: that capacity,
// nothing written. With a capacity too small for the whole image: 0, nothing written.
// Otherwise writes the image and returns the number of bytes written.
int BuildMapImage(const Map& map, std::uint8_t* buffer, int capacity);

// Why an image was refused.
enum class MapRefusal {
    None,
    NotAMap,        // no "#Map" at the start, or shorter than a head: nothing to tell
    Incomplete,     // ends inside its window entries
    HeadTooLarge,   // a head size above MaxHeadSize with windows in the map
    WindowOutside,  // a window does not fit the head; Fit names the test
    EmptyWindow,    // a window of no area where EmptyWindows::Refused asks for one
};

// Whether a window of no area (a width or height of 0, or a mode above 5, whose placed size is
// 0 x 0) passes. Map files and the editor's fields may hold one and keep doing so; maps taken in
// from other programs (JSON, CSV, and any map a command reads) may not: such a window shows nothing.
enum class EmptyWindows { Allowed, Refused };

// Outcome of reading an image: whether it was taken, why not, and the text that says so.
// How the text reaches the user (which box, owned by which pane) is the caller's choice.
struct MapLoadResult {
    bool Accepted = false;
    MapRefusal Refusal = MapRefusal::None;
    FitResult Fit = FitResult::Fits;
    std::string Message;  // empty when there is nothing to tell
    // Set by ReadMapFile when the file itself could not be read (missing, a folder, not a
    // regular file, no permission): one line for the user; no message box of its own.
    std::string ReadError;
    // The 0-based index of the window entry that was refused, or -1.
    int Window = -1;
    explicit operator bool() const { return Accepted; }
};

// The check every window entry of a map passes on reading: no head size above MaxHeadSize while
// the map has windows, then the four fit tests. Accepted, or the refusal with its message.
// Other sources of maps (exchange formats) refuse a window by this same rule and text, with
// EmptyWindows::Refused checked first ("the window is 0 x 40; ...").
MapLoadResult CheckMapWindow(const PlaybackWindow& window, const MapFileHead& head,
                             EmptyWindows empty = EmptyWindows::Allowed);

// Takes a valid image into `map` (head stored, windows appended); on refusal `map` is untouched.
MapLoadResult ParseMapImage(Map& map, const std::uint8_t* data, long long count);

}  // namespace tesselink
