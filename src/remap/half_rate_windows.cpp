// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/half_rate_windows.h"

#include <algorithm>

#include "remap/remap.h"

namespace tesselink {
namespace {

struct Sample {
    long long x = 0, y = 0;
};

// The source sample behind target sample (cx, cy) of `w`, a window lying inside both pictures.
Sample SourceSampleOf(const PlaybackWindow& w, long long cx, long long cy, long long originX, long long originY) {
    const long long u = 2 * cx - w.TargetStartX, v = 2 * cy - w.TargetStartY;  // within the footprint
    const long long W = w.Width, H = w.Height;
    long long c = 0, r = 0;  // within the window's source rectangle
    switch (w.MapMode) {
    case 0: c = u, r = v; break;
    case 1: c = v, r = H - 1 - u; break;
    case 2: c = W - 1 - v, r = u; break;
    case 3: c = u, r = H - 1 - v; break;
    case 4: c = W - 1 - u, r = v; break;
    default: c = W - 1 - u, r = H - 1 - v; break;
    }
    return {((originX + w.OriginalStartX + c) >> 1) - (originX >> 1),
            ((originY + w.OriginalStartY + r) >> 1) - (originY >> 1)};
}

}  // namespace

void HalfRateWindows(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, int originX, int originY,
                     int targetWidth, int targetHeight, PlaybackWindows& out) {
    out.clear();
    for (const PlaybackWindow& window : windows) {
        PlaybackWindow w;
        if (!ClipWindowToPictures(window, sourceWidth, sourceHeight, targetWidth, targetHeight, w)) continue;
        // Target samples whose top-left pixel lies in the footprint.
        const long long cx0 = (w.TargetStartX + 1) / 2, cx1 = (w.TargetStartX + w.PlacedWidth + 1) / 2;
        const long long cy0 = (w.TargetStartY + 1) / 2, cy1 = (w.TargetStartY + w.PlacedHeight + 1) / 2;
        if (cx0 >= cx1 || cy0 >= cy1) continue;
        // Every mode moves sample coordinates by one per sample, so the samples shown form one
        // rectangle under the same mode, found from two opposite corners.
        const Sample a = SourceSampleOf(w, cx0, cy0, originX, originY);
        const Sample b = SourceSampleOf(w, cx1 - 1, cy1 - 1, originX, originY);
        const bool turned = w.MapMode == 1 || w.MapMode == 2;
        const long long placedWidth = cx1 - cx0, placedHeight = cy1 - cy0;
        out.push_back(MakeWindow(static_cast<int>(std::min(a.x, b.x)), static_cast<int>(std::min(a.y, b.y)),
                                 static_cast<int>(turned ? placedHeight : placedWidth),
                                 static_cast<int>(turned ? placedWidth : placedHeight), static_cast<int>(cx0),
                                 static_cast<int>(cy0), w.MapMode));
    }
}

}  // namespace tesselink
