// SPDX-License-Identifier: GPL-3.0-or-later
// Colour planes: layout, channel order, bulk read against the pixel-by-pixel rule, source choice.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "remap/colour_planes.h"

namespace tesselink {
namespace {

struct Pixels {
    std::vector<std::uint32_t> words;
    PixelSource source;
};

Pixels RandomPixels(int width, int height, int strideWords, std::mt19937& random) {
    Pixels p;
    p.words.resize(static_cast<std::size_t>(strideWords) * height);
    for (auto& w : p.words) w = 0xFF000000u | (random() & 0xFFFFFF);
    p.source = PixelSource{p.words.data(), width, height, strideWords};
    return p;
}

// The rule as stated: read pixel (x, y) as 0x00BBGGRR, 0xFFFFFFFF outside; split the bytes.
std::uint32_t ReadPixel(const PixelSource& s, long long x, long long y) {
    if (x < 0 || y < 0 || x >= s.Width || y >= s.Height) return 0xFFFFFFFFu;
    const std::uint32_t argb = s.Pixels[y * s.StrideWords + x];
    return ((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16);
}

void ExpectPixelByPixel(const ColourPlanes& planes, const PixelSource& s, int ox, int oy) {
    std::size_t i = 0;
    for (int y = 0; y < planes.Height(); ++y)
        for (int x = 0; x < planes.Width(); ++x, ++i) {
            const std::uint32_t c = ReadPixel(s, ox + x, oy + y);
            ASSERT_EQ(planes.Red()[i], c & 0xFF) << x << "," << y;
            ASSERT_EQ(planes.Green()[i], (c >> 8) & 0xFF) << x << "," << y;
            ASSERT_EQ(planes.Blue()[i], (c >> 16) & 0xFF) << x << "," << y;
        }
}

// Crops touching every edge of the picture and beyond, widths around the vector steps, in every
// instruction set this processor runs.
TEST(BuildColourPlanes, BulkReadEqualsPixelByPixel) {
    std::mt19937 random(11);
    const Pixels p = RandomPixels(101, 67, 104, random);
    for (const kernels::KernelSet set :
         {kernels::KernelSet::Portable, kernels::KernelSet::Sse2, kernels::KernelSet::Avx2}) {
        if (!kernels::KernelSetAvailable(set)) continue;
        for (const int width : {53, 31, 32, 97}) {
            for (const auto& o :
                 std::vector<std::pair<int, int>>{{0, 0}, {3, 5}, {-7, -2}, {90, 60}, {200, 0}, {0, 100}, {4, 26}}) {
                ColourPlanes planes;
                BuildColourPlanes(planes, &p.source, o.first, o.second, width, 41, set);
                ASSERT_EQ(planes.Width(), width);
                ASSERT_EQ(planes.Height(), 41);
                ExpectPixelByPixel(planes, p.source, o.first, o.second);
                if (HasFatalFailure()) {
                    ADD_FAILURE() << kernels::KernelSetName(set) << " width " << width << " origin " << o.first << ","
                                  << o.second;
                    return;
                }
            }
        }
    }
}

TEST(BuildColourPlanes, PureRedGivesRedPlanesOf255) {
    std::vector<std::uint32_t> red(20 * 10, 0xFFFF0000u);
    const PixelSource s{red.data(), 20, 10, 20};
    ColourPlanes planes;
    BuildColourPlanes(planes, &s, 0, 0, 20, 10);
    for (std::size_t i = 0; i < planes.PlaneSize(); ++i) {
        ASSERT_EQ(planes.Red()[i], 255);
        ASSERT_EQ(planes.Green()[i], 0);
        ASSERT_EQ(planes.Blue()[i], 0);
    }
}

TEST(BuildColourPlanes, OutsideThePictureIsWhiteAndMissingFileIsBlack) {
    std::vector<std::uint32_t> black(4 * 4, 0xFF000000u);
    const PixelSource s{black.data(), 4, 4, 4};
    ColourPlanes planes;
    BuildColourPlanes(planes, &s, 2, 2, 4, 4);
    EXPECT_EQ(planes.Red()[0], 0);         // (2, 2) inside
    EXPECT_EQ(planes.Green()[2], 255);     // (4, 2) outside
    EXPECT_EQ(planes.Blue()[3 * 4], 255);  // (2, 5) outside

    BuildColourPlanes(planes, nullptr, 0, 0, 5, 3);
    ASSERT_EQ(planes.PlaneSize(), 15u);
    for (int c = 0; c < 3; ++c)
        for (std::size_t i = 0; i < 15; ++i) EXPECT_EQ(planes.Plane(c)[i], 0);
}

TEST(BuildColourPlanes, SizesAbove2000) {
    std::mt19937 random(12);
    const Pixels p = RandomPixels(2100, 3, 2100, random);
    ColourPlanes planes;
    BuildColourPlanes(planes, &p.source, 0, 0, 2100, 3);
    ExpectPixelByPixel(planes, p.source, 0, 0);
}

TEST(PlaneSet, ReleaseKeepsMemoryAndFreeHandsItBack) {
    PlaneSet set;
    EXPECT_FALSE(set.IsPresent());
    set.Allocate(30, 20);
    EXPECT_EQ(set.PlaneSize(), 600u);
    const std::uint8_t* green = set.Green();
    set.Release();
    set.Release();  // safe twice
    EXPECT_FALSE(set.IsPresent());
    EXPECT_EQ(set.Width(), 0);
    EXPECT_EQ(set.PlaneSize(), 0u);
    set.Allocate(20, 30);
    EXPECT_EQ(set.Green(), green);
    set.Free();
    EXPECT_FALSE(set.IsPresent());
}

TEST(ChooseColourPlaneSource, CentredCropOrStretch) {
    ColourPlaneSource exact = ChooseColourPlaneSource(640, 480, 640, 480);
    EXPECT_FALSE(exact.StretchBackground);
    EXPECT_EQ(exact.OriginX, 0);
    EXPECT_EQ(exact.OriginY, 0);

    ColourPlaneSource crop = ChooseColourPlaneSource(801, 600, 640, 480);
    EXPECT_FALSE(crop.StretchBackground);
    EXPECT_EQ(crop.OriginX, 80);
    EXPECT_EQ(crop.OriginY, 60);

    ColourPlaneSource narrow = ChooseColourPlaneSource(600, 900, 640, 480);
    EXPECT_TRUE(narrow.StretchBackground);
    EXPECT_EQ(narrow.OriginX, 0);
    EXPECT_EQ(narrow.OriginY, 0);

    EXPECT_TRUE(ChooseColourPlaneSource(1000, 479, 640, 480).StretchBackground);
    EXPECT_TRUE(ChooseColourPlaneSource(0, 0, 640, 480).StretchBackground);
}

}  // namespace
}  // namespace tesselink
