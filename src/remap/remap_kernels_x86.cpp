// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/remap_kernels_forms.h"

#if defined(TESSELINK_X86_KERNELS)

#include <algorithm>
#include <cstring>

namespace tesselink::kernels {
namespace {

// Reverses the 16 bytes of a vector with SSE2 alone: dwords, then words, then bytes.
inline __m128i Reverse16Sse2(__m128i v) {
    v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
    v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
}

inline __m128i Load16(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store16(std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Lambdas would not inherit the target attribute, hence these small functions.
TESSELINK_TARGET("avx2") inline __m256i Load32(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
TESSELINK_TARGET("avx2") inline void Store32(std::uint8_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
// Bytes reversed within each 128-bit half, then the halves swapped.
TESSELINK_TARGET("avx2") inline __m256i Reverse32(__m256i v, __m256i reverseHalves) {
    return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, reverseHalves), _MM_SHUFFLE(1, 0, 3, 2));
}

// Fixed-count loops over arrays of vector registers must be unrolled completely, or the
// registers go to memory and the tile moves several times slower.
#if defined(__clang__)
#define TESSELINK_UNROLL _Pragma("clang loop unroll(full)")
#else
#define TESSELINK_UNROLL _Pragma("GCC unroll 16")
#endif

// One 16 x 16 byte tile: 16 rows loaded, four rounds of interleaving, 16 rows stored.
inline void Transpose16x16Sse2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                               std::ptrdiff_t dstStride) {
    __m128i a[16], b[16];
    TESSELINK_UNROLL
    for (int i = 0; i < 16; ++i) a[i] = Load16(src + i * srcStride);
    // b[i]: rows 2i and 2i+1 interleaved, columns 0..7; b[8+i]: columns 8..15.
    TESSELINK_UNROLL
    for (int i = 0; i < 8; ++i) {
        b[i] = _mm_unpacklo_epi8(a[2 * i], a[2 * i + 1]);
        b[8 + i] = _mm_unpackhi_epi8(a[2 * i], a[2 * i + 1]);
    }
    // a[4g + i]: rows 4i..4i+3 of columns 4g..4g+3, one column per 32-bit lane.
    TESSELINK_UNROLL
    for (int h = 0; h < 2; ++h) {
        TESSELINK_UNROLL
        for (int i = 0; i < 4; ++i) {
            a[8 * h + i] = _mm_unpacklo_epi16(b[8 * h + 2 * i], b[8 * h + 2 * i + 1]);
            a[8 * h + 4 + i] = _mm_unpackhi_epi16(b[8 * h + 2 * i], b[8 * h + 2 * i + 1]);
        }
    }
    // b[4g + 2p + q]: rows 8p..8p+7 of columns 4g+2q, 4g+2q+1, one column per 64-bit lane.
    TESSELINK_UNROLL
    for (int g = 0; g < 4; ++g) {
        TESSELINK_UNROLL
        for (int p = 0; p < 2; ++p) {
            b[4 * g + 2 * p] = _mm_unpacklo_epi32(a[4 * g + 2 * p], a[4 * g + 2 * p + 1]);
            b[4 * g + 2 * p + 1] = _mm_unpackhi_epi32(a[4 * g + 2 * p], a[4 * g + 2 * p + 1]);
        }
    }
    // Column 4g+2q (and +1) gathers its rows 0..7 and 8..15: one destination row each.
    TESSELINK_UNROLL
    for (int g = 0; g < 4; ++g) {
        TESSELINK_UNROLL
        for (int q = 0; q < 2; ++q) {
            const int column = 4 * g + 2 * q;
            const __m128i lowRows = b[4 * g + q];
            const __m128i highRows = b[4 * g + 2 + q];
            Store16(dst + column * dstStride, _mm_unpacklo_epi64(lowRows, highRows));
            Store16(dst + (column + 1) * dstStride, _mm_unpackhi_epi64(lowRows, highRows));
        }
    }
}

// Up to 16 bytes, 1 <= n <= 16, with at most two fixed-size moves each way (the two may overlap).
inline void CopyFewBytes(std::uint8_t* d, const std::uint8_t* s, int n) {
    if (n >= 8) {
        std::uint64_t a, b;
        std::memcpy(&a, s, 8);
        std::memcpy(&b, s + n - 8, 8);
        std::memcpy(d, &a, 8);
        std::memcpy(d + n - 8, &b, 8);
    } else if (n >= 4) {
        std::uint32_t a, b;
        std::memcpy(&a, s, 4);
        std::memcpy(&b, s + n - 4, 4);
        std::memcpy(d, &a, 4);
        std::memcpy(d + n - 4, &b, 4);
    } else {
        for (int i = 0; i < n; ++i) d[i] = s[i];
    }
}

// A strip fewer than 16 columns wide and at least 16 rows high: what a band of target rows
// leaves of a turned window. Each 16-row group goes through a tile on the stack (the bytes right
// of the strip may not be readable); the last group is moved back to end at the strip's bottom.
void TransposeNarrowSse2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                         int width, int height) {
    alignas(16) std::uint8_t in[16 * 16] = {};
    alignas(16) std::uint8_t out[16 * 16];
    for (int y = 0;; y += 16) {
        y = std::min(y, height - 16);
        for (int r = 0; r < 16; ++r) CopyFewBytes(in + 16 * r, src + (y + r) * srcStride, width);
        Transpose16x16Sse2(in, 16, out, 16);
        for (int x = 0; x < width; ++x) Store16(dst + x * dstStride + y, Load16(out + 16 * x));
        if (y + 16 >= height) break;
    }
}

// One 16 x 16 tile as two 8 x 16 tiles side by side: the low half of each 256-bit register
// holds source rows 0..7, the high half rows 8..15, so eight registers carry the tile (no
// spilling) and each interleave moves twice the bytes of the SSE2 form.
TESSELINK_TARGET("avx2")
inline void Transpose16x16Avx2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                               std::ptrdiff_t dstStride) {
    __m256i a[8], b[8];
    TESSELINK_UNROLL
    for (int i = 0; i < 8; ++i)
        a[i] = _mm256_inserti128_si256(_mm256_castsi128_si256(Load16(src + i * srcStride)),
                                       Load16(src + (i + 8) * srcStride), 1);
    // b[i]: rows 2i, 2i+1 interleaved, columns 0..7; b[4+i]: columns 8..15.
    TESSELINK_UNROLL
    for (int i = 0; i < 4; ++i) {
        b[i] = _mm256_unpacklo_epi8(a[2 * i], a[2 * i + 1]);
        b[4 + i] = _mm256_unpackhi_epi8(a[2 * i], a[2 * i + 1]);
    }
    // a[4h + 2k + j]: rows 4j..4j+3 of columns 8h+4k..8h+4k+3, one column per 32-bit lane.
    TESSELINK_UNROLL
    for (int h = 0; h < 2; ++h) {
        TESSELINK_UNROLL
        for (int j = 0; j < 2; ++j) {
            a[4 * h + j] = _mm256_unpacklo_epi16(b[4 * h + 2 * j], b[4 * h + 2 * j + 1]);
            a[4 * h + 2 + j] = _mm256_unpackhi_epi16(b[4 * h + 2 * j], b[4 * h + 2 * j + 1]);
        }
    }
    // b[m]: rows 0..7 of columns 2m and 2m+1, one column per 64-bit lane (per half).
    TESSELINK_UNROLL
    for (int m = 0; m < 8; m += 2) {
        b[m] = _mm256_unpacklo_epi32(a[m], a[m + 1]);
        b[m + 1] = _mm256_unpackhi_epi32(a[m], a[m + 1]);
    }
    // Gather each column's two halves: column 2m in the low 128 bits, 2m+1 in the high.
    TESSELINK_UNROLL
    for (int m = 0; m < 8; ++m) {
        const __m256i columns = _mm256_permute4x64_epi64(b[m], _MM_SHUFFLE(3, 1, 2, 0));
        Store16(dst + (2 * m) * dstStride, _mm256_castsi256_si128(columns));
        Store16(dst + (2 * m + 1) * dstStride, _mm256_extracti128_si256(columns, 1));
    }
}

// 32 source rows of 16 columns: register i holds row i in its low half and row i + 16 in its
// high half, and the SSE2 tile's four rounds of interleaving run on both halves at once, which
// leaves each column's 32 bytes in one register: one full store per destination row and a sixth
// fewer shuffles per byte than the 16 x 16 form (measured 10 to 25 % faster on the quarter turns).
TESSELINK_TARGET("avx2")
inline void Transpose16x32Avx2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                               std::ptrdiff_t dstStride) {
    __m256i a[16], b[16];
    TESSELINK_UNROLL
    for (int i = 0; i < 16; ++i)
        a[i] = _mm256_inserti128_si256(_mm256_castsi128_si256(Load16(src + i * srcStride)),
                                       Load16(src + (i + 16) * srcStride), 1);
    TESSELINK_UNROLL
    for (int i = 0; i < 8; ++i) {
        b[i] = _mm256_unpacklo_epi8(a[2 * i], a[2 * i + 1]);
        b[8 + i] = _mm256_unpackhi_epi8(a[2 * i], a[2 * i + 1]);
    }
    TESSELINK_UNROLL
    for (int h = 0; h < 2; ++h) {
        TESSELINK_UNROLL
        for (int i = 0; i < 4; ++i) {
            a[8 * h + i] = _mm256_unpacklo_epi16(b[8 * h + 2 * i], b[8 * h + 2 * i + 1]);
            a[8 * h + 4 + i] = _mm256_unpackhi_epi16(b[8 * h + 2 * i], b[8 * h + 2 * i + 1]);
        }
    }
    TESSELINK_UNROLL
    for (int g = 0; g < 4; ++g) {
        TESSELINK_UNROLL
        for (int p = 0; p < 2; ++p) {
            b[4 * g + 2 * p] = _mm256_unpacklo_epi32(a[4 * g + 2 * p], a[4 * g + 2 * p + 1]);
            b[4 * g + 2 * p + 1] = _mm256_unpackhi_epi32(a[4 * g + 2 * p], a[4 * g + 2 * p + 1]);
        }
    }
    TESSELINK_UNROLL
    for (int g = 0; g < 4; ++g) {
        TESSELINK_UNROLL
        for (int q = 0; q < 2; ++q) {
            const int column = 4 * g + 2 * q;
            Store32(dst + column * dstStride, _mm256_unpacklo_epi64(b[4 * g + q], b[4 * g + 2 + q]));
            Store32(dst + (column + 1) * dstStride, _mm256_unpackhi_epi64(b[4 * g + q], b[4 * g + 2 + q]));
        }
    }
}

}  // namespace

