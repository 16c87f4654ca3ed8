// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "layout/problem_list.h"

using namespace tesselink;

namespace {

Map Target(int width, int height, PlaybackWindows windows) {
    Map map;
    map.Head.TargetWidth = static_cast<std::uint16_t>(width);
    map.Head.TargetHeight = static_cast<std::uint16_t>(height);
    map.Head.OriginalWidth = 2000;
    map.Head.OriginalHeight = 2000;
    map.Windows = std::move(windows);
    return map;
}

std::vector<std::string> Texts(const ProblemReport& report) {
    std::vector<std::string> texts;
    for (const ProblemRow& row : ProblemRows(report)) texts.push_back(row.Text);
    return texts;
}

// Pixel by pixel: the uncovered pixels and their edge-connected regions.
struct PixelRegions {
    std::int64_t Uncovered = 0;
    std::vector<UncoveredRegion> Regions;
};

PixelRegions CountPixels(const Map& map) {
    const int w = map.Head.TargetWidth, h = map.Head.TargetHeight;
    std::vector<int> label(static_cast<std::size_t>(w) * h, 0);  // 0 uncovered unlabelled, -1 covered
    for (const PlaybackWindow& win : map.Windows)
        for (int y = win.TargetStartY; y < std::min(h, win.TargetStartY + win.PlacedHeight); ++y)
            for (int x = win.TargetStartX; x < std::min(w, win.TargetStartX + win.PlacedWidth); ++x)
                label[static_cast<std::size_t>(y) * w + x] = -1;
    PixelRegions result;
    for (int start = 0; start < w * h; ++start) {
        if (label[static_cast<std::size_t>(start)] != 0) continue;
        UncoveredRegion region;
        int left = w, top = h, right = 0, bottom = 0;
        std::vector<int> stack{start};
        label[static_cast<std::size_t>(start)] = 1;
        while (!stack.empty()) {
            const int p = stack.back();
            stack.pop_back();
            const int x = p % w, y = p / w;
            ++region.Pixels;
            left = std::min(left, x), top = std::min(top, y), right = std::max(right, x + 1),
            bottom = std::max(bottom, y + 1);
            const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h) continue;
                int& l = label[static_cast<std::size_t>(n[1]) * w + n[0]];
                if (l != 0) continue;
                l = 1;
                stack.push_back(n[1] * w + n[0]);
            }
        }
        region.Bounds = {left, top, right - left, bottom - top};
        result.Uncovered += region.Pixels;
        result.Regions.push_back(region);
    }
    return result;
}

}  // namespace

TEST(ProblemList, OverlapsWithTheirSizeLaterCoveringEarlier) {
    const Map map = Target(640, 480,
                           {MakeWindow(0, 0, 100, 100, 0, 0, 0), MakeWindow(0, 0, 100, 100, 60, 70, 0),
                            MakeWindow(0, 0, 100, 40, 300, 0, 1),  // placed 40 x 100
                            MakeWindow(0, 0, 20, 20, 100, 0, 0),   // touches the first: no overlap
                            MakeWindow(0, 0, 10, 10, 330, 90, 0)});
    const ProblemReport report = FindProblems(map);
    ASSERT_EQ(report.OverlapCount, 2);
    EXPECT_EQ(report.Overlaps[0].Earlier, 0);
    EXPECT_EQ(report.Overlaps[0].Later, 1);
    EXPECT_EQ(report.Overlaps[0].Area, (LayoutRect{60, 70, 40, 30}));
    EXPECT_EQ(report.Overlaps[1].Earlier, 2);
    EXPECT_EQ(report.Overlaps[1].Later, 4);
    EXPECT_EQ(report.Overlaps[1].Area, (LayoutRect{330, 90, 10, 10}));
    const std::vector<ProblemRow> rows = ProblemRows(report);
    EXPECT_EQ(rows[0].Text, "Window 2 covers 40 x 30 at (60,70) of window 1.");
    EXPECT_EQ(rows[0].Windows, (std::vector<int>{0, 1}));
    EXPECT_TRUE(rows[0].HasArea);
    EXPECT_EQ(rows[1].Text, "Window 5 covers 10 x 10 at (330,90) of window 3.");

    // Only the first pairs are listed; all are counted and the rest summed up in one row.
    PlaybackWindows stack(30, MakeWindow(0, 0, 10, 10, 0, 0, 0));
    for (int i = 0; i < 30; ++i) stack[static_cast<std::size_t>(i)].TargetStartX = static_cast<std::uint16_t>(i);
    const ProblemReport many = FindProblems(Target(640, 480, stack), {10, 4});
    // Pairs less than 10 apart: 29 + 28 + ... + 21.
    EXPECT_EQ(many.OverlapCount, 225);
    EXPECT_EQ(many.Overlaps.size(), 10u);
    EXPECT_EQ(many.Overlaps.back().Earlier, 1);
    EXPECT_EQ(many.Overlaps.back().Later, 2);
    EXPECT_EQ(Texts(many)[10], "... and " + std::to_string(many.OverlapCount - 10) + " more overlapping pairs.");
}

