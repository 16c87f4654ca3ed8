// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "layout/window_array.h"

using namespace tesselink;

namespace {

Map Wall(int originalWidth, int originalHeight, int targetWidth, int targetHeight, PlaybackWindow first) {
    Map map;
    map.Head.OriginalWidth = static_cast<std::uint16_t>(originalWidth);
    map.Head.OriginalHeight = static_cast<std::uint16_t>(originalHeight);
    map.Head.TargetWidth = static_cast<std::uint16_t>(targetWidth);
    map.Head.TargetHeight = static_cast<std::uint16_t>(targetHeight);
    map.Windows = {first};
    return map;
}

ArrayShape Shape(const PlaybackWindow& first, int rows, int columns, ArrayOrder order) {
    ArrayShape shape = DefaultArrayShape(first);
    shape.Rows = rows;
    shape.Columns = columns;
    shape.Order = order;
    return shape;
}

}  // namespace

TEST(WindowArray, CellOrders) {
    using C = ArrayCell;
    EXPECT_EQ(ArrayCellOrder(2, 3, ArrayOrder::RowsLeftToRight),
              (std::vector<C>{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}));
    EXPECT_EQ(ArrayCellOrder(2, 3, ArrayOrder::ColumnsTopToBottom),
              (std::vector<C>{{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}}));
    EXPECT_EQ(ArrayCellOrder(3, 3, ArrayOrder::SerpentineRows),
              (std::vector<C>{{0, 0}, {0, 1}, {0, 2}, {1, 2}, {1, 1}, {1, 0}, {2, 0}, {2, 1}, {2, 2}}));
    EXPECT_TRUE(ArrayCellOrder(0, 3, ArrayOrder::RowsLeftToRight).empty());
}

TEST(WindowArray, FourByFourWallOfOnePicture) {
    // 480 x 270 panels out of a 1920 x 1080 picture onto a 1920 x 1080 wall, cabled in a serpentine.
    const PlaybackWindow first = MakeWindow(0, 0, 480, 270, 0, 0, 0);
    const Map map = Wall(1920, 1080, 1920, 1080, first);
    const ArrayPlan plan = PlanArray(map, 0, Shape(first, 4, 4, ArrayOrder::SerpentineRows));
    ASSERT_TRUE(plan.Fits) << plan.Verdict;
    EXPECT_EQ(plan.Verdict, "Adds 15 windows.");
    EXPECT_EQ(plan.AddedCount, 15);
    EXPECT_FALSE(plan.FirstChanged);
    ASSERT_EQ(plan.Added.size(), 15u);
    EXPECT_EQ(plan.Added[0], MakeWindow(480, 0, 480, 270, 480, 0, 0));
    EXPECT_EQ(plan.Added[2], MakeWindow(1440, 0, 480, 270, 1440, 0, 0));
    // Row 1 runs back from the right.
    EXPECT_EQ(plan.Added[3], MakeWindow(1440, 270, 480, 270, 1440, 270, 0));
    EXPECT_EQ(plan.Added[6], MakeWindow(0, 270, 480, 270, 0, 270, 0));
    EXPECT_EQ(plan.Added[7], MakeWindow(0, 540, 480, 270, 0, 540, 0));
    EXPECT_EQ(plan.Added[14], MakeWindow(0, 810, 480, 270, 0, 810, 0));
}

TEST(WindowArray, StepsOfTheirOwnForEachPicture) {
    const PlaybackWindow first = MakeWindow(10, 20, 100, 50, 5, 6, 3);
    const Map map = Wall(640, 480, 640, 480, first);
    ArrayShape shape = Shape(first, 2, 2, ArrayOrder::ColumnsTopToBottom);
    shape.OriginalStepX = 110;  // gaps between the panels in the picture
    shape.OriginalStepY = 60;
    shape.TargetStepX = 90;  // overlapping places
    shape.TargetStepY = -6;  // the second row above the first
    const ArrayPlan plan = PlanArray(map, 0, shape);
    ASSERT_TRUE(plan.Fits) << plan.Verdict;
    EXPECT_EQ(plan.Added, (PlaybackWindows{MakeWindow(10, 80, 100, 50, 5, 0, 3), MakeWindow(120, 20, 100, 50, 95, 6, 3),
                                           MakeWindow(120, 80, 100, 50, 95, 0, 3)}));
}

