// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moving several windows by one delta: the whole group stops where its first member meets an
// edge of the picture.

#include <utility>
#include <vector>

#include "layout/layout_rect.h"
#include "map/map_model.h"

namespace tesselink {

struct MoveDelta {
    int Dx = 0;
    int Dy = 0;
    bool operator==(const MoveDelta& o) const { return Dx == o.Dx && Dy == o.Dy; }
};

// `proposed` clamped on each axis so that every rectangle stays inside `picture`. An axis along
// which the rectangles do not all lie inside already (which a stored map never has) does not
// move.
MoveDelta ClampGroupDelta(const std::vector<LayoutRect>& rects, MoveDelta proposed, PictureSize picture);

// The windows at `indexes` moved on `side` by `proposed` clamped as above: (index, new window)
// in the order of `indexes`, leaving out those that do not change. Indexes naming no window are
// skipped.
std::vector<std::pair<int, PlaybackWindow>> MoveWindows(const Map& map, const std::vector<int>& indexes, MapSide side,
                                                        MoveDelta proposed);

}  // namespace tesselink
