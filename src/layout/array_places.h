// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the windows of an array sit in it, found again from their places alone: nothing of an
// array is stored in a map.

#include <vector>

#include "map/map_model.h"

namespace tesselink {

struct GridPlace {
    int Row = -1;  // from 0; -1 when the window belongs to no array
    int Column = -1;
};

// For each window, its row and column in the array it belongs to, taken from the target
// places: the windows of one placed size form an array when there are at least two, their
// places fill a grid of evenly spaced columns and rows with exactly one window in each cell.
// Any other window gets (-1, -1).
std::vector<GridPlace> DeriveArrayPlaces(const PlaybackWindows& windows);

}  // namespace tesselink