TEST(WindowArray, ModeForAllTurnsTheFirstWindowToo) {
    const PlaybackWindow first = MakeWindow(0, 0, 100, 50, 0, 0, 0);
    const Map map = Wall(640, 480, 640, 480, first);
    ArrayShape shape = Shape(first, 1, 3, ArrayOrder::RowsLeftToRight);
    shape.Mode = 1;
    const PictureSize turned = PlacedSizeIn(first, shape.Mode);
    EXPECT_EQ(turned.Width, 50);
    EXPECT_EQ(turned.Height, 100);
    shape.TargetStepX = turned.Width;
    const ArrayPlan plan = PlanArray(map, 0, shape);
    ASSERT_TRUE(plan.Fits) << plan.Verdict;
    EXPECT_TRUE(plan.FirstChanged);
    EXPECT_EQ(plan.First, MakeWindow(0, 0, 100, 50, 0, 0, 1));
    EXPECT_EQ(plan.Added,
              (PlaybackWindows{MakeWindow(100, 0, 100, 50, 50, 0, 1), MakeWindow(200, 0, 100, 50, 100, 0, 1)}));

    // A turned first window that leaves the target fails at the first cell.
    const Map flat = Wall(640, 480, 640, 60, first);
    shape.Rows = 1;
    EXPECT_FALSE(PlanArray(flat, 0, shape).Fits);
    EXPECT_EQ(PlanArray(flat, 0, shape).Verdict, "Adds 2 windows; they leave the target picture (row 1, column 1).");
}

TEST(WindowArray, VerdictNamesTheFirstCellThatLeavesAPicture) {
    const PlaybackWindow first = MakeWindow(0, 0, 100, 100, 0, 0, 0);
    // Original 400 x 400, target 250 wide: cells of column 3 leave the target, row 5 the original.
    const Map map = Wall(400, 400, 250, 2000, first);
    ArrayPlan plan = PlanArray(map, 0, Shape(first, 4, 3, ArrayOrder::RowsLeftToRight));
    EXPECT_FALSE(plan.Fits);
    EXPECT_TRUE(plan.Added.empty());
    EXPECT_EQ(plan.AddedCount, 11);
    EXPECT_EQ(plan.Verdict, "Adds 11 windows; they leave the target picture (row 1, column 3).");
    plan = PlanArray(map, 0, Shape(first, 5, 2, ArrayOrder::ColumnsTopToBottom));
    EXPECT_EQ(plan.Verdict, "Adds 9 windows; they leave the original picture (row 5, column 1).");
    // Steps of 0 put every cell on the first: it fits.
    ArrayShape stacked = Shape(first, 3, 3, ArrayOrder::RowsLeftToRight);
    stacked.OriginalStepX = stacked.OriginalStepY = stacked.TargetStepX = stacked.TargetStepY = 0;
    EXPECT_TRUE(PlanArray(map, 0, stacked).Fits);
    // Negative steps from the corner leave at once.
    stacked.TargetStepX = -1;
    EXPECT_EQ(PlanArray(map, 0, stacked).Verdict, "Adds 8 windows; they leave the target picture (row 1, column 2).");
}

TEST(WindowArray, CountLimitAndNothingToAdd) {
    const PlaybackWindow first = MakeWindow(0, 0, 1, 1, 0, 0, 0);
    Map map = Wall(2000, 2000, 2000, 2000, first);
    map.Windows.resize(15, first);
    // 15 + 240 = 255 fits; one more cell does not.
    ArrayPlan plan = PlanArray(map, 0, Shape(first, 16, 16, ArrayOrder::SerpentineRows));
    EXPECT_FALSE(plan.Fits);
    EXPECT_EQ(plan.Verdict, "Adds 255 windows; a map holds at most 255 playback windows (room for 240 windows).");
    plan = PlanArray(map, 0, Shape(first, 1, 241, ArrayOrder::RowsLeftToRight));
    EXPECT_TRUE(plan.Fits) << plan.Verdict;
    EXPECT_EQ(plan.Added.size(), 240u);
    EXPECT_EQ(plan.Added.back(), MakeWindow(240, 0, 1, 1, 240, 0, 0));
    // Sizes a spin box could never give still end in a verdict, not a loop over the cells.
    EXPECT_EQ(PlanArray(map, 0, Shape(first, 1 << 30, 1 << 30, ArrayOrder::RowsLeftToRight)).AddedCount, 1 << 30);

    plan = PlanArray(map, 0, Shape(first, 1, 1, ArrayOrder::RowsLeftToRight));
    EXPECT_FALSE(plan.Fits);
    EXPECT_EQ(plan.Verdict, "Adds no windows.");
    plan = PlanArray(map, 0, Shape(first, 2, 1, ArrayOrder::RowsLeftToRight));
    EXPECT_EQ(plan.Verdict, "Adds 1 window.");
    EXPECT_FALSE(PlanArray(map, 0, Shape(first, 0, 4, ArrayOrder::RowsLeftToRight)).Fits);
    EXPECT_FALSE(PlanArray(map, 15, Shape(first, 2, 2, ArrayOrder::RowsLeftToRight)).Fits);
    ArrayShape unknown = Shape(first, 2, 2, ArrayOrder::RowsLeftToRight);
    unknown.Mode = 6;
    EXPECT_FALSE(PlanArray(map, 0, unknown).Fits);
}

