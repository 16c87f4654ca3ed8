// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/window_list_rows.h"

#include <gtest/gtest.h>

namespace tesselink {
namespace {

TEST(WindowListColumns, HeadingsKeepTheirTrailingBlanks) {
    const auto& columns = WindowListColumns();
    EXPECT_STREQ(columns[0].Heading, "No");
    EXPECT_STREQ(columns[1].Heading, "MapMode");
    EXPECT_STREQ(columns[2].Heading, "initial position ");
    EXPECT_STREQ(columns[3].Heading, "Size");
    EXPECT_STREQ(columns[4].Heading, "Destination Location ");
}

TEST(WindowRowTexts, NumbersFromOneAndShowsPairs) {
    const PlaybackWindow window = MakeWindow(10, 20, 30, 40, 50, 60, 1);
    const auto texts = WindowRowTexts(1, window);
    EXPECT_EQ(texts[0], "2");
    EXPECT_EQ(texts[1], "Clockwise rotaion 90");
    EXPECT_EQ(texts[2], "(10,20)");
    EXPECT_EQ(texts[3], "(30,40)");
    EXPECT_EQ(texts[4], "(50,60)");
}

TEST(WindowRowTexts, UnknownModeShowsItsNumber) {
    PlaybackWindow window = MakeWindow(0, 0, 8, 8, 0, 0, 0);
    window.MapMode = 9;
    EXPECT_EQ(WindowRowTexts(0, window)[1], "Mode 9");
    window.MapMode = 5;
    EXPECT_EQ(WindowRowTexts(0, window)[1], "Rotatoin 180");
}

}  // namespace
}  // namespace tesselink
