// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds the target picture's planes from the colour planes and a window list.

#include <cstddef>
#include <cstdint>

#include "map/map_model.h"
#include "remap/colour_planes.h"
#include "remap/remap_kernels.h"

namespace tesselink {

// When `source` is present: `target` becomes targetWidth x targetHeight, filled with 172, and
// every window of `windows` is copied in list order by its map mode (later windows win where
// they overlap; modes above 5 are skipped). A window reaching outside either picture is clipped
// to both. When `source` is absent, `target` is left as it was.
void RemapWindows(const ColourPlanes& source, const PlaybackWindows& windows, int targetWidth, int targetHeight,
                  TargetPlanes& target);

// The same through the portable movers only (no SIMD); tests compare the two.
void RemapWindowsPortable(const ColourPlanes& source, const PlaybackWindows& windows, int targetWidth, int targetHeight,
                          TargetPlanes& target);

// A byte plane given by its top-left byte and row stride: a decoded video frame's plane, or an
// encoder's.
struct SourcePlane {
    const std::uint8_t* Data = nullptr;
    std::ptrdiff_t Stride = 0;
};
struct TargetPlane {
    std::uint8_t* Data = nullptr;
    std::ptrdiff_t Stride = 0;
    std::uint8_t Fill = TargetFillValue;  // where no window lands
};

// What RemapWindows does, for `count` planes (at most 3) of sourceWidth x sourceHeight into
// existing planes of targetWidth x targetHeight, each target plane filled with its own value.
void RemapPlanes(const SourcePlane* sources, const TargetPlane* targets, int count, int sourceWidth, int sourceHeight,
                 const PlaybackWindows& windows, int targetWidth, int targetHeight);

// The part of `window` that the remap moves between pictures of these sizes, as a window of its
// own lying inside both; false when nothing of it is moved (or its mode is unknown).
bool ClipWindowToPictures(const PlaybackWindow& window, int sourceWidth, int sourceHeight, int targetWidth,
                          int targetHeight, PlaybackWindow& clipped);

// One window into existing target planes, by the straightforward per-pixel formula;
// the reference the fast paths are tested against. Pixels outside either picture are skipped.
void RemapWindowReference(const ColourPlanes& source, const PlaybackWindow& window, TargetPlanes& target);

// One row of planes as 0xffRRGGBB words (QImage::Format_RGB32 layout): `width` bytes of each
// plane into `row`. `set` picks the instruction set (Ssse3 runs as Sse2).
void RowToRgb32(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue, std::size_t width,
                std::uint32_t* row, kernels::KernelSet set = kernels::BestKernelSet());

// The target planes as 0xffRRGGBB words (QImage::Format_RGB32 layout) into `out`, whose rows
// are `strideWords` words apart and at least Width() words wide. `set` picks the instruction
// set (Ssse3 runs as Sse2); tests compare them.
void TargetPlanesToRgb32(const TargetPlanes& planes, std::uint32_t* out, std::ptrdiff_t strideWords,
                         kernels::KernelSet set = kernels::BestKernelSet());

}  // namespace tesselink
