// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "layout/duplicate.h"

using namespace tesselink;

namespace {

Map TargetOf(int width, int height) {
    Map map;
    map.Head.TargetWidth = static_cast<std::uint16_t>(width);
    map.Head.TargetHeight = static_cast<std::uint16_t>(height);
    return map;
}

}  // namespace

TEST(Duplicate, CopyGoesRightThenDownThenStays) {
    const MapFileHead head = TargetOf(300, 200).Head;
    // Right by the placed width while the copy still fits: 100 + 2 * 100 = 300.
    EXPECT_EQ(DuplicatePlacement(MakeWindow(1, 2, 100, 50, 100, 20, 0), head), MakeWindow(1, 2, 100, 50, 200, 20, 0));
    // One more would end at 301: down by the placed height instead (20 + 2 * 50 = 120).
    EXPECT_EQ(DuplicatePlacement(MakeWindow(1, 2, 100, 50, 101, 20, 0), head), MakeWindow(1, 2, 100, 50, 101, 70, 0));
    // A quarter turn steps by its turned size: placed 50 x 100; right to 250 + 50 = 300.
    EXPECT_EQ(DuplicatePlacement(MakeWindow(0, 0, 100, 50, 200, 0, 1), head), MakeWindow(0, 0, 100, 50, 250, 0, 1));
    // Neither way fits: same place.
    const PlaybackWindow big = MakeWindow(0, 0, 200, 150, 50, 40, 5);
    EXPECT_EQ(DuplicatePlacement(big, head), big);
    // Down exactly to the bottom edge.
    EXPECT_EQ(DuplicatePlacement(MakeWindow(0, 0, 200, 100, 50, 0, 3), head), MakeWindow(0, 0, 200, 100, 50, 100, 3));
}

TEST(Duplicate, CopiesFollowTheSelectionOrder) {
    Map map = TargetOf(640, 480);
    map.Windows = {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(20, 20, 30, 40, 600, 0, 4),
                   MakeWindow(5, 5, 8, 8, 100, 100, 2)};
    const DuplicateResult r = DuplicateWindows(map, {2, 0, 9, -1, 1});
    ASSERT_TRUE(r.Accepted);
    EXPECT_TRUE(r.Message.empty());
    EXPECT_EQ(r.Copies, (PlaybackWindows{MakeWindow(5, 5, 8, 8, 108, 100, 2), MakeWindow(0, 0, 10, 10, 10, 0, 0),
                                         MakeWindow(20, 20, 30, 40, 600, 40, 4)}));
    EXPECT_FALSE(DuplicateWindows(map, {}).Accepted);
    EXPECT_TRUE(DuplicateWindows(map, {}).Message.empty());
}

TEST(Duplicate, RefusedAsAWholeBeyond255Windows) {
    Map map = TargetOf(640, 480);
    map.Windows.assign(253, MakeWindow(0, 0, 10, 10, 0, 0, 0));
    EXPECT_TRUE(DuplicateWindows(map, {0, 1}).Accepted);  // 255
    const DuplicateResult r = DuplicateWindows(map, {0, 1, 2});
    EXPECT_FALSE(r.Accepted);
    EXPECT_EQ(r.Message, "A map holds at most 255 playback windows.");
    EXPECT_TRUE(r.Copies.empty());
}
