// SPDX-License-Identifier: GPL-3.0-or-later
// Every form of the movers this processor runs, against plain index arithmetic.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "remap/remap_kernels.h"

namespace tesselink::kernels {
namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t n, std::mt19937& random) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(random());
    return v;
}

std::vector<KernelSet> AvailableSets() {
    std::vector<KernelSet> sets;
    for (KernelSet set : {KernelSet::Portable, KernelSet::Sse2, KernelSet::Ssse3, KernelSet::Avx2})
        if (KernelSetAvailable(set)) sets.push_back(set);
    return sets;
}

TEST(KernelSets, BestIsAvailableAndPortableAlwaysIs) {
    EXPECT_TRUE(KernelSetAvailable(KernelSet::Portable));
    EXPECT_TRUE(KernelSetAvailable(BestKernelSet()));
#if defined(__x86_64__)
    EXPECT_NE(BestKernelSet(), KernelSet::Portable);
#endif
}

// Widths around every vector width and unroll step, several rows, both directions of writing,
// destinations at several alignments, guard bytes before and after every destination row.
TEST(RowMovers, CopyAndReverseAtEveryWidthAlignmentAndRowOrder) {
    std::mt19937 random(5);
    std::vector<int> widths;
    for (int n = 0; n <= 100; ++n) widths.push_back(n);
    for (int n : {127, 128, 129, 191, 1919, 1920}) widths.push_back(n);
    for (bool reversed : {false, true}) {
        const auto move = reversed ? ReverseRows : CopyRows;
        for (KernelSet set : AvailableSets()) {
            for (int n : widths) {
                const int rows = 3;
                const std::ptrdiff_t srcStride = n + 7, dstStride = n + 2;
                const auto src = RandomBytes(static_cast<std::size_t>(srcStride) * rows, random);
                for (int offset : {1, 16, 33}) {
                    for (bool bottomFirst : {false, true}) {
                        std::vector<std::uint8_t> dst(static_cast<std::size_t>(dstStride) * rows + offset + 1, 0x5A);
                        std::uint8_t* first = dst.data() + offset + (bottomFirst ? (rows - 1) * dstStride : 0);
                        move(set, src.data(), srcStride, first, bottomFirst ? -dstStride : dstStride, n, rows);
                        for (int r = 0; r < rows; ++r) {
                            const std::uint8_t* out =
                                dst.data() + offset + (bottomFirst ? rows - 1 - r : r) * dstStride;
                            for (int i = 0; i < n; ++i)
                                ASSERT_EQ(out[i], src[r * srcStride + (reversed ? n - 1 - i : i)])
                                    << KernelSetName(set) << " reversed " << reversed << " width " << n << " row " << r
                                    << " offset " << offset << " bottom first " << bottomFirst;
                            ASSERT_EQ(out[-1], 0x5A) << KernelSetName(set) << " width " << n;  // guard or row padding
                            ASSERT_EQ(out[n], 0x5A) << KernelSetName(set) << " width " << n;
                        }
                    }
                }
            }
        }
    }
}

TEST(Transpose, OddSizesAndNegativeStridesInEveryForm) {
    std::mt19937 random(6);
    const std::vector<std::pair<int, int>> sizes{{1, 1},   {15, 17}, {16, 16},   {17, 16}, {32, 48}, {65, 33},
                                                 {100, 3}, {3, 100}, {130, 129}, {8, 16},  {5, 33},  {12, 240}};
    for (KernelSet set : AvailableSets()) {
        for (const auto& size : sizes) {
            const int w = size.first, h = size.second;
            const int srcStride = w + 5, dstStride = h + 3;
            const auto src = RandomBytes(static_cast<std::size_t>(srcStride) * h, random);
            for (int flip = 0; flip < 4; ++flip) {
                // flip bit 0: read the source bottom row first; bit 1: write the destination bottom row first.
                const std::uint8_t* s = (flip & 1) ? src.data() + (h - 1) * srcStride : src.data();
                const std::ptrdiff_t ss = (flip & 1) ? -srcStride : srcStride;
                std::vector<std::uint8_t> out(static_cast<std::size_t>(dstStride) * w, 0x77);
                std::uint8_t* d = (flip & 2) ? out.data() + (w - 1) * dstStride : out.data();
                const std::ptrdiff_t ds = (flip & 2) ? -dstStride : dstStride;
                Transpose(set, s, ss, d, ds, w, h);
                for (int x = 0; x < w; ++x)
                    for (int y = 0; y < h; ++y)
                        ASSERT_EQ(d[x * ds + y], s[y * ss + x])
                            << KernelSetName(set) << " " << w << "x" << h << " flip " << flip;
                for (int x = 0; x < w; ++x)  // the padding bytes of each destination row stay untouched
                    for (int y = h; y < dstStride; ++y) ASSERT_EQ(out[x * dstStride + y], 0x77) << KernelSetName(set);
            }
        }
    }
}

// Each map mode through RemapBlock, by its pixel formula, in every form.
TEST(RemapBlock, EveryModeInEveryFormFollowsItsFormula) {
    std::mt19937 random(7);
    for (KernelSet set : AvailableSets()) {
        for (const auto& size : std::vector<std::pair<int, int>>{{1, 1}, {3, 2}, {33, 17}, {70, 65}}) {
            const int W = size.first, H = size.second;
            const int srcStride = W + 3;
            const auto src = RandomBytes(static_cast<std::size_t>(srcStride) * H, random);
            for (int mode = 0; mode < 6; ++mode) {
                const bool turned = mode == 1 || mode == 2;
                const int tw = turned ? H : W, th = turned ? W : H;
                const int dstStride = tw + 4;
                std::vector<std::uint8_t> dst(static_cast<std::size_t>(dstStride) * th, 0x33);
                RemapBlock(mode, src.data(), srcStride, W, H, dst.data(), dstStride, set);
                for (int r = 0; r < H; ++r) {
                    for (int c = 0; c < W; ++c) {
                        int x = c, y = r;
                        switch (mode) {
                        case 1:
                            x = H - 1 - r;
                            y = c;
                            break;
                        case 2:
                            x = r;
                            y = W - 1 - c;
                            break;
                        case 3: y = H - 1 - r; break;
                        case 4: x = W - 1 - c; break;
                        case 5:
                            x = W - 1 - c;
                            y = H - 1 - r;
                            break;
                        }
                        ASSERT_EQ(dst[y * dstStride + x], src[r * srcStride + c])
                            << KernelSetName(set) << " mode " << mode << " " << W << "x" << H;
                    }
                }
                for (int y = 0; y < th; ++y)
                    for (int x = tw; x < dstStride; ++x) ASSERT_EQ(dst[y * dstStride + x], 0x33) << mode;
            }
        }
    }
}

}  // namespace
}  // namespace tesselink::kernels
