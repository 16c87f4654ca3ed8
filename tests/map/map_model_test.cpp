// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>

#include "map/map_model.h"

using namespace tesselink;

TEST(MapModel, DefaultsOfHeadAndNewWindow) {
    const MapFileHead head;
    EXPECT_EQ(head.WindowCount, 0);
    EXPECT_EQ(head.CoverOption, 0);
    EXPECT_EQ(head.OriginalWidth, 640);
    EXPECT_EQ(head.OriginalHeight, 480);
    EXPECT_EQ(head.TargetWidth, 640);
    EXPECT_EQ(head.TargetHeight, 480);

    const PlaybackWindow fresh;
    const PlaybackWindow zero = MakeWindow(0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(fresh, zero);
}

TEST(MapModel, ModeTextsAsTheEditorShowsThem) {
    EXPECT_STREQ(MapModeText(0), "Copy");
    EXPECT_STREQ(MapModeText(1), "Clockwise rotaion 90");
    EXPECT_STREQ(MapModeText(2), "AntiClockwise rotaion 90");
    EXPECT_STREQ(MapModeText(3), "Vertical mirror");
    EXPECT_STREQ(MapModeText(4), "Level mirror");
    EXPECT_STREQ(MapModeText(5), "Rotatoin 180");
    EXPECT_EQ(MapModeText(6), nullptr);
    EXPECT_EQ(MapModeText(-1), nullptr);
}

TEST(MapModel, PlacedSizeSwapsForQuarterTurnsOnly) {
    for (int mode = 0; mode < 256; ++mode) {
        const PlaybackWindow w = MakeWindow(0, 0, 30, 10, 0, 0, mode);
        SCOPED_TRACE(mode);
        if (mode == 1 || mode == 2) {
            EXPECT_EQ(w.PlacedWidth, 10);
            EXPECT_EQ(w.PlacedHeight, 30);
        } else if (mode <= 5) {
            EXPECT_EQ(w.PlacedWidth, 30);
            EXPECT_EQ(w.PlacedHeight, 10);
        } else {
            EXPECT_EQ(w.PlacedWidth, 0);
            EXPECT_EQ(w.PlacedHeight, 0);
        }
    }
}

TEST(MapModel, PlacedSizeFollowsAModeChange) {
    PlaybackWindow w = MakeWindow(0, 0, 30, 10, 0, 0, 3);
    w.MapMode = 1;
    w.UpdatePlacedSize();
    EXPECT_EQ(w.PlacedWidth, 10);
    EXPECT_EQ(w.PlacedHeight, 30);
    w.MapMode = 9;
    w.UpdatePlacedSize();
    EXPECT_EQ(w.PlacedWidth, 0);
    EXPECT_EQ(w.PlacedHeight, 0);
}

TEST(FitRule, TouchingTheEdgeFitsOnePixelMoreDoesNot) {
    const MapFileHead head;  // 640 x 480 both
    EXPECT_EQ(CheckFit(MakeWindow(540, 0, 100, 10, 0, 0, 0), head), FitResult::Fits);
    EXPECT_EQ(CheckFit(MakeWindow(541, 0, 100, 10, 0, 0, 0), head), FitResult::OriginalWidthExceeded);
    EXPECT_EQ(CheckFit(MakeWindow(0, 470, 10, 10, 0, 0, 0), head), FitResult::Fits);
    EXPECT_EQ(CheckFit(MakeWindow(0, 471, 10, 10, 0, 0, 0), head), FitResult::OriginalHeightExceeded);
    // Quarter turn: the placed width is the height.
    EXPECT_EQ(CheckFit(MakeWindow(0, 0, 10, 40, 600, 470, 1), head), FitResult::Fits);
    EXPECT_EQ(CheckFit(MakeWindow(0, 0, 10, 40, 601, 0, 1), head), FitResult::TargetWidthExceeded);
    EXPECT_EQ(CheckFit(MakeWindow(0, 0, 40, 10, 0, 441, 2), head), FitResult::TargetHeightExceeded);
}

TEST(FitRule, SumsDoNotWrapAt16Bits) {
    MapFileHead head;
    head.OriginalWidth = head.OriginalHeight = head.TargetWidth = head.TargetHeight = 65535;
    // 65535 + 2 would be 1 in 16 bits and so pass a wrapped comparison.
    EXPECT_EQ(CheckFit(MakeWindow(65535, 0, 2, 1, 0, 0, 0), head), FitResult::OriginalWidthExceeded);
    EXPECT_EQ(CheckFit(MakeWindow(0, 65535, 1, 2, 0, 0, 0), head), FitResult::OriginalHeightExceeded);
    EXPECT_EQ(CheckFit(MakeWindow(0, 0, 1, 1, 65535, 0, 0), head), FitResult::TargetWidthExceeded);
    EXPECT_EQ(CheckFit(MakeWindow(0, 0, 1, 1, 0, 65535, 0), head), FitResult::TargetHeightExceeded);
    EXPECT_EQ(CheckFit(MakeWindow(65534, 65534, 1, 1, 65534, 65534, 0), head), FitResult::Fits);
}

TEST(FitRule, FirstFailingTestIsReportedInOrder) {
    MapFileHead head;
    // Fails original height and target width: original height is reported.
    EXPECT_EQ(CheckFit(MakeWindow(0, 479, 10, 10, 639, 0, 0), head), FitResult::OriginalHeightExceeded);
    // Fails all four: original width first.
    EXPECT_EQ(CheckFit(MakeWindow(639, 479, 10, 10, 639, 479, 0), head), FitResult::OriginalWidthExceeded);
    // Fails both target tests: target width first.
    EXPECT_EQ(CheckFit(MakeWindow(0, 0, 10, 10, 639, 479, 0), head), FitResult::TargetWidthExceeded);
}

TEST(FitRule, UnknownModeHasNoFootprintSoPassesTargetTests) {
    const MapFileHead head;
    EXPECT_EQ(CheckFit(MakeWindow(0, 0, 10, 10, 640, 480, 7), head), FitResult::Fits);
}

TEST(WindowColours, FixedTableThenYellow) {
    EXPECT_EQ(WindowColour(0), 0x00FFFFFFu);
    EXPECT_EQ(WindowColour(1), 0x00000000u);
    EXPECT_EQ(WindowColour(2), 0x000428DAu);   // RGB(218, 40, 4)
    EXPECT_EQ(WindowColour(14), 0x0000A5FFu);  // RGB(255, 165, 0)
    EXPECT_EQ(WindowColour(16), 0x00DCDCDCu);
    EXPECT_EQ(WindowColour(4), WindowColour(15));
    const std::uint32_t yellow = 0x0000FFFFu;  // red and green full, blue 0
    EXPECT_EQ(WindowColour(17), yellow);
    EXPECT_EQ(WindowColour(200), yellow);
    EXPECT_EQ(WindowColour(-1), yellow);
}

TEST(WindowColours, SixteenDistinctColoursBeforeTheRepeat) {
    for (int a = 0; a < 17; ++a)
        for (int b = a + 1; b < 17; ++b)
            if (!(a == 4 && b == 15)) {
                EXPECT_NE(WindowColour(a), WindowColour(b)) << a << " " << b;
            }
}

TEST(WindowList, RemoveShiftsLaterWindowsDownAndClearEmpties) {
    Map map;
    for (int i = 0; i < 4; ++i) map.Windows.push_back(MakeWindow(i, 0, 1, 1, 0, 0, 0));
    map.Head.WindowCount = 4;
    EXPECT_TRUE(map.RemoveWindow(1));
    ASSERT_EQ(map.Windows.size(), 3u);
    EXPECT_EQ(map.Windows[0].OriginalStartX, 0);
    EXPECT_EQ(map.Windows[1].OriginalStartX, 2);
    EXPECT_EQ(map.Windows[2].OriginalStartX, 3);
    EXPECT_FALSE(map.RemoveWindow(3));
    EXPECT_EQ(map.Windows.size(), 3u);

    map.ClearWindows();
    EXPECT_TRUE(map.Windows.empty());
    EXPECT_EQ(map.Head.WindowCount, 4) << "the caller sets the count";
}
