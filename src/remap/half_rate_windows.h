// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A map's windows carried onto planes sampled at half the rate both ways, as 4:2:0 video keeps
// its colour: remapping a frame's chroma through them needs no colour conversion.

#include "map/map_model.h"

namespace tesselink {

// `windows` move pixels from a source of sourceWidth x sourceHeight, whose top-left pixel is pixel
// (originX, originY) of a larger frame, to a target of targetWidth x targetHeight. `out` (emptied
// first) gets windows that do the same between half-rate planes: each target sample shows the
// source sample that holds the source pixel which the sample's top-left pixel shows, later windows
// winning; a sample whose top-left pixel no window reaches is left to the fill. The source indices
// count from the frame's sample (originX / 2, originY / 2), the target's from its corner.
void HalfRateWindows(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, int originX, int originY,
                     int targetWidth, int targetHeight, PlaybackWindows& out);

// Samples of a half-rate plane that hold `size` pixels from pixel `origin` on.
inline int HalfRateSpan(int origin, int size) { return size <= 0 ? 0 : ((origin + size - 1) >> 1) - (origin >> 1) + 1; }

}  // namespace tesselink
