// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the plane scaler's forms share: the arithmetic every form follows, and the x86 forms
// (plane_scale_x86.cpp) that PlaneScaler::Scale (plane_scale.cpp) chooses from.

#include <cstddef>
#include <cstdint>

#include "picture/plane_scale.h"
#include "remap/instruction_sets.h"

namespace tesselink::plane_scale {

// The arithmetic of ScaleAreaAverage, step for step: shares of 1 << 14; the horizontal sums
// keep 8 fraction bits; the vertical sums are rounded to 8 bits.
constexpr int WeightBits = 14;
constexpr int HorizontalShift = WeightBits - 8;
constexpr int VerticalShift = WeightBits + 8;
// Filtered values are 0 .. 255 << 8 and are kept minus 32768, so that they fit the signed
// 16-bit lanes of the multiply-add; the shares add up to 1 << 14, so the vertical sum gets
// 32768 << 14 back in one constant.
constexpr int FilteredBias = 32768;
constexpr std::int32_t VerticalRounding = (FilteredBias << WeightBits) + (1 << (VerticalShift - 1));

constexpr int Block = 16;  // output pixels per step of the vector form

// The three planes' rows, red first, from the top-left source pixel of a row's outputs.
struct RowStarts {
    const std::uint8_t* plane[3];
};

#if defined(TESSELINK_X86_KERNELS)
// One source row filtered horizontally, minus the bias, through the column map laid out in
// quads (SSSE3; call only when the processor runs it) or octets (AVX2, likewise); `thirdTap`
// when some output takes three source pixels. Writes every output of the quads or octets.
void FilterRowSsse3(const std::uint8_t* row, const PlaneScaler::ColumnQuad* quads, int quadCount, bool thirdTap,
                    std::int16_t* out);
void FilterRowAvx2(const std::uint8_t* row, const PlaneScaler::ColumnOctet* octets, int octetCount, bool thirdTap,
                   std::int16_t* out);

// `width` outputs of a half of an even size: the rounded mean of each 2 x 2 block of the rows
// from `rows` and the next, `room` bytes of which are readable. With `avx2`, 32 a step.
void HalveRow(bool avx2, const RowStarts& rows, std::size_t planeWidth, std::size_t room, int width,
              std::uint32_t* out);

// `width` Format_RGB32 outputs from `taps` (1 to 3) filtered rows of three planes `planeStride`
// apart, with shares `w`. With `avx2`, whole steps of 32 first.
void CombineRow(bool avx2, const std::int16_t* const rows[3], const std::int16_t* w, int taps, std::size_t planeStride,
                int width, std::uint32_t* out);
#endif

}  // namespace tesselink::plane_scale
