// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/plane_scale_forms.h"

#if defined(TESSELINK_X86_KERNELS)

#include <cstring>

// The column filter gathers bytes with byte shuffles (SSSE3, or AVX2 for two groups of four at
// once); the rest needs SSE2, which every x86-64 build has, or AVX2 for 32 outputs a step.

namespace tesselink::plane_scale {
namespace {

using ColumnQuad = PlaneScaler::ColumnQuad;
using ColumnOctet = PlaneScaler::ColumnOctet;

inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

// Four outputs' sums, minus the bias, shifted to 8 fraction bits.
template <bool ThirdTap>
TESSELINK_TARGET("ssse3")
inline __m128i QuadSums(const std::uint8_t* row, const ColumnQuad& quad, __m128i bias) {
    const __m128i source = Load(row + quad.base);
    __m128i sum = _mm_madd_epi16(_mm_shuffle_epi8(source, Load(quad.firstTwo)), Load(quad.firstTwoWeights));
    if (ThirdTap)
        sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_shuffle_epi8(source, Load(quad.third)), Load(quad.thirdWeights)));
    return _mm_srai_epi32(_mm_add_epi32(sum, bias), HorizontalShift);
}

template <bool ThirdTap>
TESSELINK_TARGET("ssse3")
void FilterQuadsSsse3(const std::uint8_t* row, const ColumnQuad* quads, int quadCount, std::int16_t* out) {
    const __m128i bias = _mm_set1_epi32((1 << (HorizontalShift - 1)) - (FilteredBias << HorizontalShift));
    for (int q = 0; q < quadCount; q += 2) {
        const __m128i low = QuadSums<ThirdTap>(row, quads[q], bias);
        const __m128i high = QuadSums<ThirdTap>(row, quads[q + 1], bias);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * q), _mm_packs_epi32(low, high));
    }
}

