// SPDX-License-Identifier: GPL-3.0-or-later
// Cutting windows to an area of the target gives exactly that area of the full picture.
#include <gtest/gtest.h>

#include <random>

#include "remap/remap.h"
#include "remap/window_clip.h"
#include "support/test_planes.h"

using namespace tesselink;
using tesselink::testing::NumberedPlanes;

namespace {

// The area of the full target picture, pixel by pixel, against the picture built from the cut windows.
void ExpectAreaMatches(const ColourPlanes& source, const PlaybackWindows& windows, int tw, int th,
                       const PixelRect& area) {
    TargetPlanes full, part;
    RemapWindows(source, windows, tw, th, full);
    PlaybackWindows cut;
    ClipWindowsToArea(windows, area, cut);
    RemapWindows(source, cut, area.Width(), area.Height(), part);
    for (int y = 0; y < area.Height(); ++y) {
        for (int x = 0; x < area.Width(); ++x) {
            const std::size_t f = static_cast<std::size_t>(y + area.top) * tw + x + area.left;
            const std::size_t p = static_cast<std::size_t>(y) * area.Width() + x;
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(part.Plane(c)[p], full.Plane(c)[f])
                    << "pixel (" << x + area.left << ", " << y + area.top << ") channel " << c << " of area ("
                    << area.left << ", " << area.top << ", " << area.right << ", " << area.bottom << ")";
            }
        }
    }
}

}  // namespace

TEST(WindowClip, EveryModeCutAtEverySide) {
    const ColourPlanes source = NumberedPlanes(64, 48);
    for (int mode = 0; mode < MapModeCount; ++mode) {
        // 13 x 7 from (5, 9), placed at (10, 12): the area cuts it on each side in turn.
        const PlaybackWindows windows = {MakeWindow(5, 9, 13, 7, 10, 12, mode)};
        SCOPED_TRACE(mode);
        ExpectAreaMatches(source, windows, 50, 40, PixelRect{13, 0, 50, 40});
        ExpectAreaMatches(source, windows, 50, 40, PixelRect{0, 14, 50, 40});
        ExpectAreaMatches(source, windows, 50, 40, PixelRect{0, 0, 16, 40});
        ExpectAreaMatches(source, windows, 50, 40, PixelRect{0, 0, 50, 15});
        ExpectAreaMatches(source, windows, 50, 40, PixelRect{12, 13, 15, 16});
    }
}

TEST(WindowClip, RandomMapsAndAreasGiveTheSamePixels) {
    const ColourPlanes source = NumberedPlanes(80, 60);
    std::mt19937 random(4);
    for (int round = 0; round < 200; ++round) {
        PlaybackWindows windows;
        const int count = 1 + static_cast<int>(random() % 6);
        for (int k = 0; k < count; ++k) {
            const int mode = static_cast<int>(random() % 6);
            const int w = 1 + static_cast<int>(random() % 30), h = 1 + static_cast<int>(random() % 30);
            const int pw = (mode == 1 || mode == 2) ? h : w, ph = (mode == 1 || mode == 2) ? w : h;
            windows.push_back(MakeWindow(
                static_cast<int>(random() % (80 - w + 1)), static_cast<int>(random() % (60 - h + 1)), w, h,
                static_cast<int>(random() % (70 - pw + 1)), static_cast<int>(random() % (50 - ph + 1)), mode));
        }
        const int l = static_cast<int>(random() % 70), t = static_cast<int>(random() % 50);
        const PixelRect area{l, t, l + 1 + static_cast<int>(random() % (70 - l)),
                             t + 1 + static_cast<int>(random() % (50 - t))};
        ExpectAreaMatches(source, windows, 70, 50, area);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(WindowClip, WindowsOutsideTheAreaOrOfUnknownModeAreLeftOut) {
    PlaybackWindows windows = {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(0, 0, 10, 10, 40, 40, 0),
                               MakeWindow(0, 0, 10, 10, 20, 20, 0)};
    windows[2].MapMode = 9;
    PlaybackWindows cut;
    ClipWindowsToArea(windows, PixelRect{15, 15, 35, 35}, cut);
    EXPECT_TRUE(cut.empty());
    ClipWindowsToArea(windows, PixelRect{5, 5, 45, 45}, cut);
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0], MakeWindow(5, 5, 5, 5, 0, 0, 0));
    EXPECT_EQ(cut[1], MakeWindow(0, 0, 5, 5, 35, 35, 0));
}
