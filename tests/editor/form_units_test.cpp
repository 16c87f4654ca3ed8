// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/form_units.h"

#include <gtest/gtest.h>

namespace tesselink {
namespace {

TEST(DialogUnits, TheWholeFormFitsTheFourHundredFiftyPixelPane) {
    // 293 x 394 units at 6 x 13 pixel base units: 439.5 -> 440 across, 640.25 -> 640 down.
    EXPECT_EQ(DialogUnitsToPixelsX(293), 440);
    EXPECT_EQ(DialogUnitsToPixelsY(394), 640);
}

TEST(DialogUnits, RectanglesConvertEachSideAndRoundHalvesUp) {
    EXPECT_EQ(DialogRectToPixels(75, 13, 39, 12), (PixelRect{113, 21, 59, 20}));
    EXPECT_EQ(DialogUnitsToPixelsX(1), 2);  // 1.5
    EXPECT_EQ(DialogUnitsToPixelsY(4), 7);  // 6.5
    EXPECT_EQ(DialogUnitsToPixelsX(0), 0);
    EXPECT_EQ(DialogUnitsToPixelsX(-1), -2);
}

}  // namespace
}  // namespace tesselink
