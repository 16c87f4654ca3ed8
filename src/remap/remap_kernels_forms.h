// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The forms behind the movers of remap_kernels.h, for the two files that hold them: the portable
// forms (remap_kernels.cpp), which the vector forms also use for what is left at the edges, and
// the x86 forms (remap_kernels_x86.cpp). The arguments are those of the movers; widths and
// heights are positive.

#include <cstddef>
#include <cstdint>

#include "remap/instruction_sets.h"

namespace tesselink::kernels {

// Source tiles of this many rows and columns keep both the rows read and the rows written
// in the first-level cache while the 16 x 16 tiles inside are moved.
constexpr int CacheTile = 64;

void CopyRowsPortable(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                      int width, int height);
void ReverseRowsPortable(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                         int width, int height);
void TransposePortable(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                       int width, int height);
// The columns right of the last whole 16-column tile, then the rows under the last whole
// 16-row tile; the vector forms move everything else.
void TransposeEdges(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                    int width, int height);

#if defined(TESSELINK_X86_KERNELS)
void CopyRowsSse2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                  int width, int height);
void ReverseRowsSse2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                     int width, int height);
void TransposeSse2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                   int width, int height);
TESSELINK_TARGET("ssse3")
void ReverseRowsSsse3(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                      int width, int height);
TESSELINK_TARGET("avx2")
void CopyRowsAvx2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                  int width, int height);
TESSELINK_TARGET("avx2")
void ReverseRowsAvx2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                     int width, int height);
TESSELINK_TARGET("avx2")
void TransposeAvx2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                   int width, int height);
#endif

}  // namespace tesselink::kernels