TEST(ProblemList, UncoveredAreaAndItsRegions) {
    // A 100 x 100 target: a top band with a notch at its top edge, a left column below it, a
    // block at the right reaching the bottom. Uncovered: the notch, and an L between column and block.
    const Map map = Target(
        100, 100,
        {MakeWindow(0, 0, 40, 20, 0, 0, 0), MakeWindow(0, 0, 60, 10, 40, 10, 0), MakeWindow(0, 0, 40, 10, 60, 0, 0),
         MakeWindow(0, 0, 30, 80, 0, 20, 0), MakeWindow(0, 0, 50, 60, 50, 40, 0)});
    const ProblemReport report = FindProblems(map);
    EXPECT_EQ(report.OverlapCount, 0);
    // The notch 20 x 10, the L 70 x 20 + 20 x 60.
    EXPECT_EQ(report.UncoveredPixels, 2800);
    EXPECT_DOUBLE_EQ(report.UncoveredPercent, 28.0);
    ASSERT_EQ(report.UncoveredRegionCount, 2);
    ASSERT_EQ(report.UncoveredRegions.size(), 2u);
    EXPECT_EQ(report.UncoveredRegions[0].Pixels, 2600);
    EXPECT_EQ(report.UncoveredRegions[0].Bounds, (LayoutRect{30, 20, 70, 80}));
    EXPECT_EQ(report.UncoveredRegions[1].Pixels, 200);
    EXPECT_EQ(report.UncoveredRegions[1].Bounds, (LayoutRect{40, 0, 20, 10}));
    const std::vector<ProblemRow> rows = ProblemRows(report);
    EXPECT_EQ(Texts(report), (std::vector<std::string>{"28.0 % of the target (2800 pixels) is covered by no window.",
                                                       "Uncovered: 2600 pixels within 70 x 80 at (30,20).",
                                                       "Uncovered: 20 x 10 at (40,0)."}));
    EXPECT_TRUE(rows[1].HasArea);
    EXPECT_EQ(rows[1].Area, (LayoutRect{30, 20, 70, 80}));
    EXPECT_TRUE(rows[1].Windows.empty());
}

TEST(ProblemList, RegionsTouchingOnlyAtACornerStaySeparate) {
    // Two windows on the diagonal of a 20 x 20 target leave two 10 x 10 squares meeting at a corner.
    const Map map = Target(20, 20, {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(0, 0, 10, 10, 10, 10, 0)});
    const ProblemReport report = FindProblems(map, {200, 1});
    EXPECT_EQ(report.UncoveredRegionCount, 2);
    ASSERT_EQ(report.UncoveredRegions.size(), 1u);
    // Equal sizes: the upper one first.
    EXPECT_EQ(report.UncoveredRegions[0].Bounds, (LayoutRect{10, 0, 10, 10}));
    EXPECT_EQ(Texts(report).back(), "... and 1 more uncovered region.");
}

