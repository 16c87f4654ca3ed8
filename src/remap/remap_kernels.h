#pragma once
// The row and block movers behind RemapWindows. Each comes in a fast form (SIMD where the
// compiler targets SSE2) and a portable form; tests compare the two.

#include <cstddef>
#include <cstdint>

namespace tesselink::kernels {

// dst[i] = src[n - 1 - i] for i < n. The ranges must not overlap.
void ReverseBytes(const std::uint8_t* src, std::uint8_t* dst, std::size_t n);
void ReverseBytesPortable(const std::uint8_t* src, std::uint8_t* dst, std::size_t n);
#if defined(__SSE2__)
// The SSE2-only form, which ReverseBytes uses when the processor lacks SSSE3.
void ReverseBytesSse2(const std::uint8_t* src, std::uint8_t* dst, std::size_t n);
#endif
// Whether ReverseBytes runs the one-shuffle SSSE3 form on this processor.
bool ReverseBytesUsesSsse3();

// dst[x * dstStride + y] = src[y * srcStride + x] for x < width, y < height (width x height
// source bytes). Strides may be negative, which is how the quarter turns flip one axis.
void Transpose(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
               int width, int height);
void TransposePortable(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                       std::ptrdiff_t dstStride, int width, int height);

// Moves a width x height source block (top-left at `src`) into its footprint (top-left at
// `dst`) by map mode 0..5, as if the block were the whole window. `portable` picks the
// portable movers.
void RemapBlock(int mode, const std::uint8_t* src, std::ptrdiff_t srcStride, int width, int height,
                std::uint8_t* dst, std::ptrdiff_t dstStride, bool portable = false);

}  // namespace tesselink::kernels
