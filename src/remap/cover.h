// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tiling a map's block of windows over the whole original and target pictures.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "map/map_model.h"
#include "remap/colour_planes.h"

namespace tesselink {

// Cover modes of the Target view: no cover, tiles in the same direction, tiles with the tile grid
// transposed in the target.
enum class CoverMode { None, Same, Different };

// Results of BuildCoverWindows and CoverBlock::Build.
enum class CoverBuild {
    NotPossible,  // a zero block extent: nothing generated
    Filled,       // every tile is there (possibly none, when a block is larger than a picture)
    TooLarge,     // the cover would exceed its limit: refused, nothing generated
};

// Upper bound on the generated list (18 bytes a window, so at most about 150 MB). A 1 x 1
// window tiled over 2000 x 2000 pictures (4 million windows) is well inside it; a block of many
// windows tiled over pictures far larger than the map file allows is refused instead.
constexpr std::size_t MaxCoverWindows = std::size_t{1} << 23;

// The Target view's cover mode for a CoverOption byte.
CoverMode CoverModeFromOption(std::uint8_t coverOption);

// Fills `cover` (emptied first) with copies of `windows` repeated over both pictures:
// Same or Different (None is taken as Same). Returns NotPossible when the block has a zero
// extent, TooLarge when the list would exceed MaxCoverWindows (nothing generated either way),
// else Filled. The list has no other limit; it always starts with copies of `windows`.
CoverBuild BuildCoverWindows(const PlaybackWindows& windows, const MapFileHead& head, CoverMode mode,
                             PlaybackWindows& cover);

// The cover picture without generating the cover windows: the block of windows is remapped once
// into a table that says, for each pixel of one target tile, which pixel of the source tile it
// shows; every tile is then filled from its own source tile through that table. The result is
// the picture RemapWindows gives for BuildCoverWindows' list, for any number of tiles, in time
// and memory of the target's size (a 1 x 1 block over 2000 x 2000 pictures is 4 million tiles).
class CoverBlock {
public:
    // Largest block area, in the original (24-bit pixel numbers) and in the target (the table).
    static constexpr long long MaxBlockPixels = 1LL << 24;

    // Builds the table for `windows` tiled in `mode` over the head's pictures. Returns
    // NotPossible for a zero block extent, TooLarge when a tiled block's area is above
    // MaxBlockPixels (both leave no tiles), else Filled. Called again with the same windows,
    // head and mode it only returns the last result, so a view may call it on every paint.
    CoverBuild Build(const PlaybackWindows& windows, const MapFileHead& head, CoverMode mode);

    // True after a successful Build that left at least one tile; without tiles the cover
    // shows the map's own windows.
    bool HasTiles() const { return rows_ > 0 && columns_ > 0 && !table_.empty(); }

    // `target` becomes width x height: the covered target picture's area with top-left corner
    // (left, top), 172 where no tile lies or no window of a tile reaches. Source pixels outside
    // `source` are left at 172 too. Nothing happens when `source` is absent.
    void RemapArea(const ColourPlanes& source, int left, int top, int width, int height, TargetPlanes& target) const;

private:
    CoverBuild BuildTable(const PlaybackWindows& windows, const MapFileHead& head, CoverMode mode);

    long long c_ = 0, d_ = 0, b_ = 0, e_ = 0;  // block extents: original c x d, target b x e
    long long rows_ = 0, columns_ = 0;         // tile loops as BuildCoverWindows runs them
    bool different_ = false;
    // Per pixel of one target tile (b x e, row-major): the source-tile pixel as y * c + x,
    // or -1 where no window of the block lands.
    std::vector<std::int32_t> table_;
    // What the table was built from.
    PlaybackWindows builtWindows_;
    MapFileHead builtHead_;
    CoverMode builtMode_ = CoverMode::None;
    CoverBuild builtResult_ = CoverBuild::NotPossible;
    bool built_ = false;
};

// The one line the Target view shows (and --render prints) when a cover cannot be built.
std::string CoverTooLargeText(const PlaybackWindows& windows);

}  // namespace tesselink