// Every loop below moves at least 64 bytes a turn. A loop of one 16-byte vector a turn ran at
// half speed whenever the compiler happened to place it across a 64-byte instruction-fetch
// boundary, which -O3 did and -O2 did not: the same source was twice as slow by build type.
// With four vectors a turn the fetch has time to spare wherever the loop lands.

// Row copies: a library memcpy per row spent a tenth more than one memcpy of the same bytes
// on its call and size dispatch, and unaligned stores split cache lines. These copy inline,
// write the first vector unaligned and then store aligned from the first aligned destination
// byte on; the last vector is written ending at the row's end, over bytes already written.
void CopyRowsSse2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                  int width, int height) {
    const std::size_t n = static_cast<std::size_t>(width);
    if (n < 16) {
        CopyRowsPortable(src, srcStride, dst, dstStride, width, height);
        return;
    }
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = src + r * srcStride;
        std::uint8_t* out = dst + r * dstStride;
        Store16(out, Load16(in));
        std::size_t i = 16 - (reinterpret_cast<std::uintptr_t>(out) & 15);
        for (; i + 64 <= n; i += 64) {
            const __m128i a = Load16(in + i), b = Load16(in + i + 16), c = Load16(in + i + 32), d = Load16(in + i + 48);
            _mm_store_si128(reinterpret_cast<__m128i*>(out + i), a);
            _mm_store_si128(reinterpret_cast<__m128i*>(out + i + 16), b);
            _mm_store_si128(reinterpret_cast<__m128i*>(out + i + 32), c);
            _mm_store_si128(reinterpret_cast<__m128i*>(out + i + 48), d);
        }
        for (; i + 16 <= n; i += 16) _mm_store_si128(reinterpret_cast<__m128i*>(out + i), Load16(in + i));
        if (i < n) Store16(out + n - 16, Load16(in + n - 16));
    }
}