TESSELINK_TARGET("avx2") inline __m256i Load32(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

// Eight outputs' sums from two source windows, one per 128-bit half.
template <bool ThirdTap>
TESSELINK_TARGET("avx2")
inline __m256i OctetSums(const std::uint8_t* row, const ColumnOctet& octet, __m256i bias) {
    const __m256i source =
        _mm256_inserti128_si256(_mm256_castsi128_si256(Load(row + octet.base[0])), Load(row + octet.base[1]), 1);
    __m256i sum = _mm256_madd_epi16(_mm256_shuffle_epi8(source, Load32(octet.firstTwo)), Load32(octet.firstTwoWeights));
    if (ThirdTap)
        sum = _mm256_add_epi32(
            sum, _mm256_madd_epi16(_mm256_shuffle_epi8(source, Load32(octet.third)), Load32(octet.thirdWeights)));
    return _mm256_srai_epi32(_mm256_add_epi32(sum, bias), HorizontalShift);
}

template <bool ThirdTap>
TESSELINK_TARGET("avx2")
void FilterOctetsAvx2(const std::uint8_t* row, const ColumnOctet* octets, int octetCount, std::int16_t* out) {
    const __m256i bias = _mm256_set1_epi32((1 << (HorizontalShift - 1)) - (FilteredBias << HorizontalShift));
    for (int o = 0; o < octetCount; o += 2) {
        const __m256i low = OctetSums<ThirdTap>(row, octets[o], bias);
        const __m256i high = OctetSums<ThirdTap>(row, octets[o + 1], bias);
        // The pack works within halves: outputs 0-3, 8-11 | 4-7, 12-15, put back in order.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), _MM_SHUFFLE(3, 1, 2, 0));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * o), packed);
    }
}

// Eight outputs of one plane: the taps' shares against the filtered rows, rounded to 0 .. 255.
template <bool ThirdTap>
inline __m128i CombineEight(const std::int16_t* r0, const std::int16_t* r1, const std::int16_t* r2, __m128i firstTwo,
                            __m128i third) {
    const __m128i rounding = _mm_set1_epi32(VerticalRounding);
    const __m128i a = Load(r0), b = Load(r1);
    __m128i low = _mm_madd_epi16(_mm_unpacklo_epi16(a, b), firstTwo);
    __m128i high = _mm_madd_epi16(_mm_unpackhi_epi16(a, b), firstTwo);
    if (ThirdTap) {
        const __m128i c = Load(r2), zero = _mm_setzero_si128();
        low = _mm_add_epi32(low, _mm_madd_epi16(_mm_unpacklo_epi16(c, zero), third));
        high = _mm_add_epi32(high, _mm_madd_epi16(_mm_unpackhi_epi16(c, zero), third));
    }
    low = _mm_srai_epi32(_mm_add_epi32(low, rounding), VerticalShift);
    high = _mm_srai_epi32(_mm_add_epi32(high, rounding), VerticalShift);
    return _mm_packs_epi32(low, high);
}

// Sixteen pixels of red, green and blue as Format_RGB32 words; only `count` of them when fewer.
inline void StoreSixteen(const __m128i channel[3], std::uint32_t* out, int count) {
    const __m128i opaque = _mm_set1_epi8(static_cast<char>(0xFF));
    // Little-endian words 0xffRRGGBB are the bytes B, G, R, 0xff.
    const __m128i bgLow = _mm_unpacklo_epi8(channel[2], channel[1]);
    const __m128i bgHigh = _mm_unpackhi_epi8(channel[2], channel[1]);
    const __m128i raLow = _mm_unpacklo_epi8(channel[0], opaque);
    const __m128i raHigh = _mm_unpackhi_epi8(channel[0], opaque);
    alignas(16) std::uint32_t last[Block];
    const bool whole = count >= Block;
    __m128i* o = reinterpret_cast<__m128i*>(whole ? out : last);
    _mm_storeu_si128(o + 0, _mm_unpacklo_epi16(bgLow, raLow));
    _mm_storeu_si128(o + 1, _mm_unpackhi_epi16(bgLow, raLow));
    _mm_storeu_si128(o + 2, _mm_unpacklo_epi16(bgHigh, raHigh));
    _mm_storeu_si128(o + 3, _mm_unpackhi_epi16(bgHigh, raHigh));
    if (!whole) std::memcpy(out, last, static_cast<std::size_t>(count) * sizeof(std::uint32_t));
}

// An output row made from one source row alone (its share the whole 1 << 14): the filtered
// values rounded to 8 bits, (value + 128) >> 8, with the bias folded into the addition.
void CopyRowSse2(const std::int16_t* row, std::size_t planeStride, int from, int width, std::uint32_t* out) {
    const __m128i rounding = _mm_set1_epi16(static_cast<short>(FilteredBias + 128));
    for (int x = from; x < width; x += Block) {
        __m128i channel[3];
        for (int c = 0; c < 3; ++c) {
            const std::int16_t* at = row + c * planeStride + static_cast<std::size_t>(x);
            channel[c] = _mm_packus_epi16(_mm_srli_epi16(_mm_add_epi16(Load(at), rounding), 8),
                                          _mm_srli_epi16(_mm_add_epi16(Load(at + 8), rounding), 8));
        }
        StoreSixteen(channel, out + x, width - x);
    }
}

template <bool ThirdTap>
void CombineRowSse2(const std::int16_t* const rows[3], const std::int16_t* w, std::size_t planeStride, int from,
                    int width, std::uint32_t* out) {
    const __m128i firstTwo = _mm_set1_epi32(
        static_cast<std::int32_t>(static_cast<std::uint16_t>(w[0]) | (static_cast<std::uint32_t>(w[1]) << 16)));
    const __m128i third = _mm_set1_epi32(static_cast<std::uint16_t>(w[2]));
    for (int x = from; x < width; x += Block) {
        __m128i channel[3];  // red, green, blue
        for (int c = 0; c < 3; ++c) {
            const std::size_t at = c * planeStride + static_cast<std::size_t>(x);
            channel[c] = _mm_packus_epi16(
                CombineEight<ThirdTap>(rows[0] + at, rows[1] + at, rows[2] + at, firstTwo, third),
                CombineEight<ThirdTap>(rows[0] + at + 8, rows[1] + at + 8, rows[2] + at + 8, firstTwo, third));
        }
        StoreSixteen(channel, out + x, width - x);
    }
}

// Sixteen outputs of a half of an even size from two source rows of each plane (32 bytes
// each): the rounded mean of each 2 x 2 block.
inline __m128i HalveSixteen(const std::uint8_t* top, const std::uint8_t* bottom) {
    const __m128i low = _mm_set1_epi16(0x00FF), two = _mm_set1_epi16(2);
    const auto pairs = [low](__m128i v) { return _mm_add_epi16(_mm_and_si128(v, low), _mm_srli_epi16(v, 8)); };
    const __m128i first = _mm_add_epi16(_mm_add_epi16(pairs(Load(top)), pairs(Load(bottom))), two);
    const __m128i second = _mm_add_epi16(_mm_add_epi16(pairs(Load(top + 16)), pairs(Load(bottom + 16))), two);
    return _mm_packus_epi16(_mm_srli_epi16(first, 2), _mm_srli_epi16(second, 2));
}

// The pixels past the last whole vector step, one by one.
void HalveTail(const RowStarts& rows, std::size_t planeWidth, int x, int width, std::uint32_t* out) {
    for (; x < width; ++x) {
        std::uint32_t pixel = 0xFF000000u;
        for (int c = 0; c < 3; ++c) {
            const std::uint8_t* top = rows.plane[c] + 2 * x;
            const std::uint8_t* bottom = top + planeWidth;
            pixel |= static_cast<std::uint32_t>((top[0] + top[1] + bottom[0] + bottom[1] + 2) >> 2) << (16 - 8 * c);
        }
        out[x] = pixel;
    }
}

// `room`: source bytes readable from the row starts on.
void HalveRowSse2(const RowStarts& rows, std::size_t planeWidth, std::size_t room, int width, std::uint32_t* out) {
    int x = 0;
    for (; x < width && static_cast<std::size_t>(2 * x + 2 * Block) <= room; x += Block) {
        __m128i channel[3];
        for (int c = 0; c < 3; ++c)
            channel[c] = HalveSixteen(rows.plane[c] + 2 * x, rows.plane[c] + 2 * x + planeWidth);
        StoreSixteen(channel, out + x, width - x);
    }
    HalveTail(rows, planeWidth, x, width, out);
}

// Thirty-two pixels of red, green and blue as Format_RGB32 words. The interleaving works within
// 128-bit halves, so the halves of the four results are put in pixel order at the end.
TESSELINK_TARGET("avx2") inline void StoreThirtyTwo(const __m256i channel[3], std::uint32_t* out) {
    const __m256i opaque = _mm256_set1_epi8(static_cast<char>(0xFF));
    const __m256i bgLow = _mm256_unpacklo_epi8(channel[2], channel[1]);
    const __m256i bgHigh = _mm256_unpackhi_epi8(channel[2], channel[1]);
    const __m256i raLow = _mm256_unpacklo_epi8(channel[0], opaque);
    const __m256i raHigh = _mm256_unpackhi_epi8(channel[0], opaque);
    // Pixels 0-3 | 16-19, 4-7 | 20-23, 8-11 | 24-27, 12-15 | 28-31.
    const __m256i p0 = _mm256_unpacklo_epi16(bgLow, raLow), p1 = _mm256_unpackhi_epi16(bgLow, raLow);
    const __m256i p2 = _mm256_unpacklo_epi16(bgHigh, raHigh), p3 = _mm256_unpackhi_epi16(bgHigh, raHigh);
    __m256i* o = reinterpret_cast<__m256i*>(out);
    _mm256_storeu_si256(o + 0, _mm256_permute2x128_si256(p0, p1, 0x20));
    _mm256_storeu_si256(o + 1, _mm256_permute2x128_si256(p2, p3, 0x20));
    _mm256_storeu_si256(o + 2, _mm256_permute2x128_si256(p0, p1, 0x31));
    _mm256_storeu_si256(o + 3, _mm256_permute2x128_si256(p2, p3, 0x31));
}

// The same, 32 outputs a step. The packing and the interleaving work within 128-bit halves,
// which a final permutation puts back in pixel order.
// Thirty-two outputs from x on: reads 64 bytes of each row of each plane from 2x on.
TESSELINK_TARGET("avx2")
inline void HalveThirtyTwoAvx2(const RowStarts& rows, std::size_t planeWidth, int x, std::uint32_t* out) {
    // Multiplying unsigned bytes by signed ones and adding neighbours gives each pair's sum.
    const __m256i ones = _mm256_set1_epi8(1), two = _mm256_set1_epi16(2);
    __m256i channel[3];
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* top = rows.plane[c] + 2 * x;
        const std::uint8_t* bottom = top + planeWidth;
        __m256i sums[2];
        for (int h = 0; h < 2; ++h) {
            const __m256i t = Load32(top + 32 * h), b = Load32(bottom + 32 * h);
            const __m256i pairs = _mm256_add_epi16(_mm256_maddubs_epi16(t, ones), _mm256_maddubs_epi16(b, ones));
            sums[h] = _mm256_srli_epi16(_mm256_add_epi16(pairs, two), 2);
        }
        channel[c] = _mm256_permute4x64_epi64(_mm256_packus_epi16(sums[0], sums[1]), _MM_SHUFFLE(3, 1, 2, 0));
    }
    StoreThirtyTwo(channel, out + x);
}

