#pragma once
// Tiling a map's block of windows over the whole original and target pictures.

#include <cstddef>

#include "map/map_model.h"

namespace tesselink {

// Cover modes of the Target view.
constexpr int CoverModeNone = -1;
constexpr int CoverModeSame = 0;
constexpr int CoverModeDifferent = 1;

// Results of BuildCoverWindows.
constexpr int CoverNotPossible = -1;  // a zero block extent: nothing generated
constexpr int CoverFilled = 1;        // the list holds every tile (possibly none, when a block
                                      // is larger than a picture)
constexpr int CoverTooLarge = 0;      // the cover would exceed MaxCoverWindows: refused, list empty

// Upper bound on the generated list (18 bytes a window, so at most about 150 MB). A 1 x 1
// window tiled over 2000 x 2000 pictures (4 million windows) is well inside it; a block of many
// windows tiled over pictures far larger than the map file allows is refused instead.
constexpr std::size_t MaxCoverWindows = std::size_t{1} << 23;

// The Target view's cover mode for a CoverOption byte.
int CoverModeFromOption(std::uint8_t coverOption);

// Fills `cover` (emptied first) with copies of `windows` repeated over both pictures:
// mode 0 in the same direction, mode 1 with the tile grid transposed in the target.
// Returns CoverNotPossible (-1) when the block has a zero extent (nothing generated),
// CoverTooLarge (0) when the list would exceed MaxCoverWindows (nothing generated), else
// CoverFilled (1). The list has no other limit; it always starts with copies of `windows`.
int BuildCoverWindows(const PlaybackWindows& windows, const MapFileHead& head, int mode, PlaybackWindows& cover);

}  // namespace tesselink