void ReverseRowsSse2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                     int width, int height) {
    const std::size_t n = static_cast<std::size_t>(width);
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = src + r * srcStride;
        std::uint8_t* out = dst + r * dstStride;
        std::size_t i = 0;
        for (; i + 64 <= n; i += 64) {
            const __m128i a = Load16(in + i), b = Load16(in + i + 16), c = Load16(in + i + 32), d = Load16(in + i + 48);
            Store16(out + n - 16 - i, Reverse16Sse2(a));
            Store16(out + n - 32 - i, Reverse16Sse2(b));
            Store16(out + n - 48 - i, Reverse16Sse2(c));
            Store16(out + n - 64 - i, Reverse16Sse2(d));
        }
        for (; i + 16 <= n; i += 16) Store16(out + n - 16 - i, Reverse16Sse2(Load16(in + i)));
        if (i < n && n >= 16) {
            // The last bytes as one vector that overlaps what is done: the same bytes again.
            Store16(out, Reverse16Sse2(Load16(in + n - 16)));
        } else {
            for (; i < n; ++i) out[n - 1 - i] = in[i];
        }
    }
}

TESSELINK_TARGET("ssse3")
void ReverseRowsSsse3(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                      int width, int height) {
    const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const std::size_t n = static_cast<std::size_t>(width);
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = src + r * srcStride;
        std::uint8_t* out = dst + r * dstStride;
        std::size_t i = 0;
        for (; i + 64 <= n; i += 64) {
            const __m128i a = Load16(in + i), b = Load16(in + i + 16), c = Load16(in + i + 32), d = Load16(in + i + 48);
            Store16(out + n - 16 - i, _mm_shuffle_epi8(a, reverse));
            Store16(out + n - 32 - i, _mm_shuffle_epi8(b, reverse));
            Store16(out + n - 48 - i, _mm_shuffle_epi8(c, reverse));
            Store16(out + n - 64 - i, _mm_shuffle_epi8(d, reverse));
        }
        for (; i + 16 <= n; i += 16) Store16(out + n - 16 - i, _mm_shuffle_epi8(Load16(in + i), reverse));
        if (i < n && n >= 16) {
            Store16(out, _mm_shuffle_epi8(Load16(in + n - 16), reverse));
        } else {
            for (; i < n; ++i) out[n - 1 - i] = in[i];
        }
    }
}

