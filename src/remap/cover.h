#pragma once
// Tiling a map's block of windows over the whole original and target pictures.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "map/map_model.h"
#include "remap/colour_planes.h"

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
    // CoverNotPossible for a zero block extent, CoverTooLarge when a tiled block's area is above
    // MaxBlockPixels (both leave no tiles), else CoverFilled. Called again with the same windows,
    // head and mode it only returns the last result, so a view may call it on every paint.
    int Build(const PlaybackWindows& windows, const MapFileHead& head, int mode);

    // True after a successful Build that left at least one tile; without tiles the cover
    // shows the map's own windows.
    bool HasTiles() const { return rows_ > 0 && columns_ > 0 && !table_.empty(); }

    // `target` becomes width x height: the covered target picture's area with top-left corner
    // (left, top), 172 where no tile lies or no window of a tile reaches. Source pixels outside
    // `source` are left at 172 too. Nothing happens when `source` is absent.
    void RemapArea(const ColourPlanes& source, int left, int top, int width, int height,
                   TargetPlanes& target) const;

private:
    int BuildTable(const PlaybackWindows& windows, const MapFileHead& head, int mode);

    long long c_ = 0, d_ = 0, b_ = 0, e_ = 0;  // block extents: original c x d, target b x e
    long long rows_ = 0, columns_ = 0;         // tile loops as BuildCoverWindows runs them
    bool different_ = false;
    // Per pixel of one target tile (b x e, row-major): the source-tile pixel as y * c + x,
    // or -1 where no window of the block lands.
    std::vector<std::int32_t> table_;
    // What the table was built from.
    PlaybackWindows builtWindows_;
    MapFileHead builtHead_;
    int builtMode_ = CoverModeNone;
    int builtResult_ = CoverNotPossible;
    bool built_ = false;
};

// The one line the Target view shows (and --render prints) when a cover cannot be built.
std::string CoverTooLargeText(const PlaybackWindows& windows);

}  // namespace tesselink
