// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// 0xffRRGGBB words into the 8-bit, limited-range Y'CbCr planes H.264 is encoded from. libswscale
// takes 5 to 10 ms for a 1080p frame here, a sixth of what the encoder itself costs; these loops
// take about one.

#include <cstddef>
#include <cstdint>

#include "remap/remap_kernels.h"

namespace tesselink {

struct YuvPlanes {
    std::uint8_t* Y = nullptr;
    std::uint8_t* U = nullptr;  // Cb
    std::uint8_t* V = nullptr;  // Cr
    std::ptrdiff_t YStride = 0;
    std::ptrdiff_t UStride = 0;
    std::ptrdiff_t VStride = 0;
};

// Fixed-point weights (scaled by 1 << 15) of one matrix, told by its AVColorSpace number: BT.709 (1),
// FCC (4), BT.601 (5, 6), SMPTE 240M (7), BT.2020 (9, 10); any other reads as BT.601, as FFmpeg does.
struct YuvWeights {
    int YR, YG, YB;
    int UR, UG, UB;
    int VR, VG, VB;
};
YuvWeights YuvWeightsFor(int colourSpace);

// Chroma of each 2 x 2 block from the block's mean colour. `width` and `height` even.
void WordsToYuv420(const std::uint32_t* words, std::ptrdiff_t strideWords, int width, int height, const YuvPlanes& out,
                   const YuvWeights& weights, kernels::KernelSet set = kernels::BestKernelSet());

// Chroma at every pixel: any size.
void WordsToYuv444(const std::uint32_t* words, std::ptrdiff_t strideWords, int width, int height, const YuvPlanes& out,
                   const YuvWeights& weights, kernels::KernelSet set = kernels::BestKernelSet());

}  // namespace tesselink
