// SPDX-License-Identifier: GPL-3.0-or-later
// Window remap: the six formulas, list order, fill value, clipping of windows that do not fit.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "remap/remap.h"
#include "support/test_planes.h"

namespace tesselink {
namespace {

using testing::SamePlanes;

// Planes whose three channels hold different values derived from a letter per pixel.
ColourPlanes PlanesFromRows(const std::vector<std::string>& rows) {
    ColourPlanes planes;
    const int width = static_cast<int>(rows[0].size());
    planes.Allocate(width, static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = y * width + x;
            planes.Red()[i] = static_cast<std::uint8_t>(rows[y][x]);
            planes.Green()[i] = static_cast<std::uint8_t>(rows[y][x] + 1);
            planes.Blue()[i] = static_cast<std::uint8_t>(rows[y][x] + 2);
        }
    return planes;
}

// The target's red plane as text rows ('.' for the fill value).
std::vector<std::string> RedRows(const TargetPlanes& t) {
    std::vector<std::string> rows;
    for (int y = 0; y < t.Height(); ++y) {
        std::string row;
        for (int x = 0; x < t.Width(); ++x) {
            const std::uint8_t v = t.Red()[y * t.Width() + x];
            row += v == TargetFillValue ? '.' : static_cast<char>(v);
        }
        rows.push_back(row);
    }
    return rows;
}

ColourPlanes RandomPlanes(int width, int height, std::mt19937& random) {
    ColourPlanes planes;
    planes.Allocate(width, height);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int c = 0; c < 3; ++c)
        for (std::size_t i = 0; i < planes.PlaneSize(); ++i)
            planes.Plane(c)[i] = static_cast<std::uint8_t>(byte(random));
    return planes;
}

TEST(RemapWindows, ThreeByTwoWindowInAllSixModes) {
    // Source pixels a b c / d e f at (1, 1) of a 5 x 4 picture; footprint placed at (1, 2).
    const ColourPlanes source = PlanesFromRows({"zzzzz", "zabcz", "zdefz", "zzzzz"});
    const std::vector<std::vector<std::string>> expected = {
        {"abc", "def"}, {"da", "eb", "fc"}, {"cf", "be", "ad"}, {"def", "abc"}, {"cba", "fed"}, {"fed", "cba"},
    };
    for (int mode = 0; mode < 6; ++mode) {
        SCOPED_TRACE(mode);
        TargetPlanes target;
        RemapWindows(source, {MakeWindow(1, 1, 3, 2, 1, 2, mode)}, 6, 6, target);
        const auto rows = RedRows(target);
        for (std::size_t r = 0; r < expected[mode].size(); ++r)
            EXPECT_EQ(rows[2 + r].substr(1, expected[mode][r].size()), expected[mode][r]) << "row " << r;
        // Nothing outside the footprint is written, and green/blue follow red.
        int written = 0;
        for (std::size_t i = 0; i < target.PlaneSize(); ++i) {
            if (target.Red()[i] == TargetFillValue) {
                EXPECT_EQ(target.Green()[i], TargetFillValue);
                continue;
            }
            ++written;
            EXPECT_EQ(target.Green()[i], target.Red()[i] + 1);
            EXPECT_EQ(target.Blue()[i], target.Red()[i] + 2);
        }
        EXPECT_EQ(written, 6);
    }
}

TEST(RemapWindows, QuarterTurnOccupiesTwoColumnsAndThreeRows) {
    const ColourPlanes source = PlanesFromRows({"abc", "def"});
    TargetPlanes target;
    RemapWindows(source, {MakeWindow(0, 0, 3, 2, 0, 0, 1)}, 4, 4, target);
    EXPECT_EQ(RedRows(target), (std::vector<std::string>{"da..", "eb..", "fc..", "...."}));
}

TEST(RemapWindows, OnePixelWindowIsTheSameInEveryMode) {
    const ColourPlanes source = PlanesFromRows({"ab", "cd"});
    for (int mode = 0; mode < 6; ++mode) {
        TargetPlanes target;
        RemapWindows(source, {MakeWindow(1, 1, 1, 1, 2, 1, mode)}, 3, 2, target);
        EXPECT_EQ(RedRows(target), (std::vector<std::string>{"...", "..d"})) << mode;
    }
}

TEST(RemapWindows, LaterWindowWinsWhereTheyOverlap) {
    const ColourPlanes source = PlanesFromRows({"abcd", "efgh"});
    TargetPlanes target;
    RemapWindows(source, {MakeWindow(0, 0, 2, 2, 0, 0, 0), MakeWindow(2, 0, 2, 2, 1, 0, 0)}, 3, 2, target);
    EXPECT_EQ(RedRows(target), (std::vector<std::string>{"acd", "egh"}));
    RemapWindows(source, {MakeWindow(2, 0, 2, 2, 1, 0, 0), MakeWindow(0, 0, 2, 2, 0, 0, 0)}, 3, 2, target);
    EXPECT_EQ(RedRows(target), (std::vector<std::string>{"abd", "efh"}));
}

TEST(RemapWindows, ModeAboveFiveContributesNothing) {
    const ColourPlanes source = PlanesFromRows({"ab", "cd"});
    PlaybackWindow unknown = MakeWindow(0, 0, 2, 2, 0, 0, 0);
    unknown.MapMode = 6;
    unknown.PlacedWidth = 2;  // even with a placed size, an unknown mode is skipped
    unknown.PlacedHeight = 2;
    TargetPlanes target;
    RemapWindows(source, {unknown, MakeWindow(0, 0, 1, 1, 1, 1, 0)}, 2, 2, target);
    EXPECT_EQ(RedRows(target), (std::vector<std::string>{"..", ".a"}));
}

TEST(RemapWindows, EmptyListGivesAllFill) {
    const ColourPlanes source = PlanesFromRows({"ab"});
    TargetPlanes target;
    RemapWindows(source, {}, 7, 3, target);
    ASSERT_TRUE(target.IsPresent());
    EXPECT_EQ(target.Width(), 7);
    EXPECT_EQ(target.Height(), 3);
    for (int c = 0; c < 3; ++c)
        for (std::size_t i = 0; i < target.PlaneSize(); ++i) ASSERT_EQ(target.Plane(c)[i], 172);
}

TEST(RemapWindows, WithoutColourPlanesTargetIsLeftAsItWas) {
    ColourPlanes none;
    TargetPlanes target;
    RemapWindows(none, {MakeWindow(0, 0, 1, 1, 0, 0, 0)}, 4, 4, target);
    EXPECT_FALSE(target.IsPresent());

    const ColourPlanes source = PlanesFromRows({"ab"});
    RemapWindows(source, {MakeWindow(0, 0, 1, 1, 0, 0, 0)}, 2, 1, target);
    RemapWindows(none, {}, 5, 5, target);
    EXPECT_EQ(RedRows(target), (std::vector<std::string>{"a."}));
}

TEST(RemapWindows, ReusesTargetMemoryAcrossPaints) {
    const ColourPlanes source = PlanesFromRows({"ab"});
    TargetPlanes target;
    RemapWindows(source, {}, 64, 64, target);
    const std::uint8_t* red = target.Red();
    ReleaseTargetPlanes(target);
    EXPECT_FALSE(target.IsPresent());
    EXPECT_EQ(target.Width(), 0);
    RemapWindows(source, {}, 64, 64, target);
    EXPECT_EQ(target.Red(), red);
}

// Random windows of every mode (and of an unknown one), odd sizes, many not multiples of 16, with
// gaps and overlaps between them, against the per-pixel formula. The fast target is reused from
// round to round, so a pixel that is neither filled nor covered would keep an old value.
TEST(RemapWindows, FastPathsMatchTheReferenceFormula) {
    std::mt19937 random(1234);
    const ColourPlanes source = RandomPlanes(203, 157, random);
    const int tw = 211, th = 149;
    TargetPlanes fast;
    for (int round = 0; round < 60; ++round) {
        PlaybackWindows windows;
        const int count = std::uniform_int_distribution<int>(0, 24)(random);
        for (int k = 0; k < count; ++k) {
            const int mode = std::uniform_int_distribution<int>(0, 6)(random);
            const int w = std::uniform_int_distribution<int>(1, 70)(random);
            const int h = std::uniform_int_distribution<int>(1, 70)(random);
            const int ox = std::uniform_int_distribution<int>(0, 203 - w)(random);
            const int oy = std::uniform_int_distribution<int>(0, 157 - h)(random);
            PlaybackWindow win = MakeWindow(ox, oy, w, h, 0, 0, mode);
            win.TargetStartX =
                static_cast<std::uint16_t>(std::uniform_int_distribution<int>(0, tw - win.PlacedWidth)(random));
            win.TargetStartY =
                static_cast<std::uint16_t>(std::uniform_int_distribution<int>(0, th - win.PlacedHeight)(random));
            windows.push_back(win);
        }
        TargetPlanes portable, reference;
        RemapWindows(source, windows, tw, th, fast);
        RemapWindowsPortable(source, windows, tw, th, portable);
        RemapWindows(source, {}, tw, th, reference);
        for (const PlaybackWindow& w : windows) RemapWindowReference(source, w, reference);
        ASSERT_TRUE(SamePlanes(fast, reference)) << "round " << round;
        ASSERT_TRUE(SamePlanes(portable, reference)) << "round " << round;
    }
}

TEST(RemapWindows, WholePictureWindowsOfEveryModeMatchTheReference) {
    std::mt19937 random(99);
    for (const auto& size :
         std::vector<std::pair<int, int>>{{1, 1}, {16, 16}, {17, 33}, {64, 48}, {130, 70}, {2100, 3}, {5, 2049}}) {
        const ColourPlanes source = RandomPlanes(size.first, size.second, random);
        for (int mode = 0; mode < 6; ++mode) {
            const PlaybackWindow w = MakeWindow(0, 0, size.first, size.second, 0, 0, mode);
            TargetPlanes fast, reference;
            RemapWindows(source, {w}, w.PlacedWidth, w.PlacedHeight, fast);
            RemapWindows(source, {}, w.PlacedWidth, w.PlacedHeight, reference);
            RemapWindowReference(source, w, reference);
            EXPECT_TRUE(SamePlanes(fast, reference)) << size.first << "x" << size.second << " mode " << mode;
        }
    }
}

// Windows that break the fit rule (a hand-made file, or sizes changed underneath) are clipped to
// both pictures: exactly the pixels whose source and destination lie inside are copied.
TEST(RemapWindows, WindowsOutsideEitherPictureAreClipped) {
    std::mt19937 random(7);
    const ColourPlanes source = RandomPlanes(40, 30, random);
    for (int round = 0; round < 400; ++round) {
        const int mode = round % 6;
        std::uniform_int_distribution<int> start(0, 60), size(0, 70);
        PlaybackWindow w =
            MakeWindow(start(random), start(random), size(random), size(random), start(random), start(random), mode);
        if (round % 50 == 0) {  // extremes of the 16-bit fields
            w = MakeWindow(65535, 0, 65535, 65535, 0, 65535, mode);
        } else if (round % 50 == 1) {
            w = MakeWindow(0, 0, 65535, 65535, 0, 0, mode);
        }
        TargetPlanes fast, reference;
        RemapWindows(source, {w}, 35, 45, fast);
        RemapWindows(source, {}, 35, 45, reference);
        RemapWindowReference(source, w, reference);
        ASSERT_TRUE(SamePlanes(fast, reference)) << "round " << round << " mode " << mode;
    }
}

TEST(RemapWindows, TargetSmallerThanWindowAfterHeadChange) {
    // Placed size no longer matches the target at all: a zero-sized target is safe too.
    const ColourPlanes source = PlanesFromRows({"abcd", "efgh"});
    TargetPlanes target;
    RemapWindows(source, {MakeWindow(0, 0, 4, 2, 0, 0, 1)}, 0, 0, target);
    EXPECT_TRUE(target.IsPresent());
    EXPECT_EQ(target.PlaneSize(), 0u);
    RemapWindows(source, {MakeWindow(0, 0, 4, 2, 1, 1, 1)}, 2, 3, target);
    // Clockwise: target column k, row j holds S[j, H-1-k]; only k = 0 (column 1) and j < 2 fit.
    EXPECT_EQ(RedRows(target), (std::vector<std::string>{"..", ".e", ".f"}));
}

// Widths below, at and above each vector step, in every instruction set this processor runs.
TEST(TargetPlanesToRgb32, PacksRedGreenBlueOpaqueInEveryForm) {
    std::mt19937 random(3);
    for (const int width : {1, 15, 16, 37, 64, 77}) {
        TargetPlanes planes;
        planes.Allocate(width, 5);
        for (int c = 0; c < 3; ++c)
            for (std::size_t i = 0; i < planes.PlaneSize(); ++i)
                planes.Plane(c)[i] = static_cast<std::uint8_t>(random());
        const int stride = width + 3;
        for (const kernels::KernelSet set :
             {kernels::KernelSet::Portable, kernels::KernelSet::Sse2, kernels::KernelSet::Avx2}) {
            if (!kernels::KernelSetAvailable(set)) continue;
            std::vector<std::uint32_t> out(static_cast<std::size_t>(stride) * 5, 0);
            TargetPlanesToRgb32(planes, out.data(), stride, set);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < stride; ++x) {
                    const std::uint32_t p = out[static_cast<std::size_t>(y) * stride + x];
                    if (x >= width) {
                        ASSERT_EQ(p, 0u) << "padding touched";
                        continue;
                    }
                    const std::size_t i = static_cast<std::size_t>(y) * width + x;
                    const std::uint32_t expected = 0xFF000000u | (std::uint32_t(planes.Red()[i]) << 16) |
                                                   (std::uint32_t(planes.Green()[i]) << 8) | planes.Blue()[i];
                    ASSERT_EQ(p, expected)
                        << kernels::KernelSetName(set) << " width " << width << " at " << x << "," << y;
                }
        }
    }
}

}  // namespace
}  // namespace tesselink
