// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "layout/snapping.h"

using namespace tesselink;

namespace {

SnapTargets Lines(std::vector<int> xs, std::vector<int> ys, int extent = 1000, int grid = 0) {
    return {{std::move(xs), grid, extent}, {std::move(ys), grid, extent}};
}

const SnapGuide Vertical(int x) { return {GuideOrientation::Vertical, x}; }
const SnapGuide Horizontal(int y) { return {GuideOrientation::Horizontal, y}; }

}  // namespace

TEST(Snapping, ReachIsSixScreenPixelsAtEveryZoomLimitIncluded) {
    const SnapTargets targets = Lines({100}, {});
    struct Case {
        double Zoom;
        int Reach;  // picture pixels
    };
    for (const Case c : {Case{1.0, 6}, Case{2.0, 3}, Case{0.5, 12}, Case{1.5, 4}, Case{8.0, 0}}) {
        SCOPED_TRACE(c.Zoom);
        // The right edge short of the line by the reach lands on it; one pixel further does not.
        const LayoutRect at{20, 0, 80 - c.Reach, 10};
        EXPECT_EQ(SnapRect(at, SnapRight, targets, c.Zoom).Rect.Right(), 100);
        const LayoutRect beyond{20, 0, 80 - c.Reach - 1, 10};
        const SnapResult kept = SnapRect(beyond, SnapRight, targets, c.Zoom);
        EXPECT_EQ(kept.Rect, beyond);
        EXPECT_TRUE(kept.Guides.empty());
        // From the other side too.
        EXPECT_EQ(SnapRect({20, 0, 80 + c.Reach, 10}, SnapRight, targets, c.Zoom).Rect.Right(), 100);
        EXPECT_EQ(SnapRect({20, 0, 81 + c.Reach, 10}, SnapRight, targets, c.Zoom).Rect.Right(), 101 + c.Reach);
    }
    // No zoom, no reach.
    EXPECT_EQ(SnapRect({20, 0, 79, 10}, SnapRight, targets, 0.0).Rect.Width, 79);
    // A wider distance for a caller that asks for one.
    EXPECT_EQ(SnapRect({20, 0, 70, 10}, SnapRight, targets, 1.0, 10).Rect.Width, 80);
}

TEST(Snapping, MovedRectangleShiftsItsNearestEdgeOntoTheLineAndKeepsItsSize) {
    const SnapTargets targets = Lines({100, 300}, {50});
    // Left edge 3 from 100, right edge 2 from 300 (a 195 wide rectangle at 103): the right wins.
    SnapResult r = SnapRect({103, 10, 195, 30}, SnapWhole, targets, 1.0);
    EXPECT_EQ(r.Rect, (LayoutRect{105, 10, 195, 30}));
    // y: the bottom 10 + 30 = 40 is 10 away from 50, beyond reach; the top too.
    EXPECT_EQ(r.Guides, (std::vector<SnapGuide>{Vertical(300)}));

    // Both edges land when the rectangle fits between the lines exactly: two guides.
    r = SnapRect({98, 46, 200, 20}, SnapWhole, targets, 1.0);
    EXPECT_EQ(r.Rect, (LayoutRect{100, 50, 200, 20}));
    EXPECT_EQ(r.Guides, (std::vector<SnapGuide>{Vertical(100), Vertical(300), Horizontal(50)}));

    // An edge already on a line keeps the rectangle and shows the guide.
    r = SnapRect({100, 0, 10, 10}, SnapWhole, targets, 1.0);
    EXPECT_EQ(r.Rect, (LayoutRect{100, 0, 10, 10}));
    EXPECT_EQ(r.Guides, (std::vector<SnapGuide>{Vertical(100)}));
}

TEST(Snapping, TiesGoToTheSmallerLineAndToTheLeadingEdge) {
    // Left edge at 100 between lines at 97 and 103.
    EXPECT_EQ(SnapRect({100, 0, 50, 10}, SnapWhole, Lines({97, 103}, {}), 1.0).Rect.X, 97);
    // Left edge 2 from 98, right edge 2 from 152: the left edge decides.
    EXPECT_EQ(SnapRect({100, 0, 50, 10}, SnapWhole, Lines({98, 152}, {}), 1.0).Rect.X, 98);
    // The nearer line wins over a farther one on the other side.
    EXPECT_EQ(SnapRect({100, 0, 50, 10}, SnapWhole, Lines({95, 102}, {}), 1.0).Rect.X, 102);
}

