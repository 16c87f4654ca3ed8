// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Duplicate: copies of windows appended beside their originals in the target.

#include <string>
#include <vector>

#include "map/map_model.h"

namespace tesselink {

// Where the copy of `window` goes: the same original rectangle and mode, its target place moved
// right by its placed width, or where that leaves the target, down by its placed height, or else
// left where it is.
PlaybackWindow DuplicatePlacement(const PlaybackWindow& window, const MapFileHead& head);

struct DuplicateResult {
    bool Accepted = false;
    std::string Message;     // why not, when refused; empty when nothing was named
    PlaybackWindows Copies;  // to append, in the order of the indexes
};

// Copies of the windows at `indexes`, in that order, refused as a whole with
// TooManyWindowsMessage when the map could not hold them all. Indexes naming no window are skipped.
DuplicateResult DuplicateWindows(const Map& map, const std::vector<int>& indexes);

}  // namespace tesselink
