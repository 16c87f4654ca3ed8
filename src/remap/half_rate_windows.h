// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A map's windows carried onto planes sampled at half the rate both ways, as 4:2:0 video keeps
// its colour: remapping a frame's chroma through them, and blending the samples on the windows'
// seams, needs no colour conversion.

#include <vector>

#include "map/map_model.h"
#include "remap/remap.h"

namespace tesselink {

// `windows` move pixels from a source of sourceWidth x sourceHeight, whose top-left pixel is pixel
// (originX, originY) of a larger frame, to a target of targetWidth x targetHeight. `out` (emptied
// first) gets windows that do the same between half-rate planes: each target sample shows the
// source sample that holds the source pixel which the sample's top-left pixel shows, later windows
// winning; a sample whose top-left pixel no window reaches is left to the fill. The source indices
// count from the frame's sample (originX / 2, originY / 2), the target's from its corner.
void HalfRateWindows(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, int originX, int originY,
                     int targetWidth, int targetHeight, PlaybackWindows& out);

// A target sample whose pixels (2 x 2, fewer at an odd target's edge) are not all shown by one
// window: a window's edge on an odd row or column of the target, against another window or the
// fill. The half-rate windows give it its top-left pixel's colour, which is all of one window's
// colour on the other's pixels; blended, it gets the mean of its pixels' colours, as converting the
// whole target picture to 4:2:0 would give it.
struct SeamSample {
    int X = 0, Y = 0;  // the target sample
    // Each pixel's source sample, counted as the half-rate windows count them; SourceX < 0: the
    // pixel shows the fill.
    int SourceX[4] = {}, SourceY[4] = {};
    int Pixels = 0;
};

// The seam samples of a map, arguments as for HalfRateWindows; `out` is emptied first. The map's
// windows do not change from frame to frame, so a render finds them once.
void FindSeams(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, int originX, int originY,
               int targetWidth, int targetHeight, std::vector<SeamSample>& out);

// Gives each seam sample of `target` (after the remap through the half-rate windows) the mean of
// its pixels' source samples in `source`, the target's fill for a pixel showing the fill.
void BlendSeams(const std::vector<SeamSample>& seams, const SourcePlane& source, const TargetPlane& target);

// Samples of a half-rate plane that hold `size` pixels from pixel `origin` on.
inline int HalfRateSpan(int origin, int size) { return size <= 0 ? 0 : ((origin + size - 1) >> 1) - (origin >> 1) + 1; }

}  // namespace tesselink