TEST(ProblemList, AgreesWithAPixelCountOnRandomMaps) {
    std::mt19937 random(5);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 200; ++round) {
        const int w = pick(1, 90), h = pick(1, 90);
        PlaybackWindows windows;
        for (int i = pick(0, 25); i > 0; --i) {
            // Some places run past the target; the parts outside do not count.
            windows.push_back(MakeWindow(0, 0, pick(0, 40), pick(0, 40), pick(0, w + 5), pick(0, h + 5), pick(0, 5)));
            if (pick(0, 6) == 0) windows.push_back(windows.back());
        }
        const Map map = Target(w, h, windows);
        SCOPED_TRACE(round);
        const ProblemReport report = FindProblems(map, {100000, 100000});
        const PixelRegions pixels = CountPixels(map);
        EXPECT_EQ(report.UncoveredPixels, pixels.Uncovered);
        EXPECT_NEAR(report.UncoveredPercent, 100.0 * pixels.Uncovered / (w * h), 1e-9);
        ASSERT_EQ(report.UncoveredRegionCount, static_cast<int>(pixels.Regions.size()));
        std::vector<std::pair<std::int64_t, int>> mine, theirs;
        for (const UncoveredRegion& r : report.UncoveredRegions)
            mine.push_back({r.Pixels, r.Bounds.X * 1000 + r.Bounds.Y});
        for (const UncoveredRegion& r : pixels.Regions) theirs.push_back({r.Pixels, r.Bounds.X * 1000 + r.Bounds.Y});
        std::sort(mine.begin(), mine.end());
        std::sort(theirs.begin(), theirs.end());
        EXPECT_EQ(mine, theirs);
        for (std::size_t i = 1; i < report.UncoveredRegions.size(); ++i)
            EXPECT_GE(report.UncoveredRegions[i - 1].Pixels, report.UncoveredRegions[i].Pixels);

        // Pairs by brute force: every overlapping pair is either listed or identical.
        int overlapping = 0, identicalPairs = 0;
        for (std::size_t i = 0; i < windows.size(); ++i)
            for (std::size_t j = i + 1; j < windows.size(); ++j) {
                const PlaybackWindow &a = windows[i], &b = windows[j];
                if (a == b) {
                    ++identicalPairs;
                    continue;
                }
                if (!Intersection(WindowRect(a, MapSide::Target), WindowRect(b, MapSide::Target)).IsEmpty())
                    ++overlapping;
            }
        EXPECT_EQ(report.OverlapCount, overlapping);
        int grouped = 0;
        for (const auto& group : report.IdenticalGroups) {
            grouped += static_cast<int>(group.size() * (group.size() - 1) / 2);
            for (int index : group)
                EXPECT_EQ(windows[static_cast<std::size_t>(index)], windows[static_cast<std::size_t>(group[0])]);
        }
        EXPECT_EQ(grouped, identicalPairs);
        for (std::size_t i = 1; i < report.Overlaps.size(); ++i) {
            const auto& p = report.Overlaps[i - 1];
            const auto& q = report.Overlaps[i];
            EXPECT_TRUE(p.Earlier < q.Earlier || (p.Earlier == q.Earlier && p.Later < q.Later));
        }
    }
}

TEST(ProblemList, IdenticalWindowsGroupedNotListedAsOverlaps) {
    const PlaybackWindow a = MakeWindow(1, 2, 30, 30, 0, 0, 0);
    PlaybackWindow sameButReserved = a;
    sameButReserved.Reserved = 7;  // never saved, so not a difference
    const PlaybackWindow empty = MakeWindow(5, 5, 0, 10, 50, 50, 0);
    const Map map = Target(30, 30, {a, empty, MakeWindow(1, 2, 30, 30, 0, 0, 5), a, empty, sameButReserved});
    const ProblemReport report = FindProblems(map);
    ASSERT_EQ(report.IdenticalGroups.size(), 2u);
    EXPECT_EQ(report.IdenticalGroups[0], (std::vector<int>{0, 3, 5}));
    EXPECT_EQ(report.IdenticalGroups[1], (std::vector<int>{1, 4}));
    // The half turn differs only in its mode: it overlaps all three.
    EXPECT_EQ(report.OverlapCount, 3);
    EXPECT_EQ(report.UncoveredPixels, 0);
    const std::vector<ProblemRow> rows = ProblemRows(report);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[3].Text, "Windows 1, 4 and 6 are identical.");
    EXPECT_EQ(rows[3].Windows, (std::vector<int>{0, 3, 5}));
    EXPECT_EQ(rows[4].Text, "Windows 2 and 5 are identical.");
}

TEST(ProblemList, FullMapAndEmptyTarget) {
    PlaybackWindows tiles;
    for (int i = 0; i < 255; ++i) tiles.push_back(MakeWindow(0, 0, 1, 1, i % 17, i / 17, 0));
    ProblemReport report = FindProblems(Target(17, 15, tiles));
    EXPECT_TRUE(report.AtWindowLimit);
    EXPECT_EQ(Texts(report),
              (std::vector<std::string>{"The map holds 255 windows: no more can be added (at most 255)."}));
    tiles.pop_back();
    report = FindProblems(Target(17, 15, tiles));
    EXPECT_FALSE(report.AtWindowLimit);
    EXPECT_EQ(Texts(report), (std::vector<std::string>{"0.4 % of the target (1 pixel) is covered by no window.",
                                                       "Uncovered: 1 x 1 at (16,14)."}));
    // Nothing to cover: no area problem, no division by zero.
    report = FindProblems(Target(0, 10, {}));
    EXPECT_TRUE(ProblemRows(report).empty());
    report = FindProblems(Target(10, 10, {}));
    EXPECT_EQ(Texts(report), (std::vector<std::string>{"100.0 % of the target (100 pixels) is covered by no window.",
                                                       "Uncovered: 10 x 10 at (0,0)."}));
}
