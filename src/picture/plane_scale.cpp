#include "picture/plane_scale.h"

#include <algorithm>
#include <cstring>

#include "remap/remap_kernels.h"

// The column filter gathers bytes with byte shuffles (SSSE3, or AVX2 for two groups of four at
// once), each compiled for its own instruction set and chosen at run time; the rest needs SSE2,
// which every x86-64 build has, or AVX2 likewise chosen at run time.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TESSELINK_PLANE_SCALE_SIMD 1
#include <immintrin.h>
#endif

namespace tesselink {
namespace {

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

using ColumnQuad = PlaneScaler::ColumnQuad;

void FilterRowPortable(const std::uint8_t* row, const AreaAxisMap& map, int firstColumn, int width,
                       std::int16_t* out) {
    for (int i = 0; i < width; ++i) {
        const std::uint8_t* p = row + (map.first[i] - firstColumn);
        const std::int16_t* w = map.weights.data() + 3 * i;
        std::int32_t sum = 0;
        for (int t = 0; t < map.count[i]; ++t) sum += w[t] * p[t];
        out[i] = static_cast<std::int16_t>(((sum + (1 << (HorizontalShift - 1))) >> HorizontalShift) - FilteredBias);
    }
}

// Output row from up to three filtered rows (unused ones have share 0), into Format_RGB32 words.
void CombineRowPortable(const std::int16_t* const rows[3], const std::int16_t* w, std::size_t planeStride,
                        int width, std::uint32_t* out) {
    for (int i = 0; i < width; ++i) {
        std::uint32_t channel[3];
        for (int c = 0; c < 3; ++c) {
            const std::size_t at = c * planeStride + static_cast<std::size_t>(i);
            const std::int32_t sum = w[0] * rows[0][at] + w[1] * rows[1][at] + w[2] * rows[2][at];
            channel[c] = static_cast<std::uint32_t>((sum + VerticalRounding) >> VerticalShift);
        }
        out[i] = 0xFF000000u | (channel[0] << 16) | (channel[1] << 8) | channel[2];
    }
}

#if defined(TESSELINK_PLANE_SCALE_SIMD)

inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

// Four outputs' sums, minus the bias, shifted to 8 fraction bits.
template <bool ThirdTap>
__attribute__((target("ssse3"))) inline __m128i QuadSums(const std::uint8_t* row, const ColumnQuad& quad,
                                                          __m128i bias) {
    const __m128i source = Load(row + quad.base);
    __m128i sum = _mm_madd_epi16(_mm_shuffle_epi8(source, Load(quad.firstTwo)), Load(quad.firstTwoWeights));
    if (ThirdTap)
        sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_shuffle_epi8(source, Load(quad.third)), Load(quad.thirdWeights)));
    return _mm_srai_epi32(_mm_add_epi32(sum, bias), HorizontalShift);
}

template <bool ThirdTap>
__attribute__((target("ssse3"))) void FilterRowSsse3(const std::uint8_t* row, const ColumnQuad* quads, int quadCount,
                                                      std::int16_t* out) {
    const __m128i bias = _mm_set1_epi32((1 << (HorizontalShift - 1)) - (FilteredBias << HorizontalShift));
    for (int q = 0; q < quadCount; q += 2) {
        const __m128i low = QuadSums<ThirdTap>(row, quads[q], bias);
        const __m128i high = QuadSums<ThirdTap>(row, quads[q + 1], bias);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * q), _mm_packs_epi32(low, high));
    }
}

using ColumnOctet = PlaneScaler::ColumnOctet;

__attribute__((target("avx2"))) inline __m256i Load32(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

// Eight outputs' sums from two source windows, one per 128-bit half.
template <bool ThirdTap>
__attribute__((target("avx2"))) inline __m256i OctetSums(const std::uint8_t* row, const ColumnOctet& octet,
                                                         __m256i bias) {
    const __m256i source = _mm256_inserti128_si256(_mm256_castsi128_si256(Load(row + octet.base[0])),
                                                   Load(row + octet.base[1]), 1);
    __m256i sum = _mm256_madd_epi16(_mm256_shuffle_epi8(source, Load32(octet.firstTwo)), Load32(octet.firstTwoWeights));
    if (ThirdTap)
        sum = _mm256_add_epi32(sum, _mm256_madd_epi16(_mm256_shuffle_epi8(source, Load32(octet.third)),
                                                      Load32(octet.thirdWeights)));
    return _mm256_srai_epi32(_mm256_add_epi32(sum, bias), HorizontalShift);
}

template <bool ThirdTap>
__attribute__((target("avx2"))) void FilterRowAvx2(const std::uint8_t* row, const ColumnOctet* octets,
                                                    int octetCount, std::int16_t* out) {
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
                    int width,
                    std::uint32_t* out) {
    const __m128i firstTwo = _mm_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint16_t>(w[0]) |
                                                                      (static_cast<std::uint32_t>(w[1]) << 16)));
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

