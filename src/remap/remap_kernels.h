// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The row and block movers behind RemapWindows. Each comes in several instruction-set forms
// (chosen once at run time by what the processor offers) and a portable form; tests compare
// every form this processor can run with the portable one.

#include <cstddef>
#include <cstdint>

namespace tesselink::kernels {

// Forms of the movers, plainest first. A form above Portable exists only in x86-64 builds.
enum class KernelSet { Portable, Sse2, Ssse3, Avx2 };

// Whether `set` was compiled in and this processor can run it.
bool KernelSetAvailable(KernelSet set);
// The fastest available set; what RemapBlock uses unless told otherwise.
KernelSet BestKernelSet();
const char* KernelSetName(KernelSet set);

// For each of `height` rows: dst row r = src row r (width bytes). Strides may be negative (mode 3
// writes bottom row first). Source and destination must not overlap.
void CopyRows(KernelSet set, const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
              std::ptrdiff_t dstStride, int width, int height);

// For each of `height` rows: dst row r, byte i = src row r, byte width - 1 - i. Strides may be
// negative (mode 5 writes bottom row first). Source and destination must not overlap. A set
// that is not available runs as the best available one.
void ReverseRows(KernelSet set, const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                 std::ptrdiff_t dstStride, int width, int height);

// dst[x * dstStride + y] = src[y * srcStride + x] for x < width, y < height (width x height
// source bytes). Strides may be negative, which is how the quarter turns flip one axis.
// Ssse3 transposes as Sse2 does.
void Transpose(KernelSet set, const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
               std::ptrdiff_t dstStride, int width, int height);

// Moves a width x height source block (top-left at `src`) into its footprint (top-left at
// `dst`) by map mode 0..5, as if the block were the whole window.
void RemapBlock(int mode, const std::uint8_t* src, std::ptrdiff_t srcStride, int width, int height, std::uint8_t* dst,
                std::ptrdiff_t dstStride, KernelSet set = BestKernelSet());

}  // namespace tesselink::kernels
