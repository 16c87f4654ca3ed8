// SPDX-License-Identifier: GPL-3.0-or-later
// Cover tiling: a 100 x 60 block in both directions, edge cases, large covers.
#include <gtest/gtest.h>

#include "remap/cover.h"

#include <random>

#include "remap/remap.h"
#include "support/map_heads.h"
#include "support/test_planes.h"

namespace tesselink {
namespace {

using testing::Head;
using testing::RandomPlanes;
using testing::SamePlanes;

TEST(BuildCoverWindows, HundredBySixtyBlockInTheSameDirection) {
    PlaybackWindows cover;
    ASSERT_EQ(BuildCoverWindows({MakeWindow(0, 0, 100, 60, 0, 0, 0)}, Head(640, 480, 640, 480), CoverMode::Same, cover),
              CoverBuild::Filled);
    ASSERT_EQ(cover.size(), 48u);
    const PlaybackWindow& w = cover[2 * 6 + 3];  // tile row 2, column 3
    EXPECT_EQ(w.OriginalStartX, 300);
    EXPECT_EQ(w.OriginalStartY, 120);
    EXPECT_EQ(w.TargetStartX, 300);
    EXPECT_EQ(w.TargetStartY, 120);
}

TEST(BuildCoverWindows, HundredBySixtyBlockInTheOtherDirection) {
    PlaybackWindows cover;
    ASSERT_EQ(
        BuildCoverWindows({MakeWindow(0, 0, 100, 60, 0, 0, 0)}, Head(640, 480, 640, 480), CoverMode::Different, cover),
        CoverBuild::Filled);
    ASSERT_EQ(cover.size(), 36u);                // min(6, 8) x min(8, 6)
    const PlaybackWindow& w = cover[2 * 6 + 3];  // i = 2, j = 3
    EXPECT_EQ(w.OriginalStartX, 300);
    EXPECT_EQ(w.OriginalStartY, 120);
    EXPECT_EQ(w.TargetStartX, 200);
    EXPECT_EQ(w.TargetStartY, 180);
}

TEST(BuildCoverWindows, CopiesKeepSizeModeAndReservedByteAndStartWithTheMap) {
    PlaybackWindow turned = MakeWindow(10, 0, 30, 20, 0, 5, 1);  // placed 20 x 30
    turned.Reserved = 0x5C;
    const PlaybackWindows map = {MakeWindow(0, 0, 10, 20, 20, 0, 4), turned};
    PlaybackWindows cover;
    ASSERT_EQ(BuildCoverWindows(map, Head(200, 100, 200, 100), CoverMode::Same, cover), CoverBuild::Filled);
    ASSERT_GE(cover.size(), 2u);
    EXPECT_EQ(cover[0], map[0]);
    EXPECT_EQ(cover[1], map[1]);
    // Extents c = 40, d = 20, b = 30, e = 35: min(5, 2) rows x min(5, 6) columns of two windows.
    EXPECT_EQ(cover.size(), 2u * 5u * 2u);
    for (std::size_t i = 0; i < cover.size(); ++i) {
        const PlaybackWindow& w = cover[i];
        const PlaybackWindow& k = map[i % 2];
        EXPECT_EQ(w.Width, k.Width);
        EXPECT_EQ(w.Height, k.Height);
        EXPECT_EQ(w.PlacedWidth, k.PlacedWidth);
        EXPECT_EQ(w.PlacedHeight, k.PlacedHeight);
        EXPECT_EQ(w.MapMode, k.MapMode);
        EXPECT_EQ(w.Reserved, k.Reserved);
        EXPECT_TRUE(Fits(w, Head(200, 100, 200, 100))) << i;
    }
}

TEST(BuildCoverWindows, ZeroExtentAndEmptyMap) {
    PlaybackWindows cover = {MakeWindow(1, 1, 1, 1, 1, 1, 0)};  // emptied first
    EXPECT_EQ(BuildCoverWindows({}, Head(640, 480, 640, 480), CoverMode::Same, cover), CoverBuild::NotPossible);
    EXPECT_TRUE(cover.empty());
    PlaybackWindow unknown = MakeWindow(0, 0, 10, 10, 0, 0, 0);
    unknown.MapMode = 9;
    unknown.UpdatePlacedSize();  // placed 0 x 0: target extent 0
    EXPECT_EQ(BuildCoverWindows({unknown}, Head(640, 480, 640, 480), CoverMode::Different, cover),
              CoverBuild::NotPossible);
    EXPECT_TRUE(cover.empty());
}

TEST(BuildCoverWindows, BlockAsLargeAsThePicturesIsOneTile) {
    const PlaybackWindows map = {MakeWindow(0, 0, 320, 480, 320, 0, 0), MakeWindow(320, 0, 320, 480, 0, 0, 4)};
    PlaybackWindows cover;
    ASSERT_EQ(BuildCoverWindows(map, Head(640, 480, 640, 480), CoverMode::Same, cover), CoverBuild::Filled);
    EXPECT_EQ(cover, map);
    ASSERT_EQ(BuildCoverWindows(map, Head(640, 480, 640, 480), CoverMode::Different, cover), CoverBuild::Filled);
    EXPECT_EQ(cover, map);
}

TEST(BuildCoverWindows, BlockWiderThanTheOriginalGivesNothingButIsFilled) {
    PlaybackWindows cover;
    EXPECT_EQ(BuildCoverWindows({MakeWindow(0, 0, 700, 10, 0, 0, 0)}, Head(640, 480, 800, 480), CoverMode::Same, cover),
              CoverBuild::Filled);
    EXPECT_TRUE(cover.empty());
}

TEST(BuildCoverWindows, DifferentExtentsInSourceAndTarget) {
    // c = 100, b = 200 with OW = TW = 640: min(6, 3) = 3 tile columns; d = e = 480: one row.
    const PlaybackWindows map = {MakeWindow(0, 0, 100, 480, 100, 0, 0)};
    PlaybackWindows cover;
    ASSERT_EQ(BuildCoverWindows(map, Head(640, 480, 640, 480), CoverMode::Same, cover), CoverBuild::Filled);
    ASSERT_EQ(cover.size(), 3u);
    EXPECT_EQ(cover[2].OriginalStartX, 200);
    EXPECT_EQ(cover[2].TargetStartX, 500);
}

TEST(BuildCoverWindows, DifferentDirectionFillsOnlyAsManyColumnsAsSourceRows) {
    // d = 200 in OH = 400: gy = 2; b = 100 in TW = 500: tx = 5. Only i = 0, 1.
    const PlaybackWindows map = {MakeWindow(0, 0, 50, 200, 0, 0, 0)};
    // Placed 50 x 200, target start 50: b = 100, e = 200; TH = 1000: ty = 5; OW = 200: gx = 4.
    PlaybackWindows cover;
    PlaybackWindow w = map[0];
    w.TargetStartX = 50;
    ASSERT_EQ(BuildCoverWindows({w}, Head(200, 400, 500, 1000), CoverMode::Different, cover), CoverBuild::Filled);
    ASSERT_EQ(cover.size(), 2u * 4u);
    int maxColumn = 0;
    for (const PlaybackWindow& c : cover) maxColumn = std::max(maxColumn, (c.TargetStartX - 50) / 100);
    EXPECT_EQ(maxColumn, 1);
}

TEST(BuildCoverWindows, OnePixelWindowOver2000PicturesGivesFourMillion) {
    PlaybackWindows cover;
    ASSERT_EQ(
        BuildCoverWindows({MakeWindow(0, 0, 1, 1, 0, 0, 0)}, Head(2000, 2000, 2000, 2000), CoverMode::Same, cover),
        CoverBuild::Filled);
    ASSERT_EQ(cover.size(), 4000000u);
    EXPECT_EQ(cover.back().OriginalStartX, 1999);
    EXPECT_EQ(cover.back().TargetStartY, 1999);
}

TEST(BuildCoverWindows, TooLargeACoverIsRefusedNotAllocated) {
    // 255 one-pixel windows tiled over 65535 x 65535 would be about a trillion entries.
    const PlaybackWindows map(255, MakeWindow(0, 0, 1, 1, 0, 0, 0));
    PlaybackWindows cover;
    EXPECT_EQ(BuildCoverWindows(map, Head(65535, 65535, 65535, 65535), CoverMode::Same, cover), CoverBuild::TooLarge);
    EXPECT_TRUE(cover.empty());
}

// The block table must give exactly the picture of remapping every generated cover window,
// over the whole target and over any part of it (the Target view builds bands).
TEST(CoverBlock, MatchesRemappingTheGeneratedWindows) {
    std::mt19937 random(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 60; ++round) {
        const MapFileHead head = Head(pick(20, 90), pick(20, 90), pick(20, 90), pick(20, 90));
        PlaybackWindows windows;
        for (int k = pick(1, 5); k > 0; --k) {
            const int w = pick(1, 12), h = pick(1, 12);
            PlaybackWindow win = MakeWindow(pick(0, 15), pick(0, 15), w, h, 0, 0, pick(0, 6));
            win.TargetStartX = static_cast<std::uint16_t>(pick(0, 15));
            win.TargetStartY = static_cast<std::uint16_t>(pick(0, 15));
            windows.push_back(win);
        }
        const ColourPlanes source = RandomPlanes(head.OriginalWidth, head.OriginalHeight, random);
        for (const CoverMode mode : {CoverMode::Same, CoverMode::Different}) {
            PlaybackWindows cover;
            ASSERT_EQ(BuildCoverWindows(windows, head, mode, cover), CoverBuild::Filled);
            CoverBlock block;
            ASSERT_EQ(block.Build(windows, head, mode), CoverBuild::Filled);
            ASSERT_EQ(block.HasTiles(), !cover.empty());
            if (cover.empty()) continue;
            TargetPlanes expected, actual;
            RemapWindows(source, cover, head.TargetWidth, head.TargetHeight, expected);
            block.RemapArea(source, 0, 0, head.TargetWidth, head.TargetHeight, actual);
            ASSERT_TRUE(SamePlanes(expected, actual)) << "round " << round << " mode " << static_cast<int>(mode);

            // A part: the same pixels as the whole picture there.
            const int left = pick(0, head.TargetWidth - 1), top = pick(0, head.TargetHeight - 1);
            const int w = pick(1, head.TargetWidth - left), h = pick(1, head.TargetHeight - top);
            block.RemapArea(source, left, top, w, h, actual);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    for (int ch = 0; ch < 3; ++ch)
                        ASSERT_EQ(actual.Plane(ch)[y * w + x],
                                  expected.Plane(ch)[(top + y) * head.TargetWidth + left + x]);
        }
    }
}

// Three 1 x 1 windows tiled over 2000 x 2000 pictures are 12 million cover windows, beyond
// what the generated list may hold; the block still covers the whole target: the original
// copied, or transposed in the other direction.
TEST(CoverBlock, CoversWhereTheGeneratedListIsRefused) {
    const MapFileHead head = Head(2000, 2000, 2000, 2000);
    const PlaybackWindows windows = {MakeWindow(0, 0, 1, 1, 0, 0, 3), MakeWindow(0, 0, 1, 1, 0, 0, 1),
                                     MakeWindow(0, 0, 1, 1, 0, 0, 0)};
    PlaybackWindows cover;
    ASSERT_EQ(BuildCoverWindows(windows, head, CoverMode::Same, cover), CoverBuild::TooLarge);

    std::mt19937 random(5);
    const ColourPlanes source = RandomPlanes(2000, 2000, random);
    for (const CoverMode mode : {CoverMode::Same, CoverMode::Different}) {
        CoverBlock block;
        ASSERT_EQ(block.Build(windows, head, mode), CoverBuild::Filled);
        TargetPlanes target;
        block.RemapArea(source, 0, 0, 2000, 2000, target);
        for (int y = 0; y < 2000; ++y)
            for (int x = 0; x < 2000; ++x) {
                const int from = mode == CoverMode::Same ? y * 2000 + x : x * 2000 + y;
                ASSERT_EQ(target.Green()[y * 2000 + x], source.Green()[from])
                    << x << "," << y << " mode " << static_cast<int>(mode);
            }
    }
}

TEST(CoverBlock, ZeroExtentAndBlocksBeyondTheTableAreRefused) {
    CoverBlock block;
    EXPECT_EQ(block.Build({}, Head(640, 480, 640, 480), CoverMode::Same), CoverBuild::NotPossible);
    EXPECT_FALSE(block.HasTiles());
    // Only a head the reader would refuse with windows can carry a block this large.
    const PlaybackWindows huge = {MakeWindow(0, 0, 5000, 5000, 0, 0, 0)};
    EXPECT_EQ(block.Build(huge, Head(10000, 10000, 10000, 10000), CoverMode::Same), CoverBuild::TooLarge);
    EXPECT_FALSE(block.HasTiles());
    EXPECT_EQ(CoverTooLargeText(huge),
              "The cover is not shown: its block of windows is 5000 x 5000 in the original "
              "and 5000 x 5000 in the target, and neither may exceed 16777216 pixels");
}

TEST(CoverModeFromOption, BitsTwoAndFour) {
    EXPECT_EQ(CoverModeFromOption(0), CoverMode::None);
    EXPECT_EQ(CoverModeFromOption(4), CoverMode::None);
    EXPECT_EQ(CoverModeFromOption(2), CoverMode::Same);
    EXPECT_EQ(CoverModeFromOption(6), CoverMode::Different);
}

}  // namespace
}  // namespace tesselink