TESSELINK_TARGET("avx2")
void CopyRowsAvx2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                  int width, int height) {
    const std::size_t n = static_cast<std::size_t>(width);
    if (n < 32) {
        CopyRowsSse2(src, srcStride, dst, dstStride, width, height);
        return;
    }
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = src + r * srcStride;
        std::uint8_t* out = dst + r * dstStride;
        Store32(out, Load32(in));
        std::size_t i = 32 - (reinterpret_cast<std::uintptr_t>(out) & 31);
        for (; i + 128 <= n; i += 128) {
            const __m256i a = Load32(in + i), b = Load32(in + i + 32), c = Load32(in + i + 64), d = Load32(in + i + 96);
            _mm256_store_si256(reinterpret_cast<__m256i*>(out + i), a);
            _mm256_store_si256(reinterpret_cast<__m256i*>(out + i + 32), b);
            _mm256_store_si256(reinterpret_cast<__m256i*>(out + i + 64), c);
            _mm256_store_si256(reinterpret_cast<__m256i*>(out + i + 96), d);
        }
        for (; i + 32 <= n; i += 32) _mm256_store_si256(reinterpret_cast<__m256i*>(out + i), Load32(in + i));
        if (i < n) Store32(out + n - 32, Load32(in + n - 32));
    }
    _mm256_zeroupper();
}

TESSELINK_TARGET("avx2")
void ReverseRowsAvx2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                     int width, int height) {
    const __m256i reverse = _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,  //
                                             15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const __m128i reverse16 = _mm256_castsi256_si128(reverse);
    const std::size_t n = static_cast<std::size_t>(width);
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = src + r * srcStride;
        std::uint8_t* out = dst + r * dstStride;
        std::size_t i = 0;
        for (; i + 64 <= n; i += 64) {
            const __m256i a = Load32(in + i), b = Load32(in + i + 32);
            Store32(out + n - 32 - i, Reverse32(a, reverse));
            Store32(out + n - 64 - i, Reverse32(b, reverse));
        }
        if (n >= 32) {
            if (i + 32 <= n) {
                Store32(out + n - 32 - i, Reverse32(Load32(in + i), reverse));
                i += 32;
            }
            if (i < n) Store32(out, Reverse32(Load32(in + n - 32), reverse));
        } else if (n >= 16) {
            // 16 to 31 bytes: the first and the last 16, overlapping in the middle.
            Store16(out + n - 16, _mm_shuffle_epi8(Load16(in), reverse16));
            Store16(out, _mm_shuffle_epi8(Load16(in + n - 16), reverse16));
        } else {
            for (; i < n; ++i) out[n - 1 - i] = in[i];
        }
    }
    _mm256_zeroupper();
}