// The same, 32 outputs a step. The first step is stored where the row starts and the next from
// the first 32-byte boundary of the output on, so no later store splits a cache line; the last
// step ends at the row's end, over outputs already written. Scalar code only for rows too short.
TESSELINK_TARGET("avx2")
void HalveRowAvx2(const RowStarts& rows, std::size_t planeWidth, std::size_t room, int width, std::uint32_t* out) {
    if (width < 32 || static_cast<std::size_t>(2 * width) > room) {
        HalveTail(rows, planeWidth, 0, width, out);
        return;
    }
    HalveThirtyTwoAvx2(rows, planeWidth, 0, out);
    const int head = static_cast<int>(((32 - (reinterpret_cast<std::uintptr_t>(out) & 31)) & 31) / 4);
    int x = head > 0 ? head : 32;
    for (; x + 32 <= width; x += 32) HalveThirtyTwoAvx2(rows, planeWidth, x, out);
    if (x < width) HalveThirtyTwoAvx2(rows, planeWidth, width - 32, out);
}

// Sixteen outputs of one plane from `Taps` filtered rows, 0 .. 255 in 16-bit lanes, in order
// (the multiply-adds and the pack both stay within 128-bit halves).
template <int Taps>
TESSELINK_TARGET("avx2")
inline __m256i CombineSixteenAvx2(const std::int16_t* r0, const std::int16_t* r1, const std::int16_t* r2,
                                  __m256i firstTwo, __m256i third) {
    if (Taps == 1) {
        const __m256i rounding = _mm256_set1_epi16(static_cast<short>(FilteredBias + 128));
        return _mm256_srli_epi16(_mm256_add_epi16(Load32(r0), rounding), 8);
    }
    const __m256i rounding = _mm256_set1_epi32(VerticalRounding);
    const __m256i a = Load32(r0), b = Load32(r1);
    __m256i low = _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), firstTwo);
    __m256i high = _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), firstTwo);
    if (Taps == 3) {
        const __m256i c = Load32(r2), zero = _mm256_setzero_si256();
        low = _mm256_add_epi32(low, _mm256_madd_epi16(_mm256_unpacklo_epi16(c, zero), third));
        high = _mm256_add_epi32(high, _mm256_madd_epi16(_mm256_unpackhi_epi16(c, zero), third));
    }
    low = _mm256_srai_epi32(_mm256_add_epi32(low, rounding), VerticalShift);
    high = _mm256_srai_epi32(_mm256_add_epi32(high, rounding), VerticalShift);
    return _mm256_packs_epi32(low, high);
}

