// SPDX-License-Identifier: GPL-3.0-or-later
// The RGB to Y'CbCr loops against the matrices' defining formulas, and the vector form against
// the baseline.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "video/rgb_to_yuv.h"

namespace tesselink {
namespace {

struct Matrix {
    int space;  // AVColorSpace number
    double kr, kb;
};

// Limited-range Y', Cb, Cr of a colour (components 0..255) by the textbook formulas.
void Reference(const Matrix& m, double r, double g, double b, double& y, double& cb, double& cr) {
    const double luma = m.kr * r + (1 - m.kr - m.kb) * g + m.kb * b;
    y = 16 + 219 * luma / 255;
    cb = 128 + 224 * (b - luma) / (2 * (1 - m.kb)) / 255;
    cr = 128 + 224 * (r - luma) / (2 * (1 - m.kr)) / 255;
}

int R(std::uint32_t w) { return static_cast<int>((w >> 16) & 255); }
int G(std::uint32_t w) { return static_cast<int>((w >> 8) & 255); }
int B(std::uint32_t w) { return static_cast<int>(w & 255); }

const Matrix Matrices[] = {{2, 0.299, 0.114}, {5, 0.299, 0.114}, {1, 0.2126, 0.0722}, {9, 0.2627, 0.0593}};

TEST(RgbToYuvTest, FourTwoZeroFollowsTheMatrixWithTheBlocksMeanColour) {
    constexpr int W = 38, H = 6;  // rows longer than a vector step plus a tail
    std::mt19937 random(9);
    std::vector<std::uint32_t> words(W * H);
    for (auto& w : words) w = 0xFF000000u | (random() & 0xFFFFFFu);
    words[0] = 0xFF000000u;  // black and white reach the ends of the ranges
    words[1] = 0xFFFFFFFFu;
    for (const Matrix& m : Matrices) {
        for (const kernels::KernelSet set : {kernels::KernelSet::Portable, kernels::BestKernelSet()}) {
            std::vector<std::uint8_t> y(W * H), u(W * H / 4), v(W * H / 4);
            WordsToYuv420(words.data(), W, W, H, YuvPlanes{y.data(), u.data(), v.data(), W, W / 2, W / 2},
                          YuvWeightsFor(m.space), set);
            for (int row = 0; row < H; ++row)
                for (int x = 0; x < W; ++x) {
                    const std::uint32_t p = words[row * W + x];
                    double ry, rcb, rcr;
                    Reference(m, R(p), G(p), B(p), ry, rcb, rcr);
                    ASSERT_NEAR(y[row * W + x], ry, 0.51) << m.space << " at " << x << ", " << row;
                }
            for (int row = 0; row < H / 2; ++row)
                for (int x = 0; x < W / 2; ++x) {
                    const std::uint32_t a = words[2 * row * W + 2 * x], b = words[2 * row * W + 2 * x + 1];
                    const std::uint32_t c = words[(2 * row + 1) * W + 2 * x], d = words[(2 * row + 1) * W + 2 * x + 1];
                    double ry, rcb, rcr;
                    Reference(m, (R(a) + R(b) + R(c) + R(d)) / 4.0, (G(a) + G(b) + G(c) + G(d)) / 4.0,
                              (B(a) + B(b) + B(c) + B(d)) / 4.0, ry, rcb, rcr);
                    ASSERT_NEAR(u[row * W / 2 + x], rcb, 0.51) << m.space << " at " << x << ", " << row;
                    ASSERT_NEAR(v[row * W / 2 + x], rcr, 0.51) << m.space << " at " << x << ", " << row;
                }
            EXPECT_EQ(y[0], 16);
            EXPECT_EQ(y[1], 235);
        }
    }
}

TEST(RgbToYuvTest, FourFourFourConvertsEveryPixelOfAnOddSize) {
    constexpr int W = 13, H = 3, Stride = 16;
    std::mt19937 random(10);
    std::vector<std::uint32_t> words(Stride * H);
    for (auto& w : words) w = 0xFF000000u | (random() & 0xFFFFFFu);
    const Matrix& m = Matrices[2];
    std::vector<std::uint8_t> y(W * H), u(W * H), v(W * H);
    WordsToYuv444(words.data(), Stride, W, H, YuvPlanes{y.data(), u.data(), v.data(), W, W, W}, YuvWeightsFor(m.space));
    for (int row = 0; row < H; ++row)
        for (int x = 0; x < W; ++x) {
            const std::uint32_t p = words[row * Stride + x];
            double ry, rcb, rcr;
            Reference(m, R(p), G(p), B(p), ry, rcb, rcr);
            ASSERT_NEAR(y[row * W + x], ry, 0.51);
            ASSERT_NEAR(u[row * W + x], rcb, 0.51);
            ASSERT_NEAR(v[row * W + x], rcr, 0.51);
        }
}

}  // namespace
}  // namespace tesselink