TEST(Snapping, ResizedEdgeSnapsAloneAndNeverCrossesTheFixedOne) {
    const SnapTargets targets = Lines({100, 204}, {50, 95});
    // Only the left and bottom edges move; the right and top stay.
    SnapResult r = SnapRect({97, 10, 103, 87}, SnapLeft | SnapBottom, targets, 1.0);
    EXPECT_EQ(r.Rect, (LayoutRect{100, 10, 100, 85}));
    EXPECT_EQ(r.Guides, (std::vector<SnapGuide>{Vertical(100), Horizontal(95)}));
    // The right edge alone: the left stays at 150.
    r = SnapRect({150, 10, 50, 10}, SnapRight, targets, 1.0);
    EXPECT_EQ(r.Rect, (LayoutRect{150, 10, 54, 10}));
    // A left edge that would land on or past the right edge takes the nearest line before it.
    r = SnapRect({202, 0, 1, 10}, SnapLeft, Lines({197, 203}, {}), 1.0);
    EXPECT_EQ(r.Rect, (LayoutRect{197, 0, 6, 10}));
    r = SnapRect({202, 0, 1, 10}, SnapLeft, Lines({203}, {}), 1.0);
    EXPECT_EQ(r.Rect, (LayoutRect{202, 0, 1, 10}));
    EXPECT_TRUE(r.Guides.empty());
}

TEST(Snapping, GridLinesInsideThePicture) {
    const SnapTargets targets = Lines({0, 120}, {0, 120}, 120, 50);
    // 47 is 3 from the grid line 50.
    SnapResult r = SnapRect({47, 3, 10, 10}, SnapWhole, targets, 1.0);
    EXPECT_EQ(r.Rect, (LayoutRect{50, 0, 10, 10}));
    EXPECT_EQ(r.Guides, (std::vector<SnapGuide>{Vertical(50), Horizontal(0)}));
    // The grid line at 150 lies outside a 120 wide picture.
    r = SnapRect({100, 100, 47, 10}, SnapRight, targets, 1.0);
    EXPECT_EQ(r.Rect.Right(), 147);
    // Negative positions round to the grid below as well as above.
    EXPECT_EQ(SnapRect({-4, 0, 10, 10}, SnapLeft, Lines({}, {}, 120, 50), 1.0).Rect.X, 0);
}

TEST(Snapping, GroupShiftsByItsEdgeNearestToALine) {
    const SnapTargets targets = Lines({500}, {300});
    // The second rectangle's right edge is 4 from 500, the first's bottom 2 from 300.
    const SnapShift s = SnapGroupMove({{10, 200, 50, 98}, {400, 10, 96, 20}}, targets, 1.0);
    EXPECT_EQ(s.Dx, 4);
    EXPECT_EQ(s.Dy, 2);
    EXPECT_EQ(s.Guides, (std::vector<SnapGuide>{Vertical(500), Horizontal(300)}));
    const SnapShift none = SnapGroupMove({{10, 10, 5, 5}}, targets, 1.0);
    EXPECT_EQ(none.Dx, 0);
    EXPECT_EQ(none.Dy, 0);
    EXPECT_TRUE(none.Guides.empty());
}

TEST(Snapping, TargetsOfEachViewLeaveTheMovingWindowsOut) {
    Map map;
    map.Head.OriginalWidth = 640;
    map.Head.OriginalHeight = 480;
    map.Head.TargetWidth = 800;
    map.Head.TargetHeight = 600;
    map.Windows = {MakeWindow(10, 20, 30, 40, 100, 200, 1),  // placed 40 x 30
                   MakeWindow(50, 60, 5, 5, 300, 400, 0), MakeWindow(70, 80, 8, 8, 500, 500, 0)};
    SnapTargets t = CollectSnapTargets(map, MapSide::Target, {1}, 25);
    EXPECT_EQ(t.X.Lines, (std::vector<int>{0, 100, 140, 500, 508, 800}));
    EXPECT_EQ(t.Y.Lines, (std::vector<int>{0, 200, 230, 500, 508, 600}));
    EXPECT_EQ(t.X.GridStep, 25);
    EXPECT_EQ(t.X.Extent, 800);
    EXPECT_EQ(t.Y.Extent, 600);
    t = CollectSnapTargets(map, MapSide::Original, {2, 0});
    EXPECT_EQ(t.X.Lines, (std::vector<int>{0, 50, 55, 640}));
    EXPECT_EQ(t.Y.Lines, (std::vector<int>{0, 60, 65, 480}));
    EXPECT_EQ(t.X.GridStep, 0);
    // A window dragged near another's edge in the Target view lands on it.
    const SnapResult r = SnapRect({144, 0, 20, 20}, SnapWhole, CollectSnapTargets(map, MapSide::Target, {1}), 1.0);
    EXPECT_EQ(r.Rect.X, 140);
}
