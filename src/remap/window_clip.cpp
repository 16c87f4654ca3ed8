// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/window_clip.h"

#include <algorithm>

namespace tesselink {

void ClipWindowsToArea(const PlaybackWindows& windows, const PixelRect& area, PlaybackWindows& out) {
    out.clear();
    for (const PlaybackWindow& w : windows) {
        if (w.MapMode >= MapModeCount) continue;
        // The visible part of the place, relative to the place's top-left: columns [c0, c1), rows [r0, r1).
        const int left = std::max<int>(w.TargetStartX, area.left);
        const int top = std::max<int>(w.TargetStartY, area.top);
        const int right = std::min<int>(w.TargetStartX + w.PlacedWidth, area.right);
        const int bottom = std::min<int>(w.TargetStartY + w.PlacedHeight, area.bottom);
        if (left >= right || top >= bottom) continue;
        const int c0 = left - w.TargetStartX, c1 = right - w.TargetStartX;
        const int r0 = top - w.TargetStartY, r1 = bottom - w.TargetStartY;

        // Which original pixels fill those columns and rows, by the mode's formula.
        int x = 0, y = 0, width = 0, height = 0;
        switch (static_cast<MapMode>(w.MapMode)) {
        case MapMode::Copy:
            x = c0;
            y = r0;
            width = c1 - c0;
            height = r1 - r0;
            break;
        case MapMode::VerticalMirror:
            x = c0;
            y = w.Height - r1;
            width = c1 - c0;
            height = r1 - r0;
            break;
        case MapMode::LevelMirror:
            x = w.Width - c1;
            y = r0;
            width = c1 - c0;
            height = r1 - r0;
            break;
        case MapMode::Rotation180:
            x = w.Width - c1;
            y = w.Height - r1;
            width = c1 - c0;
            height = r1 - r0;
            break;
        // Quarter turns: target columns come from original rows, target rows from original columns.
        case MapMode::Clockwise90:
            x = r0;
            y = w.Height - c1;
            width = r1 - r0;
            height = c1 - c0;
            break;
        case MapMode::AntiClockwise90:
            x = w.Width - r1;
            y = c0;
            width = r1 - r0;
            height = c1 - c0;
            break;
        }
        PlaybackWindow cut = w;
        cut.OriginalStartX = static_cast<std::uint16_t>(w.OriginalStartX + x);
        cut.OriginalStartY = static_cast<std::uint16_t>(w.OriginalStartY + y);
        cut.Width = static_cast<std::uint16_t>(width);
        cut.Height = static_cast<std::uint16_t>(height);
        cut.TargetStartX = static_cast<std::uint16_t>(left - area.left);
        cut.TargetStartY = static_cast<std::uint16_t>(top - area.top);
        cut.UpdatePlacedSize();
        out.push_back(cut);
    }
}

}  // namespace tesselink
