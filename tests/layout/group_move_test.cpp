// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "layout/group_move.h"

using namespace tesselink;

TEST(GroupMove, WholeGroupStopsWhereItsFirstMemberMeetsAnEdge) {
    const PictureSize picture{100, 80};
    const std::vector<LayoutRect> rects{{10, 10, 20, 20}, {60, 40, 30, 10}};
    EXPECT_EQ(ClampGroupDelta(rects, {5, 5}, picture), (MoveDelta{5, 5}));
    // Right: the second reaches 100 after 10; down: the second reaches 80 after 30.
    EXPECT_EQ(ClampGroupDelta(rects, {50, 50}, picture), (MoveDelta{10, 30}));
    // Left and up: the first reaches 0 after 10.
    EXPECT_EQ(ClampGroupDelta(rects, {-50, -1000000}, picture), (MoveDelta{-10, -10}));
    // Already at the edge: no further.
    EXPECT_EQ(ClampGroupDelta({{0, 0, 100, 80}}, {3, -3}, picture), (MoveDelta{0, 0}));
    // A rectangle not inside does not make the others jump.
    EXPECT_EQ(ClampGroupDelta({{10, 10, 5, 5}, {98, 10, 5, 5}}, {-4, 2}, picture), (MoveDelta{0, 2}));
    EXPECT_EQ(ClampGroupDelta({}, {7, 8}, picture), (MoveDelta{7, 8}));
}

TEST(GroupMove, AfterAnyClampedMoveEveryWindowStillFits) {
    std::mt19937 random(19);
    for (int round = 0; round < 300; ++round) {
        Map map;
        const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
        map.Head.OriginalWidth = static_cast<std::uint16_t>(pick(1, 2000));
        map.Head.OriginalHeight = static_cast<std::uint16_t>(pick(1, 2000));
        map.Head.TargetWidth = static_cast<std::uint16_t>(pick(1, 2000));
        map.Head.TargetHeight = static_cast<std::uint16_t>(pick(1, 2000));
        const int count = pick(1, 40);
        while (static_cast<int>(map.Windows.size()) < count) {
            const int mode = pick(0, 5);
            const int w = pick(0, map.Head.OriginalWidth), h = pick(0, map.Head.OriginalHeight);
            PlaybackWindow window =
                MakeWindow(pick(0, map.Head.OriginalWidth - w), pick(0, map.Head.OriginalHeight - h), w, h, 0, 0, mode);
            if (window.PlacedWidth > map.Head.TargetWidth || window.PlacedHeight > map.Head.TargetHeight) continue;
            window.TargetStartX = static_cast<std::uint16_t>(pick(0, map.Head.TargetWidth - window.PlacedWidth));
            window.TargetStartY = static_cast<std::uint16_t>(pick(0, map.Head.TargetHeight - window.PlacedHeight));
            map.Windows.push_back(window);
        }
        std::vector<int> selection;
        for (int i = 0; i < count; ++i)
            if (pick(0, 2) == 0) selection.push_back(i);
        const MapSide side = pick(0, 1) ? MapSide::Original : MapSide::Target;
        const PictureSize picture = SidePicture(map.Head, side);
        const MoveDelta proposed{pick(-2 * picture.Width, 2 * picture.Width),
                                 pick(-2 * picture.Height, 2 * picture.Height)};
        SCOPED_TRACE(round);

        Map moved = map;
        for (const auto& [index, window] : MoveWindows(map, selection, side, proposed)) {
            moved.Windows[static_cast<std::size_t>(index)] = window;
        }
        for (std::size_t i = 0; i < moved.Windows.size(); ++i) EXPECT_TRUE(Fits(moved.Windows[i], moved.Head)) << i;

        // The group moved by one delta, no further than asked, and stopped short only at an edge.
        const MoveDelta d = ClampGroupDelta(WindowRects(map.Windows, selection, side), proposed, picture);
        EXPECT_LE(std::abs(d.Dx), std::abs(proposed.Dx));
        EXPECT_LE(std::abs(d.Dy), std::abs(proposed.Dy));
        EXPECT_GE(static_cast<long long>(d.Dx) * proposed.Dx, 0);
        EXPECT_GE(static_cast<long long>(d.Dy) * proposed.Dy, 0);
        const std::vector<LayoutRect> after = WindowRects(moved.Windows, selection, side);
        const auto touches = [&](bool horizontal, int direction) {
            for (const LayoutRect& r : after) {
                if (horizontal && (direction < 0 ? r.X == 0 : r.Right() == picture.Width)) return true;
                if (!horizontal && (direction < 0 ? r.Y == 0 : r.Bottom() == picture.Height)) return true;
            }
            return false;
        };
        if (d.Dx != proposed.Dx) {
            EXPECT_TRUE(touches(true, proposed.Dx));
        }
        if (d.Dy != proposed.Dy) {
            EXPECT_TRUE(touches(false, proposed.Dy));
        }
        for (std::size_t i = 0; i < map.Windows.size(); ++i) {
            const bool selected = std::find(selection.begin(), selection.end(), static_cast<int>(i)) != selection.end();
            const LayoutRect before = WindowRect(map.Windows[i], side), now = WindowRect(moved.Windows[i], side);
            EXPECT_EQ(now.X - before.X, selected ? d.Dx : 0);
            EXPECT_EQ(now.Y - before.Y, selected ? d.Dy : 0);
            // The other picture's rectangle never moves.
            const MapSide other = side == MapSide::Original ? MapSide::Target : MapSide::Original;
            EXPECT_EQ(WindowRect(moved.Windows[i], other), WindowRect(map.Windows[i], other));
        }
    }
}

TEST(GroupMove, MovedWindowsListOnlyWhatChanges) {
    Map map;
    map.Windows = {MakeWindow(0, 0, 10, 10, 630, 0, 0), MakeWindow(5, 5, 10, 10, 0, 0, 1)};
    // The first is at the target's right edge: a move right moves nothing.
    EXPECT_TRUE(MoveWindows(map, {0, 1}, MapSide::Target, {5, 0}).empty());
    // In the original the first is at the left edge: only the vertical part remains.
    const auto moved = MoveWindows(map, {1, 7, 0}, MapSide::Original, {-3, 2});
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0].first, 1);
    EXPECT_EQ(moved[0].second, MakeWindow(5, 7, 10, 10, 0, 0, 1));
    EXPECT_EQ(moved[1].first, 0);
    EXPECT_EQ(moved[1].second, MakeWindow(0, 2, 10, 10, 630, 0, 0));
}
