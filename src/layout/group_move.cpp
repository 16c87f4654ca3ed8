// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/group_move.h"

#include <algorithm>
#include <climits>

namespace tesselink {

namespace {

// The allowed range of a shift along one axis, and `proposed` clamped into it.
int ClampAxis(const std::vector<LayoutRect>& rects, int proposed, bool horizontal, int extent) {
    long long lo = LLONG_MIN, hi = LLONG_MAX;
    for (const LayoutRect& r : rects) {
        const long long start = horizontal ? r.X : r.Y;
        const long long end = start + (horizontal ? r.Width : r.Height);
        lo = std::max(lo, -start);
        hi = std::min(hi, extent - end);
    }
    if (rects.empty()) return proposed;
    if (lo > hi || lo > 0 || hi < 0) return 0;
    return static_cast<int>(std::clamp(static_cast<long long>(proposed), lo, hi));
}

}  // namespace

MoveDelta ClampGroupDelta(const std::vector<LayoutRect>& rects, MoveDelta proposed, PictureSize picture) {
    return {ClampAxis(rects, proposed.Dx, true, picture.Width), ClampAxis(rects, proposed.Dy, false, picture.Height)};
}

std::vector<std::pair<int, PlaybackWindow>> MoveWindows(const Map& map, const std::vector<int>& indexes, MapSide side,
                                                        MoveDelta proposed) {
    const MoveDelta d = ClampGroupDelta(WindowRects(map.Windows, indexes, side), proposed, SidePicture(map.Head, side));
    std::vector<std::pair<int, PlaybackWindow>> moved;
    if (d.Dx == 0 && d.Dy == 0) return moved;
    for (int index : indexes) {
        if (index < 0 || static_cast<std::size_t>(index) >= map.Windows.size()) continue;
        PlaybackWindow w = map.Windows[static_cast<std::size_t>(index)];
        // The clamp keeps every start inside 0..extent, so these stay in 16 bits.
        if (side == MapSide::Original) {
            w.OriginalStartX = static_cast<std::uint16_t>(w.OriginalStartX + d.Dx);
            w.OriginalStartY = static_cast<std::uint16_t>(w.OriginalStartY + d.Dy);
        } else {
            w.TargetStartX = static_cast<std::uint16_t>(w.TargetStartX + d.Dx);
            w.TargetStartY = static_cast<std::uint16_t>(w.TargetStartY + d.Dy);
        }
        moved.emplace_back(index, w);
    }
    return moved;
}

}  // namespace tesselink
