// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The per-pixel rule of the remap, for checking faster paths against: which window shows a target
// pixel, and which source pixel it shows there.

#include "map/map_model.h"

namespace tesselink::testing {

// The index of the last window of `windows` whose mode puts a pixel of a sourceWidth x sourceHeight
// source on target pixel (x, y), with that source pixel in (sx, sy); -1 when none does.
inline int ShowingWindow(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, long long x, long long y,
                         long long& sx, long long& sy) {
    int found = -1;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const PlaybackWindow& w = windows[i];
        if (w.MapMode >= MapModeCount) continue;
        const long long u = x - w.TargetStartX, v = y - w.TargetStartY;
        const long long W = w.Width, H = w.Height;
        long long c = 0, r = 0;
        switch (w.MapMode) {
        case 0: c = u, r = v; break;
        case 1: c = v, r = H - 1 - u; break;
        case 2: c = W - 1 - v, r = u; break;
        case 3: c = u, r = H - 1 - v; break;
        case 4: c = W - 1 - u, r = v; break;
        default: c = W - 1 - u, r = H - 1 - v; break;
        }
        if (c < 0 || r < 0 || c >= W || r >= H) continue;
        if (w.OriginalStartX + c >= sourceWidth || w.OriginalStartY + r >= sourceHeight) continue;
        sx = w.OriginalStartX + c;
        sy = w.OriginalStartY + r;
        found = static_cast<int>(i);
    }
    return found;
}

}  // namespace tesselink::testing
