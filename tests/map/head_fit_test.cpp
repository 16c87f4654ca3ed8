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

    const std::vector<HeadMisfit> target = FindHeadMisfits({MakeWindow(0, 0, 10, 30, 600, 470, 1)}, Head(640, 480, 620, 470));
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