// Whole steps of 32 outputs; returns where it stopped, for the 128-bit form to finish.
template <int Taps>
TESSELINK_TARGET("avx2")
int CombineRowAvx2(const std::int16_t* const rows[3], const std::int16_t* w, std::size_t planeStride, int width,
                   std::uint32_t* out) {
    const __m256i firstTwo = _mm256_set1_epi32(
        static_cast<std::int32_t>(static_cast<std::uint16_t>(w[0]) | (static_cast<std::uint32_t>(w[1]) << 16)));
    const __m256i third = _mm256_set1_epi32(static_cast<std::uint16_t>(w[2]));
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        __m256i channel[3];
        for (int c = 0; c < 3; ++c) {
            const std::size_t at = c * planeStride + static_cast<std::size_t>(x);
            const __m256i first = CombineSixteenAvx2<Taps>(rows[0] + at, rows[1] + at, rows[2] + at, firstTwo, third);
            const __m256i second =
                CombineSixteenAvx2<Taps>(rows[0] + at + 16, rows[1] + at + 16, rows[2] + at + 16, firstTwo, third);
            channel[c] = _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), _MM_SHUFFLE(3, 1, 2, 0));
        }
        StoreThirtyTwo(channel, out + x);
    }
    return x;
}

}  // namespace

void FilterRowSsse3(const std::uint8_t* row, const ColumnQuad* quads, int quadCount, bool thirdTap, std::int16_t* out) {
    if (thirdTap)
        FilterQuadsSsse3<true>(row, quads, quadCount, out);
    else
        FilterQuadsSsse3<false>(row, quads, quadCount, out);
}

void FilterRowAvx2(const std::uint8_t* row, const ColumnOctet* octets, int octetCount, bool thirdTap,
                   std::int16_t* out) {
    if (thirdTap)
        FilterOctetsAvx2<true>(row, octets, octetCount, out);
    else
        FilterOctetsAvx2<false>(row, octets, octetCount, out);
}

void HalveRow(bool avx2, const RowStarts& rows, std::size_t planeWidth, std::size_t room, int width,
              std::uint32_t* out) {
    if (avx2)
        HalveRowAvx2(rows, planeWidth, room, width, out);
    else
        HalveRowSse2(rows, planeWidth, room, width, out);
}

void CombineRow(bool avx2, const std::int16_t* const rows[3], const std::int16_t* w, int taps, std::size_t planeStride,
                int width, std::uint32_t* out) {
    int done = 0;
    if (avx2) {
        done = taps == 1   ? CombineRowAvx2<1>(rows, w, planeStride, width, out)
               : taps == 2 ? CombineRowAvx2<2>(rows, w, planeStride, width, out)
                           : CombineRowAvx2<3>(rows, w, planeStride, width, out);
    }
    if (taps == 1)
        CopyRowSse2(rows[0], planeStride, done, width, out);
    else if (taps > 2)
        CombineRowSse2<true>(rows, w, planeStride, done, width, out);
    else
        CombineRowSse2<false>(rows, w, planeStride, done, width, out);
}

}  // namespace tesselink::plane_scale

#endif  // TESSELINK_X86_KERNELS
