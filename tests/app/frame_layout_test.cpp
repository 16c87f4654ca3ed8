// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame_layout.h"

#include <gtest/gtest.h>

namespace tesselink {
namespace {

TEST(InitialPaneSizes, ClientOf1280By700) {
    const InitialPaneSizes sizes = ComputeInitialPaneSizes(1280, 700);
    EXPECT_EQ(sizes.Editor, (PaneSize{450, 700}));
    EXPECT_EQ(sizes.Original, (PaneSize{830, 466}));
    EXPECT_EQ(sizes.Target, (PaneSize{830, 233}));
}

TEST(InitialPaneSizes, IntegerDivisionBeforeDoubling) {
    // 601 / 3 = 200, so the upper pane is 400 and the lower 200; one pixel is nobody's.
    const InitialPaneSizes sizes = ComputeInitialPaneSizes(1000, 601);
    EXPECT_EQ(sizes.Editor, (PaneSize{450, 601}));
    EXPECT_EQ(sizes.Original, (PaneSize{550, 400}));
    EXPECT_EQ(sizes.Target, (PaneSize{550, 200}));
}

TEST(StatusPaneWidths, ThirdSixthHalf) {
    EXPECT_EQ(ComputeStatusPaneWidths(1280), (std::array<int, 3>{426, 213, 640}));
    EXPECT_EQ(ComputeStatusPaneWidths(1919), (std::array<int, 3>{639, 319, 959}));
    EXPECT_EQ(ComputeStatusPaneWidths(0), (std::array<int, 3>{0, 0, 0}));
}

TEST(FitSplitterSizes, SecondPaneTakesWhatIsLeftAfterTheHandle) {
    EXPECT_EQ(FitSplitterSizes(450, 1280, 5), (std::array<int, 2>{450, 825}));
    EXPECT_EQ(FitSplitterSizes(466, 700, 1), (std::array<int, 2>{466, 233}));
}

TEST(FitSplitterSizes, TooSmallAreaShrinksTheFirstPaneAndNeverGoesNegative) {
    EXPECT_EQ(FitSplitterSizes(450, 300, 5), (std::array<int, 2>{295, 0}));
    EXPECT_EQ(FitSplitterSizes(450, 3, 5), (std::array<int, 2>{0, 0}));
    EXPECT_EQ(FitSplitterSizes(-10, 100, 0), (std::array<int, 2>{0, 100}));
}

TEST(NextPaneIndex, F6WrapsForwardAndShiftF6Backward) {
    EXPECT_EQ(NextPaneIndex(0, 3, true), 1);
    EXPECT_EQ(NextPaneIndex(2, 3, true), 0);
    EXPECT_EQ(NextPaneIndex(0, 3, false), 2);
    EXPECT_EQ(NextPaneIndex(1, 3, false), 0);
}

TEST(NextPaneIndex, FromOutsideThePanes) {
    EXPECT_EQ(NextPaneIndex(-1, 3, true), 0);
    EXPECT_EQ(NextPaneIndex(-1, 3, false), 2);
    EXPECT_EQ(NextPaneIndex(7, 3, true), 0);
    EXPECT_EQ(NextPaneIndex(0, 0, true), -1);
}

}  // namespace
}  // namespace tesselink