// The three planes' rows, red first, from the top-left source pixel of a row's outputs.
struct RowStarts {
    const std::uint8_t* plane[3];
};

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
        for (int c = 0; c < 3; ++c) channel[c] = HalveSixteen(rows.plane[c] + 2 * x, rows.plane[c] + 2 * x + planeWidth);
        StoreSixteen(channel, out + x, width - x);
    }
    HalveTail(rows, planeWidth, x, width, out);
}

// Thirty-two pixels of red, green and blue as Format_RGB32 words. The interleaving works within
// 128-bit halves, so the halves of the four results are put in pixel order at the end.
__attribute__((target("avx2"))) inline void StoreThirtyTwo(const __m256i channel[3], std::uint32_t* out) {
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
__attribute__((target("avx2"))) inline void HalveThirtyTwoAvx2(const RowStarts& rows, std::size_t planeWidth, int x,
                                                               std::uint32_t* out) {
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
__attribute__((target("avx2"))) void HalveRowAvx2(const RowStarts& rows, std::size_t planeWidth, std::size_t room,
                                                   int width, std::uint32_t* out) {
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
__attribute__((target("avx2"))) inline __m256i CombineSixteenAvx2(const std::int16_t* r0, const std::int16_t* r1,
                                                                  const std::int16_t* r2, __m256i firstTwo,
                                                                  __m256i third) {
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
__attribute__((target("avx2"))) int CombineRowAvx2(const std::int16_t* const rows[3], const std::int16_t* w,
                                                   std::size_t planeStride, int width, std::uint32_t* out) {
    const __m256i firstTwo = _mm256_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint16_t>(w[0]) |
                                                                         (static_cast<std::uint32_t>(w[1]) << 16)));
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

#endif  // TESSELINK_PLANE_SCALE_SIMD

// Whether the planes, starting at `origin` with `size` pixels, hold every source pixel the map uses.
bool Covers(const AreaAxisMap& map, int origin, int size) {
    if (map.first.empty()) return true;
    const std::size_t last = map.first.size() - 1;
    return map.first.front() >= origin && map.first[last] + map.count[last] <= origin + size;
}

}  // namespace

void AreaAxisMap::SourceSpan(int source, int full, int from, int to, int& first, int& last) {
    first = last = 0;
    if (source <= 0 || full <= 0 || from >= to) return;
    // As in Make: output d takes source pixels d * S / D to ((d + 1) * S - 1) / D.
    const long long S = source, D = full;
    first = static_cast<int>(from * S / D);
    last = static_cast<int>((to * S - 1) / D + 1);
}

bool AreaAxisMap::Make(int source, int full, int from, int to) {
    if (source == sourceSize && full == fullSize && from == start && to == end) return taps <= 3;
    sourceSize = source;
    fullSize = full;
    start = from;
    end = to;
    taps = 0;
    first.clear();
    count.clear();
    weights.clear();
    const long long S = source, D = full;
    if (S <= 0 || D <= 0) return true;
    for (long long d = from; d < to; ++d) {
        // Output d spans [d * S, (d + 1) * S), source k spans [k * D, (k + 1) * D).
        const long long lo = d * S, hi = (d + 1) * S;
        const int k0 = static_cast<int>(lo / D);
        const int n = static_cast<int>((hi - 1) / D) - k0 + 1;
        taps = std::max(taps, n);
        if (n > 3) return false;
        std::int16_t w[3] = {0, 0, 0};
        int total = 0, largest = 0;
        for (int t = 0; t < n; ++t) {
            const long long k = k0 + t;
            const long long overlap = std::min((k + 1) * D, hi) - std::max(k * D, lo);
            w[t] = static_cast<std::int16_t>((overlap * (1 << WeightBits) + S / 2) / S);
            total += w[t];
            if (w[t] > w[largest]) largest = t;
        }
        w[largest] = static_cast<std::int16_t>(w[largest] + ((1 << WeightBits) - total));
        first.push_back(k0);
        count.push_back(static_cast<std::uint8_t>(n));
        weights.insert(weights.end(), w, w + 3);
    }
    return true;
}

bool PlaneScaler::Scale(const PlaneSet& planes, QPoint planesOrigin, QSize sourceSize, QSize fullSize, QRect part,
                        QImage& dest, QPoint destTopLeft, kernels::KernelSet set) {
    if (!kernels::KernelSetAvailable(set)) set = kernels::BestKernelSet();
    [[maybe_unused]] const bool portable = set == kernels::KernelSet::Portable;
    if (!planes.IsPresent() || dest.format() != QImage::Format_RGB32) return false;
    // The part, cut to the scaled picture and to what lands inside `dest`.
    part &= QRect(QPoint(0, 0), fullSize);
    const QRect onDest = QRect(destTopLeft, part.size()) & dest.rect();
    if (part.isEmpty() || onDest.isEmpty()) return true;
    part = QRect(part.topLeft() + (onDest.topLeft() - destTopLeft), onDest.size());

    if (!columns_.Make(sourceSize.width(), fullSize.width(), part.left(), part.right() + 1) ||
        !rows_.Make(sourceSize.height(), fullSize.height(), part.top(), part.bottom() + 1))
        return false;
    if (!Covers(columns_, planesOrigin.x(), planes.Width()) || !Covers(rows_, planesOrigin.y(), planes.Height()))
        return false;

    const int width = part.width();
#if defined(TESSELINK_PLANE_SCALE_SIMD)
    // A half of an even size: each output takes a 2 x 2 block with shares of a quarter each,
    // which the arithmetic above turns into (a + b + c + d + 2) / 4 exactly.
    if (!portable && sourceSize.width() == 2 * fullSize.width() && sourceSize.height() == 2 * fullSize.height()) {
        const std::size_t planeWidth = static_cast<std::size_t>(planes.Width());
        const std::size_t firstColumn = static_cast<std::size_t>(2 * part.left() - planesOrigin.x());
        const std::size_t room = planeWidth - firstColumn;
        for (int oy = 0; oy < part.height(); ++oy) {
            const std::size_t at = static_cast<std::size_t>(2 * (part.top() + oy) - planesOrigin.y()) * planeWidth +
                                   firstColumn;
            const RowStarts rows{{planes.Plane(0) + at, planes.Plane(1) + at, planes.Plane(2) + at}};
            std::uint32_t* out = reinterpret_cast<std::uint32_t*>(dest.scanLine(onDest.top() + oy)) + onDest.left();
            if (set == kernels::KernelSet::Avx2)
                HalveRowAvx2(rows, planeWidth, room, width, out);
            else
                HalveRowSse2(rows, planeWidth, room, width, out);
        }
        return true;
    }
#endif
    const int padded = (width + Block - 1) / Block * Block;
    const std::size_t planeStride = static_cast<std::size_t>(padded);
    const int planeWidth = planes.Width();

    [[maybe_unused]] bool vector = false;
#if defined(TESSELINK_PLANE_SCALE_SIMD)
    vector = (set == kernels::KernelSet::Ssse3 || set == kernels::KernelSet::Avx2) && planeWidth >= 16;
    const QuadKey key{columns_.sourceSize, columns_.fullSize, columns_.start, columns_.end, planesOrigin.x(), planeWidth};
    if (vector && key == quadsKey_) {
        vector = quadsUsable_;
    } else if (vector) {
        quadsKey_ = key;
        // Outputs past the part's width (up to the padding) take nothing and give 0.
        const int quadCount = padded / 4;
        quads_.resize(static_cast<std::size_t>(quadCount));
        for (int q = 0; q < quadCount && vector; ++q) {
            ColumnQuad quad;
            std::memset(quad.firstTwo, 0x80, sizeof quad.firstTwo);  // a set top bit shuffles in 0
            std::memset(quad.third, 0x80, sizeof quad.third);
            std::memset(quad.firstTwoWeights, 0, sizeof quad.firstTwoWeights);
            std::memset(quad.thirdWeights, 0, sizeof quad.thirdWeights);
            const int lead = std::min(4 * q, width - 1);
            quad.base = std::clamp(columns_.first[lead] - planesOrigin.x(), 0, planeWidth - 16);
            for (int j = 0; j < 4 && 4 * q + j < width; ++j) {
                const int i = 4 * q + j;
                const int offset = columns_.first[i] - planesOrigin.x() - quad.base;
                const std::int16_t* w = columns_.weights.data() + 3 * i;
                if (offset < 0 || offset + columns_.count[i] > 16) {
                    vector = false;  // cannot happen at a half or more; keep to the plain form
                    break;
                }
                quad.firstTwo[4 * j] = static_cast<std::uint8_t>(offset);
                if (columns_.count[i] > 1) quad.firstTwo[4 * j + 2] = static_cast<std::uint8_t>(offset + 1);
                if (columns_.count[i] > 2) quad.third[4 * j] = static_cast<std::uint8_t>(offset + 2);
                quad.firstTwoWeights[2 * j] = w[0];
                quad.firstTwoWeights[2 * j + 1] = w[1];
                quad.thirdWeights[2 * j] = w[2];
            }
            quads_[static_cast<std::size_t>(q)] = quad;
        }
        quadsUsable_ = vector;
        octets_.resize(quads_.size() / 2);
        for (std::size_t o = 0; o < octets_.size(); ++o) {
            const ColumnQuad* pair[2] = {&quads_[2 * o], &quads_[2 * o + 1]};
            for (int h = 0; h < 2; ++h) {
                std::memcpy(octets_[o].firstTwo + 16 * h, pair[h]->firstTwo, 16);
                std::memcpy(octets_[o].third + 16 * h, pair[h]->third, 16);
                std::memcpy(octets_[o].firstTwoWeights + 8 * h, pair[h]->firstTwoWeights, 16);
                std::memcpy(octets_[o].thirdWeights + 8 * h, pair[h]->thirdWeights, 16);
                octets_[o].base[h] = pair[h]->base;
            }
        }
    }
    const bool avx2 = vector && set == kernels::KernelSet::Avx2;
#endif

    // Filtered source rows in a ring: neighbouring output rows share source rows, and each
    // is filtered once.
    const int ringSize = rows_.taps + 1;
    ring_.resize(static_cast<std::size_t>(ringSize) * 3 * planeStride);
    ringRow_.assign(static_cast<std::size_t>(ringSize), -1);
    const auto filtered = [&](int sourceRow) {
        const int slot = sourceRow % ringSize;
        std::int16_t* out = ring_.data() + static_cast<std::size_t>(slot) * 3 * planeStride;
        if (ringRow_[slot] == sourceRow) return out;
        const std::size_t rowStart = static_cast<std::size_t>(sourceRow - planesOrigin.y()) * planeWidth;
        for (int c = 0; c < 3; ++c) {
            const std::uint8_t* row = planes.Plane(c) + rowStart;
            std::int16_t* o = out + c * planeStride;
#if defined(TESSELINK_PLANE_SCALE_SIMD)
            if (avx2) {
                if (columns_.taps > 2)
                    FilterRowAvx2<true>(row, octets_.data(), padded / 8, o);
                else
                    FilterRowAvx2<false>(row, octets_.data(), padded / 8, o);
                continue;
            }
            if (vector) {
                if (columns_.taps > 2)
                    FilterRowSsse3<true>(row, quads_.data(), padded / 4, o);
                else
                    FilterRowSsse3<false>(row, quads_.data(), padded / 4, o);
                continue;
            }
#endif
            FilterRowPortable(row, columns_, planesOrigin.x(), width, o);
        }
        ringRow_[slot] = sourceRow;
        return out;
    };

    for (int oy = 0; oy < part.height(); ++oy) {
        const int count = rows_.count[oy];
        const std::int16_t* rows[3];
        for (int t = 0; t < 3; ++t) rows[t] = filtered(rows_.first[oy] + std::min(t, count - 1));
        const std::int16_t* w = rows_.weights.data() + 3 * oy;
        std::uint32_t* out = reinterpret_cast<std::uint32_t*>(dest.scanLine(onDest.top() + oy)) + onDest.left();
#if defined(TESSELINK_PLANE_SCALE_SIMD)
        if (!portable) {
            int done = 0;
            if (set == kernels::KernelSet::Avx2) {
                done = count == 1   ? CombineRowAvx2<1>(rows, w, planeStride, width, out)
                       : count == 2 ? CombineRowAvx2<2>(rows, w, planeStride, width, out)
                                    : CombineRowAvx2<3>(rows, w, planeStride, width, out);
            }
            if (count == 1)
                CopyRowSse2(rows[0], planeStride, done, width, out);
            else if (count > 2)
                CombineRowSse2<true>(rows, w, planeStride, done, width, out);
            else
                CombineRowSse2<false>(rows, w, planeStride, done, width, out);
            continue;
        }
#endif
        CombineRowPortable(rows, w, planeStride, width, out);
    }
    return true;
}

}  // namespace tesselink
