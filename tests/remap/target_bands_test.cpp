// SPDX-License-Identifier: GPL-3.0-or-later
// The target picture built in bands is the picture of the full-size planes, word for word.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "remap/remap.h"
#include "remap/target_bands.h"
#include "support/test_planes.h"

namespace tesselink {
namespace {

using testing::RandomPlanes;

std::vector<std::uint32_t> WholePicture(const ColourPlanes& source, const PlaybackWindows& windows, int w, int h) {
    TargetPlanes planes;
    RemapWindows(source, windows, w, h, planes);
    std::vector<std::uint32_t> words(static_cast<std::size_t>(w) * h);
    TargetPlanesToRgb32(planes, words.data(), w);
    return words;
}

// Wide targets cut into bands of a few rows; windows of every mode cross the band edges, overlap,
// reach past both pictures' edges, and one has an unknown mode.
TEST(TargetBands, WindowsAcrossBandEdgesGiveTheWholePicture) {
    std::mt19937 random(31);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 12; ++round) {
        const int tw = pick(2500, 4100), th = pick(40, 90);
        ASSERT_LE(TargetBandRows(tw) * 2, th) << "the target must span several bands";
        const ColourPlanes source = RandomPlanes(pick(100, 300), pick(60, 120), random);
        PlaybackWindows windows;
        for (int k = pick(3, 12); k > 0; --k)
            windows.push_back(MakeWindow(pick(0, source.Width() - 1), pick(0, source.Height() - 1), pick(1, 90),
                                         pick(1, 90), pick(0, tw - 1), pick(0, th - 1), pick(0, 5)));
        windows.push_back(MakeWindow(0, 0, 40, 40, 3, 3, 0));
        windows.back().MapMode = 7;
        const auto expected = WholePicture(source, windows, tw, th);
        const std::ptrdiff_t stride = tw + 3;  // rows with padding that stays untouched
        std::vector<std::uint32_t> banded(static_cast<std::size_t>(stride) * th, 0x12345678u);
        TargetBandScratch scratch;
        ASSERT_TRUE(RemapWindowsToRgb32(source, windows, tw, th, banded.data(), stride, scratch));
        for (int y = 0; y < th; ++y) {
            for (int x = 0; x < tw; ++x)
                ASSERT_EQ(banded[y * stride + x], expected[static_cast<std::size_t>(y) * tw + x])
                    << "round " << round << " pixel (" << x << ", " << y << ")";
            for (int x = tw; x < stride; ++x) ASSERT_EQ(banded[y * stride + x], 0x12345678u);
        }
    }
}

// A band that could not be made ends the build as a failure, never as a finished picture.
TEST(TargetBands, ABandNotMadeIsAFailure) {
    std::vector<std::uint32_t> words(3000 * 40);
    TargetBandScratch scratch;
    int calls = 0;
    const bool built =
        BuildRgb32InBands(3000, 40, words.data(), 3000, scratch, [&](int, int rows, TargetBandScratch& s) {
            if (++calls == 2) return;  // the second band runs out of memory
            s.Band.Allocate(3000, rows);
        });
    EXPECT_FALSE(built);
    EXPECT_EQ(calls, 2);

    ColourPlanes absent;
    EXPECT_FALSE(RemapWindowsToRgb32(absent, {MakeWindow(0, 0, 1, 1, 0, 0, 0)}, 3000, 40, words.data(), 3000, scratch));
}

}  // namespace
}  // namespace tesselink