void TransposeSse2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                   int width, int height) {
    const int fullWidth = width & ~15;
    const int fullHeight = height & ~15;
    for (int y0 = 0; y0 < fullHeight; y0 += CacheTile) {
        const int yEnd = std::min(y0 + CacheTile, fullHeight);
        for (int x0 = 0; x0 < fullWidth; x0 += CacheTile) {
            const int xEnd = std::min(x0 + CacheTile, fullWidth);
            for (int y = y0; y < yEnd; y += 16)
                for (int x = x0; x < xEnd; x += 16)
                    Transpose16x16Sse2(src + y * srcStride + x, srcStride, dst + x * dstStride + y, dstStride);
        }
    }
    // The strips past the last whole tiles: one more tile each, moved back to end at the edge,
    // overlapping tiles already moved (whose bytes it writes again, unchanged).
    if (width >= 16 && height >= 16) {
        const int lastX = width - 16, lastY = height - 16;
        if (fullWidth < width)
            for (int y = 0; y < fullHeight; y += 16)
                Transpose16x16Sse2(src + y * srcStride + lastX, srcStride, dst + lastX * dstStride + y, dstStride);
        if (fullHeight < height) {
            for (int x = 0; x < fullWidth; x += 16)
                Transpose16x16Sse2(src + lastY * srcStride + x, srcStride, dst + x * dstStride + lastY, dstStride);
            if (fullWidth < width)
                Transpose16x16Sse2(src + lastY * srcStride + lastX, srcStride, dst + lastX * dstStride + lastY,
                                   dstStride);
        }
        return;
    }
    if (height >= 16) {
        TransposeNarrowSse2(src, srcStride, dst, dstStride, width, height);
        return;
    }
    TransposeEdges(src, srcStride, dst, dstStride, width, height);
}

TESSELINK_TARGET("avx2")
void TransposeAvx2(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                   int width, int height) {
    const int fullWidth = width & ~15;
    const int fullHeight = height & ~15;
    const int pairedHeight = height & ~31;  // rows moved 32 at a time
    for (int y0 = 0; y0 < pairedHeight; y0 += CacheTile) {
        const int yEnd = std::min(y0 + CacheTile, pairedHeight);
        for (int x0 = 0; x0 < fullWidth; x0 += CacheTile) {
            const int xEnd = std::min(x0 + CacheTile, fullWidth);
            for (int y = y0; y < yEnd; y += 32)
                for (int x = x0; x < xEnd; x += 16)
                    Transpose16x32Avx2(src + y * srcStride + x, srcStride, dst + x * dstStride + y, dstStride);
        }
    }
    // A group of 16 rows left under the 32-row groups.
    if (pairedHeight < fullHeight)
        for (int x = 0; x < fullWidth; x += 16)
            Transpose16x16Avx2(src + pairedHeight * srcStride + x, srcStride, dst + x * dstStride + pairedHeight,
                               dstStride);
    // The strips past the last whole tiles: one more tile each, moved back to end at the edge,
    // overlapping tiles already moved (whose bytes it writes again, unchanged).
    if (width >= 16 && height >= 16) {
        const int lastX = width - 16, lastY = height - 16;
        if (fullWidth < width)
            for (int y = 0; y < fullHeight; y += 16)
                Transpose16x16Avx2(src + y * srcStride + lastX, srcStride, dst + lastX * dstStride + y, dstStride);
        if (fullHeight < height) {
            for (int x = 0; x < fullWidth; x += 16)
                Transpose16x16Avx2(src + lastY * srcStride + x, srcStride, dst + x * dstStride + lastY, dstStride);
            if (fullWidth < width)
                Transpose16x16Avx2(src + lastY * srcStride + lastX, srcStride, dst + lastX * dstStride + lastY,
                                   dstStride);
        }
        return;
    }
    if (height >= 16) {
        TransposeNarrowSse2(src, srcStride, dst, dstStride, width, height);
        return;
    }
    TransposeEdges(src, srcStride, dst, dstStride, width, height);
}

}  // namespace tesselink::kernels

#endif  // TESSELINK_X86_KERNELS
