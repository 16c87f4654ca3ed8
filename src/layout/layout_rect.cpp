// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/layout_rect.h"

#include <algorithm>

namespace tesselink {

LayoutRect Intersection(const LayoutRect& a, const LayoutRect& b) {
    const int left = std::max(a.X, b.X), right = std::min(a.Right(), b.Right());
    const int top = std::max(a.Y, b.Y), bottom = std::min(a.Bottom(), b.Bottom());
    if (left >= right || top >= bottom) return {};
    return {left, top, right - left, bottom - top};
}

LayoutRect WindowRect(const PlaybackWindow& window, MapSide side) {
    if (side == MapSide::Original) return {window.OriginalStartX, window.OriginalStartY, window.Width, window.Height};
    return {window.TargetStartX, window.TargetStartY, window.PlacedWidth, window.PlacedHeight};
}

std::vector<LayoutRect> WindowRects(const PlaybackWindows& windows, const std::vector<int>& indexes, MapSide side) {
    std::vector<LayoutRect> rects;
    rects.reserve(indexes.size());
    for (int index : indexes) {
        if (index < 0 || static_cast<std::size_t>(index) >= windows.size()) continue;
        rects.push_back(WindowRect(windows[static_cast<std::size_t>(index)], side));
    }
    return rects;
}

PictureSize SidePicture(const MapFileHead& head, MapSide side) {
    if (side == MapSide::Original) return {head.OriginalWidth, head.OriginalHeight};
    return {head.TargetWidth, head.TargetHeight};
}

bool Inside(const LayoutRect& rect, PictureSize size) {
    return rect.X >= 0 && rect.Y >= 0 && rect.Width >= 0 && rect.Height >= 0 && rect.Right() <= size.Width &&
           rect.Bottom() <= size.Height;
}

}  // namespace tesselink
