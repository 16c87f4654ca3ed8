// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "map/head_fit.h"
#include "support/map_heads.h"

using namespace tesselink;

using tesselink::testing::Head;

TEST(HeadMisfits, NamedFromTheLastIndexDownByTheirFirstFailingTest) {
    const PlaybackWindows windows = {
        MakeWindow(0, 0, 100, 10, 0, 0, 0),
        MakeWindow(300, 0, 100, 10, 0, 400, 0),  // beyond the new original width and target height
        MakeWindow(0, 0, 300, 10, 0, 0, 0),      // touches the new right edge exactly
        MakeWindow(250, 0, 100, 10, 0, 0, 0),
    };
    const std::vector<HeadMisfit> misfits = FindHeadMisfits(windows, Head(300, 480, 640, 300));
    ASSERT_EQ(misfits.size(), 2u);
    EXPECT_EQ(misfits[0].Index, 3);
    EXPECT_EQ(misfits[1].Index, 1);
    EXPECT_EQ(misfits[1].Failed, FitResult::OriginalWidthExceeded) << "named once, by its first failing test";
    EXPECT_EQ(HeadMisfitQuestion(misfits),
              "the Original Width of The number 3 playback window beyond the screen\n"
              "the Original Width of The number 1 playback window beyond the screen\n"
              "Are you sure you want to delete  it");

    const std::vector<HeadMisfit> target =
        FindHeadMisfits({MakeWindow(0, 0, 10, 30, 600, 470, 1)}, Head(640, 480, 620, 470));
    EXPECT_EQ(HeadMisfitQuestion(target),
              "the Target Width of The number 0 playback window beyond the screen\n"
              "Are you sure you want to delete  it");
}

TEST(HeadMisfits, NoneForAnEmptyMapOrWindowsThatFit) {
    EXPECT_TRUE(FindHeadMisfits({}, Head(0, 0, 0, 0)).empty());
    EXPECT_TRUE(HeadMisfitQuestion({}).empty());
    EXPECT_TRUE(FindHeadMisfits({MakeWindow(0, 0, 0, 0, 0, 0, 0)}, Head(0, 0, 0, 0)).empty())
        << "a window without extent fits a size of 0";
}

TEST(HeadMisfits, AQuestionAboutManyWindowsListsTheFirstAndCountsTheRest) {
    PlaybackWindows windows;
    for (int i = 0; i < 255; ++i) windows.push_back(MakeWindow(i % 40, 0, 10, 10, 0, 0, 0));
    // Original width 30: every window from x = 21 on leaves it.
    const std::vector<HeadMisfit> misfits = FindHeadMisfits(windows, Head(30, 480, 640, 480));
    const std::string question = HeadMisfitQuestion(misfits);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = question.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(question.substr(start, end - start));
    lines.push_back(question.substr(start));
    ASSERT_EQ(lines.size(), MaxListedHeadMisfits + 2);
    EXPECT_EQ(lines.front(), "the Original Width of The number " + std::to_string(misfits.front().Index) +
                                 " playback window beyond the screen");
    EXPECT_EQ(lines[MaxListedHeadMisfits],
              "... and " + std::to_string(misfits.size() - MaxListedHeadMisfits) + " more windows");
    EXPECT_EQ(lines.back(), "Are you sure you want to delete  it");

    // Exactly the cap lists every window; one more is counted alone.
    std::vector<HeadMisfit> capped(misfits.begin(), misfits.begin() + MaxListedHeadMisfits);
    EXPECT_EQ(HeadMisfitQuestion(capped).find("more window"), std::string::npos);
    capped.push_back(misfits[MaxListedHeadMisfits]);
    EXPECT_NE(HeadMisfitQuestion(capped).find("\n... and 1 more window\n"), std::string::npos);
}