namespace {

// A walker over the grid as an installer cables it: from the start corner along the first
// line; at a line's end one step to the next line, then either turning round (serpentine) or
// going back to the side it started from.
std::vector<ArrayCell> Walk(int rows, int columns, ArrayCorner corner, bool columnsFirst, bool serpentine) {
    const bool right = corner == ArrayCorner::TopRight || corner == ArrayCorner::BottomRight;
    const bool bottom = corner == ArrayCorner::BottomLeft || corner == ArrayCorner::BottomRight;
    int r = bottom ? rows - 1 : 0;
    int c = right ? columns - 1 : 0;
    // Direction along the line, and the step between lines.
    int dr = 0, dc = 0, lineDr = 0, lineDc = 0;
    if (columnsFirst) {
        dr = bottom ? -1 : 1;
        lineDc = right ? -1 : 1;
    } else {
        dc = right ? -1 : 1;
        lineDr = bottom ? -1 : 1;
    }
    const auto inside = [&](int rr, int cc) { return rr >= 0 && rr < rows && cc >= 0 && cc < columns; };
    std::vector<ArrayCell> cells;
    while (true) {
        cells.push_back({r, c});
        if (inside(r + dr, c + dc)) {
            r += dr;
            c += dc;
            continue;
        }
        if (!inside(r + lineDr, c + lineDc)) break;
        r += lineDr;
        c += lineDc;
        if (serpentine) {
            dr = -dr;
            dc = -dc;
        } else if (columnsFirst) {
            r = bottom ? rows - 1 : 0;
        } else {
            c = right ? columns - 1 : 0;
        }
    }
    return cells;
}

}  // namespace

TEST(WindowArray, EverySixteenOrdersNumberingMatchesAWalkOfTheGrid) {
    const std::vector<ArrayOrder> offered = ArrayOrdersOffered();
    ASSERT_EQ(offered.size(), 16u);
    EXPECT_EQ(offered[0], ArrayOrder::RowsLeftToRight) << "the default stays first";
    std::vector<std::string> names;
    for (int corner = 0; corner < 4; ++corner) {
        for (const bool columnsFirst : {false, true}) {
            for (const bool serpentine : {false, true}) {
                const ArrayOrder order = MakeArrayOrder(static_cast<ArrayCorner>(corner), columnsFirst, serpentine);
                EXPECT_NE(std::find(offered.begin(), offered.end(), order), offered.end());
                names.push_back(ArrayOrderName(order));
                for (const auto& [rows, columns] :
                     std::vector<std::pair<int, int>>{{1, 1}, {1, 5}, {5, 1}, {2, 2}, {3, 4}, {4, 3}, {8, 8}, {7, 5}}) {
                    EXPECT_EQ(ArrayCellOrder(rows, columns, order),
                              Walk(rows, columns, static_cast<ArrayCorner>(corner), columnsFirst, serpentine))
                        << ArrayOrderName(order) << ", " << rows << " x " << columns;
                }
            }
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end()) << "each order has its own name";
}

TEST(WindowArray, TheListRunsInCablingOrderFromTheStartCorner) {
    // An 8 x 8 wall of 240 x 135 panels from the top-left one, for every order: the window made
    // the array becomes the first cell of the order, the rest follow it, and together they
    // tile the wall once.
    const PlaybackWindow first = MakeWindow(0, 0, 240, 135, 0, 0, 0);
    const Map map = Wall(1920, 1080, 1920, 1080, first);
    for (const ArrayOrder order : ArrayOrdersOffered()) {
        const ArrayPlan plan = PlanArray(map, 0, Shape(first, 8, 8, order));
        ASSERT_TRUE(plan.Fits) << plan.Verdict;
        ASSERT_EQ(plan.Added.size(), 63u);
        PlaybackWindows list{plan.First};
        list.insert(list.end(), plan.Added.begin(), plan.Added.end());
        const std::vector<ArrayCell> cells = ArrayCellOrder(8, 8, order);
        std::vector<bool> seen(64, false);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const ArrayCell cell = cells[i];
            EXPECT_EQ(list[i],
                      MakeWindow(cell.Column * 240, cell.Row * 135, 240, 135, cell.Column * 240, cell.Row * 135, 0))
                << ArrayOrderName(order) << " #" << i;
            seen[static_cast<std::size_t>(cell.Row * 8 + cell.Column)] = true;
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 64);
        EXPECT_EQ(plan.FirstChanged, !(cells[0] == ArrayCell{0, 0}));
    }
}
