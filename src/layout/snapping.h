// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Snapping of moving rectangle edges to picture edges, other windows' edges and a grid.
// Distances are judged on screen: an edge snaps to a line within `screenDistance` screen
// pixels at the view's zoom, limit included. Everything is in picture pixels otherwise.

#include <vector>

#include "layout/layout_rect.h"
#include "map/map_model.h"

namespace tesselink {

constexpr int SnapDistanceScreenPixels = 6;

// The edges of a rectangle that follow the mouse. All four: the rectangle moves as a whole.
enum SnapEdge : unsigned {
    SnapLeft = 1,
    SnapRight = 2,
    SnapTop = 4,
    SnapBottom = 8,
    SnapWhole = SnapLeft | SnapRight | SnapTop | SnapBottom,
};

// The lines of one axis an edge may land on: explicit positions (sorted, unique) and, with a
// step above 0, the grid lines step * k between 0 and Extent.
struct AxisTargets {
    std::vector<int> Lines;
    int GridStep = 0;
    int Extent = 0;
};

struct SnapTargets {
    AxisTargets X;  // vertical lines, by x
    AxisTargets Y;  // horizontal lines, by y
};

enum class GuideOrientation { Vertical, Horizontal };

// A line to draw while the drag lasts: x = Position for a vertical one, y = Position otherwise.
struct SnapGuide {
    GuideOrientation Orientation = GuideOrientation::Vertical;
    int Position = 0;
    bool operator==(const SnapGuide& o) const { return Orientation == o.Orientation && Position == o.Position; }
};

struct SnapResult {
    LayoutRect Rect;
    std::vector<SnapGuide> Guides;
};

struct SnapShift {
    int Dx = 0;
    int Dy = 0;
    std::vector<SnapGuide> Guides;
};

// The targets of `side`: the picture's edges, both edges of every window not in `moving`, and
// the grid of `gridStep` (0: none).
SnapTargets CollectSnapTargets(const Map& map, MapSide side, const std::vector<int>& moving, int gridStep = 0);

// `rect` as the mouse put it, with its `movingEdges` snapped. Each axis is decided on its own.
// A whole axis moving (left and right, or top and bottom) shifts so that the edge nearest to a
// line lands on it; one edge moving lands on its nearest line, and the opposite edge stays, never
// crossing it (the rectangle keeps at least one pixel). Ties go to the smaller coordinate, and
// between two edges equally near to the left or top edge.
SnapResult SnapRect(const LayoutRect& rect, unsigned movingEdges, const SnapTargets& targets, double zoom,
                    int screenDistance = SnapDistanceScreenPixels);

// A group moved as a whole: the shift that lands the edge of any of `moved` nearest to a line on
// it, for each axis, and the guides of every moved edge then lying on a line.
SnapShift SnapGroupMove(const std::vector<LayoutRect>& moved, const SnapTargets& targets, double zoom,
                        int screenDistance = SnapDistanceScreenPixels);

}  // namespace tesselink
