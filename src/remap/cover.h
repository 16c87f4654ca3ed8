#pragma once
// Tiling a map's block of windows over the whole original and target pictures.

#include "map/map_model.h"

namespace tesselink {

// Cover modes of the Target view.
constexpr int CoverModeNone = -1;
constexpr int CoverModeSame = 0;
constexpr int CoverModeDifferent = 1;

// The Target view's cover mode for a CoverOption byte.
int CoverModeFromOption(std::uint8_t coverOption);

// Fills `cover` (emptied first) with copies of `windows` repeated over both pictures:
// mode 0 in the same direction, mode 1 with the tile grid transposed in the target.
// Returns -1 when the block has a zero extent (nothing generated), else 1.
int BuildCoverWindows(const PlaybackWindows& windows, const MapFileHead& head, int mode, PlaybackWindows& cover);

}  // namespace tesselink
