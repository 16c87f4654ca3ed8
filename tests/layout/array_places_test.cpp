// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/array_places.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace tesselink;

namespace {

TEST(ArrayPlaces, RowsAndColumnsComeBackFromThePlacesInAnyListOrder) {
    // 3 rows x 4 columns of 240 x 135 with a 10-pixel gap across and 5 down, shuffled, plus a
    // lone window of another size.
    PlaybackWindows windows;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) windows.push_back(MakeWindow(0, 0, 240, 135, 20 + c * 250, 30 + r * 140, 0));
    std::mt19937 random(7);
    std::shuffle(windows.begin(), windows.end(), random);
    windows.push_back(MakeWindow(0, 0, 100, 100, 1500, 900, 0));
    const std::vector<GridPlace> places = DeriveArrayPlaces(windows);
    ASSERT_EQ(places.size(), windows.size());
    for (std::size_t i = 0; i + 1 < windows.size(); ++i) {
        EXPECT_EQ(places[i].Column, (windows[i].TargetStartX - 20) / 250) << i;
        EXPECT_EQ(places[i].Row, (windows[i].TargetStartY - 30) / 140) << i;
    }
    EXPECT_EQ(places.back().Row, -1) << "alone in its size";

    // A quarter turn places 135 x 240: an array of its own.
    PlaybackWindows turned = {MakeWindow(0, 0, 240, 135, 0, 0, 1), MakeWindow(0, 0, 240, 135, 135, 0, 1)};
    EXPECT_EQ(DeriveArrayPlaces(turned)[1].Column, 1);
}

TEST(ArrayPlaces, AnythingButAFullEvenGridIsNoArray) {
    const auto none = [](const PlaybackWindows& windows) {
        const std::vector<GridPlace> places = DeriveArrayPlaces(windows);
        return std::all_of(places.begin(), places.end(), [](const GridPlace& p) { return p.Row < 0 && p.Column < 0; });
    };
    // A cell missing from a 2 x 2 grid.
    EXPECT_TRUE(none(
        {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(0, 0, 10, 10, 10, 0, 0), MakeWindow(0, 0, 10, 10, 0, 10, 0)}));
    // Uneven columns.
    EXPECT_TRUE(none(
        {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(0, 0, 10, 10, 10, 0, 0), MakeWindow(0, 0, 10, 10, 30, 0, 0)}));
    // Two windows in one place.
    EXPECT_TRUE(none({MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(5, 5, 10, 10, 0, 0, 0)}));
    EXPECT_TRUE(none({MakeWindow(0, 0, 10, 10, 0, 0, 0)}));
}

}  // namespace
