// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/rgb_to_yuv.h"

#include <cmath>

namespace tesselink {
namespace {

constexpr int Shift = 15;

// Plain loops over 32-bit lanes that the compiler turns into vector code: inlined once into the
// machine's baseline and once into AVX2 callers (eight pixels a step), picked at run time.
[[gnu::always_inline]] inline void Row420Body(const std::uint32_t* top, const std::uint32_t* bottom, int width,
                                              std::uint8_t* y0, std::uint8_t* y1, std::uint8_t* u, std::uint8_t* v,
                                              const YuvWeights& w) {
    const int yOffset = (16 << Shift) + (1 << (Shift - 1));
    for (int x = 0; x < width; ++x) {
        const int r0 = (top[x] >> 16) & 255, g0 = (top[x] >> 8) & 255, b0 = top[x] & 255;
        const int r1 = (bottom[x] >> 16) & 255, g1 = (bottom[x] >> 8) & 255, b1 = bottom[x] & 255;
        y0[x] = static_cast<std::uint8_t>((w.YR * r0 + w.YG * g0 + w.YB * b0 + yOffset) >> Shift);
        y1[x] = static_cast<std::uint8_t>((w.YR * r1 + w.YG * g1 + w.YB * b1 + yOffset) >> Shift);
    }
    // The mean of the block's four colours, carried as their sum two bits up.
    const int cOffset = (128 << (Shift + 2)) + (1 << (Shift + 1));
    for (int x = 0; x < width / 2; ++x) {
        const std::uint32_t a = top[2 * x], b = top[2 * x + 1], c = bottom[2 * x], d = bottom[2 * x + 1];
        const int r = static_cast<int>(((a >> 16) & 255) + ((b >> 16) & 255) + ((c >> 16) & 255) + ((d >> 16) & 255));
        const int g = static_cast<int>(((a >> 8) & 255) + ((b >> 8) & 255) + ((c >> 8) & 255) + ((d >> 8) & 255));
        const int bl = static_cast<int>((a & 255) + (b & 255) + (c & 255) + (d & 255));
        u[x] = static_cast<std::uint8_t>((w.UR * r + w.UG * g + w.UB * bl + cOffset) >> (Shift + 2));
        v[x] = static_cast<std::uint8_t>((w.VR * r + w.VG * g + w.VB * bl + cOffset) >> (Shift + 2));
    }
}

[[gnu::always_inline]] inline void Row444Body(const std::uint32_t* in, int width, std::uint8_t* y, std::uint8_t* u,
                                              std::uint8_t* v, const YuvWeights& w) {
    const int yOffset = (16 << Shift) + (1 << (Shift - 1));
    const int cOffset = (128 << Shift) + (1 << (Shift - 1));
    for (int x = 0; x < width; ++x) {
        const int r = (in[x] >> 16) & 255, g = (in[x] >> 8) & 255, b = in[x] & 255;
        y[x] = static_cast<std::uint8_t>((w.YR * r + w.YG * g + w.YB * b + yOffset) >> Shift);
        u[x] = static_cast<std::uint8_t>((w.UR * r + w.UG * g + w.UB * b + cOffset) >> Shift);
        v[x] = static_cast<std::uint8_t>((w.VR * r + w.VG * g + w.VB * b + cOffset) >> Shift);
    }
}

void Row420(const std::uint32_t* top, const std::uint32_t* bottom, int width, std::uint8_t* y0, std::uint8_t* y1,
            std::uint8_t* u, std::uint8_t* v, const YuvWeights& w) {
    Row420Body(top, bottom, width, y0, y1, u, v, w);
}

void Row444(const std::uint32_t* in, int width, std::uint8_t* y, std::uint8_t* u, std::uint8_t* v,
            const YuvWeights& w) {
    Row444Body(in, width, y, u, v, w);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx2"))) void Row420Avx2(const std::uint32_t* top, const std::uint32_t* bottom, int width,
                                                std::uint8_t* y0, std::uint8_t* y1, std::uint8_t* u, std::uint8_t* v,
                                                const YuvWeights& w) {
    Row420Body(top, bottom, width, y0, y1, u, v, w);
}

__attribute__((target("avx2"))) void Row444Avx2(const std::uint32_t* in, int width, std::uint8_t* y, std::uint8_t* u,
                                                std::uint8_t* v, const YuvWeights& w) {
    Row444Body(in, width, y, u, v, w);
}
#define TESSELINK_YUV_AVX2 1
#endif

}  // namespace

YuvWeights YuvWeightsFor(int colourSpace) {
    double kr = 0.299, kb = 0.114;
    switch (colourSpace) {
    case 1:
        kr = 0.2126;
        kb = 0.0722;
        break;
    case 4:
        kr = 0.30;
        kb = 0.11;
        break;
    case 7:
        kr = 0.212;
        kb = 0.087;
        break;
    case 9:
    case 10:
        kr = 0.2627;
        kb = 0.0593;
        break;
    default: break;
    }
    const double kg = 1 - kr - kb;
    const double ys = 219.0 / 255.0 * (1 << Shift), cs = 224.0 / 255.0 * (1 << Shift);
    auto round = [](double value) { return static_cast<int>(std::lround(value)); };
    YuvWeights w{};
    w.YR = round(ys * kr);
    w.YG = round(ys * kg);
    w.YB = round(ys * kb);
    // Cb = (B - Y) / (2 (1 - Kb)), Cr = (R - Y) / (2 (1 - Kr)); each row of weights sums to 0.
    w.UB = round(cs / 2);
    w.UR = round(-cs * kr / (2 * (1 - kb)));
    w.UG = -w.UB - w.UR;
    w.VR = round(cs / 2);
    w.VB = round(-cs * kb / (2 * (1 - kr)));
    w.VG = -w.VR - w.VB;
    return w;
}

void WordsToYuv420(const std::uint32_t* words, std::ptrdiff_t strideWords, int width, int height, const YuvPlanes& out,
                   const YuvWeights& weights, [[maybe_unused]] kernels::KernelSet set) {
    for (int y = 0; y + 1 < height; y += 2) {
        const std::uint32_t* top = words + y * strideWords;
        std::uint8_t* y0 = out.Y + y * out.YStride;
        std::uint8_t* u = out.U + (y / 2) * out.UStride;
        std::uint8_t* v = out.V + (y / 2) * out.VStride;
#ifdef TESSELINK_YUV_AVX2
        if (set == kernels::KernelSet::Avx2) {
            Row420Avx2(top, top + strideWords, width, y0, y0 + out.YStride, u, v, weights);
            continue;
        }
#endif
        Row420(top, top + strideWords, width, y0, y0 + out.YStride, u, v, weights);
    }
}

void WordsToYuv444(const std::uint32_t* words, std::ptrdiff_t strideWords, int width, int height, const YuvPlanes& out,
                   const YuvWeights& weights, [[maybe_unused]] kernels::KernelSet set) {
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* in = words + y * strideWords;
#ifdef TESSELINK_YUV_AVX2
        if (set == kernels::KernelSet::Avx2) {
            Row444Avx2(in, width, out.Y + y * out.YStride, out.U + y * out.UStride, out.V + y * out.VStride, weights);
            continue;
        }
#endif
        Row444(in, width, out.Y + y * out.YStride, out.U + y * out.UStride, out.V + y * out.VStride, weights);
    }
}

}  // namespace tesselink
