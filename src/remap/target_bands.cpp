// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/target_bands.h"

#include <algorithm>

#include "remap/remap.h"
#include "remap/window_clip.h"

namespace tesselink {

namespace {

// Three planes of this many pixels take 192 KB.
constexpr int BandPixels = 64 * 1024;

}  // namespace

int TargetBandRows(int width) {
    // Whole 16-row steps where the target is narrow enough, so the turned windows' 16 x 16
    // tiles are seldom cut by a band edge.
    const int rows = BandPixels / std::max(width, 1);
    return rows >= 16 ? rows & ~15 : std::max(rows, 1);
}

bool BuildRgb32InBands(int width, int height, std::uint32_t* out, std::ptrdiff_t strideWords,
                       TargetBandScratch& scratch, const BandRemap& remap) {
    const int bandRows = TargetBandRows(width);
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        scratch.Band.Release();
        remap(top, rows, scratch);
        if (!scratch.Band.IsPresent() || scratch.Band.Width() != width || scratch.Band.Height() != rows) return false;
        TargetPlanesToRgb32(scratch.Band, out + static_cast<std::ptrdiff_t>(top) * strideWords, strideWords);
    }
    return true;
}

bool RemapWindowsToRgb32(const ColourPlanes& source, const PlaybackWindows& windows, int width, int height,
                         std::uint32_t* out, std::ptrdiff_t strideWords, TargetBandScratch& scratch) {
    if (!source.IsPresent()) return false;
    return BuildRgb32InBands(width, height, out, strideWords, scratch, [&](int top, int rows, TargetBandScratch& s) {
        ClipWindowsToArea(windows, PixelRect{0, top, width, top + rows}, s.Clipped);
        RemapWindows(source, s.Clipped, width, rows, s.Band);
    });
}

bool RemapCoverToRgb32(const ColourPlanes& source, const CoverBlock& cover, int width, int height, std::uint32_t* out,
                       std::ptrdiff_t strideWords, TargetBandScratch& scratch) {
    if (!source.IsPresent()) return false;
    return BuildRgb32InBands(width, height, out, strideWords, scratch, [&](int top, int rows, TargetBandScratch& s) {
        cover.RemapArea(source, 0, top, width, rows, s.Band);
    });
}

}  // namespace tesselink
