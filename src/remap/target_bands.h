// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The target picture as 0xffRRGGBB words, built in bands of rows: each band's planes are
// remapped and converted while they are still in the cache, so full-size target planes are
// never written nor read back. A whole picture costs about half of remapping into full-size
// planes and converting those.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "map/map_model.h"
#include "remap/colour_planes.h"
#include "remap/cover.h"

namespace tesselink {

// Working memory kept between builds, so a build allocates nothing once warm.
struct TargetBandScratch {
    TargetPlanes Band;
    PlaybackWindows Clipped;
};

// Fills `scratch.Band` with the target planes of rows [top, top + rows), full width.
using BandRemap = std::function<void(int top, int rows, TargetBandScratch& scratch)>;

// Rows of one band for a target `width` pixels wide: the planes of a band stay well inside the
// second-level cache.
int TargetBandRows(int width);

// Builds the width x height picture into `out` (rows `strideWords` words apart) band by band
// through `remap`. Returns false, leaving `out` unfinished, when a band's planes could not be made.
bool BuildRgb32InBands(int width, int height, std::uint32_t* out, std::ptrdiff_t strideWords,
                       TargetBandScratch& scratch, const BandRemap& remap);

// What RemapWindows and then TargetPlanesToRgb32 give, in bands. False when `source` is absent.
bool RemapWindowsToRgb32(const ColourPlanes& source, const PlaybackWindows& windows, int width, int height,
                         std::uint32_t* out, std::ptrdiff_t strideWords, TargetBandScratch& scratch);

// What `cover`'s RemapArea over the whole target and then TargetPlanesToRgb32 give, in bands;
// false when `source` is absent.
bool RemapCoverToRgb32(const ColourPlanes& source, const CoverBlock& cover, int width, int height, std::uint32_t* out,
                       std::ptrdiff_t strideWords, TargetBandScratch& scratch);

}  // namespace tesselink
