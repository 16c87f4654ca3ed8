#include "remap/remap_kernels.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__)
#include <tmmintrin.h>  // SSSE3, used only inside functions compiled for it
#endif

// The fixed-count loops over vector registers must be unrolled completely, or at -O2 the
// registers spill to memory and the tile moves several times slower.
#if defined(__clang__)
#define TESSELINK_UNROLL _Pragma("clang loop unroll(full)")
#elif defined(__GNUC__)
#define TESSELINK_UNROLL _Pragma("GCC unroll 16")
#else
#define TESSELINK_UNROLL
#endif

namespace tesselink::kernels {
namespace {

#if defined(__SSE2__)
inline __m128i Reverse16(__m128i v) {
    v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));                // dwords reversed
    v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));              // words within each dword
    v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));  // bytes within each word
}

#if defined(__GNUC__) || defined(__clang__)
// The build targets plain x86-64 (SSE2), yet one byte shuffle does the whole reversal where
// SSSE3 exists, which is every x86-64 processor of the last fifteen years: chosen at run time.
#define TESSELINK_SSSE3_AT_RUN_TIME 1
__attribute__((target("ssse3"))) void ReverseBytesSsse3(const std::uint8_t* src, std::uint8_t* dst,
                                                        std::size_t n) {
    const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + n - 16 - i), _mm_shuffle_epi8(v, reverse));
    }
    for (; i < n; ++i) dst[n - 1 - i] = src[i];
}

bool HasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

// One 16 x 16 byte tile: 16 rows loaded, four rounds of interleaving, 16 rows stored.
inline void Transpose16x16(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                           std::ptrdiff_t dstStride) {
    __m128i a[16], b[16];
    TESSELINK_UNROLL
    for (int i = 0; i < 16; ++i) a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * srcStride));
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
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + column * dstStride),
                             _mm_unpacklo_epi64(lowRows, highRows));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + (column + 1) * dstStride),
                             _mm_unpackhi_epi64(lowRows, highRows));
        }
    }
}
#endif

// Edge of a tile or block: byte by byte.
inline void TransposeScalar(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                            std::ptrdiff_t dstStride, int width, int height) {
    for (int x = 0; x < width; ++x) {
        std::uint8_t* out = dst + x * dstStride;
        const std::uint8_t* in = src + x;
        for (int y = 0; y < height; ++y) out[y] = in[y * srcStride];
    }
}

// Source tiles of this many rows and columns keep both the rows read and the rows written
// in the first-level cache while the 16 x 16 tiles inside are moved.
constexpr int CacheTile = 64;

}  // namespace

void ReverseBytesPortable(const std::uint8_t* src, std::uint8_t* dst, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) dst[n - 1 - i] = src[i];
}

#if defined(__SSE2__)
void ReverseBytesSse2(const std::uint8_t* src, std::uint8_t* dst, std::size_t n) {
    std::size_t i = 0;
    // Read ascending, write descending; two vectors a step overlap their shuffle chains.
    for (; i + 32 <= n; i += 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + n - 16 - i), Reverse16(a));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + n - 32 - i), Reverse16(b));
    }
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + n - 16 - i), Reverse16(v));
    }
    for (; i < n; ++i) dst[n - 1 - i] = src[i];
}
#endif

void ReverseBytes(const std::uint8_t* src, std::uint8_t* dst, std::size_t n) {
#if defined(__SSSE3__)
    ReverseBytesSsse3(src, dst, n);
#elif defined(TESSELINK_SSSE3_AT_RUN_TIME)
    if (HasSsse3()) {
        ReverseBytesSsse3(src, dst, n);
        return;
    }
    ReverseBytesSse2(src, dst, n);
#elif defined(__SSE2__)
    ReverseBytesSse2(src, dst, n);
#else
    ReverseBytesPortable(src, dst, n);
#endif
}

bool ReverseBytesUsesSsse3() {
#if defined(__SSSE3__)
    return true;
#elif defined(TESSELINK_SSSE3_AT_RUN_TIME)
    return HasSsse3();
#else
    return false;
#endif
}

void TransposePortable(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                       std::ptrdiff_t dstStride, int width, int height) {
    for (int y0 = 0; y0 < height; y0 += CacheTile) {
        const int th = std::min(CacheTile, height - y0);
        for (int x0 = 0; x0 < width; x0 += CacheTile) {
            const int tw = std::min(CacheTile, width - x0);
            TransposeScalar(src + y0 * srcStride + x0, srcStride, dst + x0 * dstStride + y0, dstStride, tw, th);
        }
    }
}

void Transpose(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
               int width, int height) {
#if defined(__SSE2__)
    const int fullWidth = width & ~15;
    const int fullHeight = height & ~15;
    for (int y0 = 0; y0 < fullHeight; y0 += CacheTile) {
        const int yEnd = std::min(y0 + CacheTile, fullHeight);
        for (int x0 = 0; x0 < fullWidth; x0 += CacheTile) {
            const int xEnd = std::min(x0 + CacheTile, fullWidth);
            for (int y = y0; y < yEnd; y += 16)
                for (int x = x0; x < xEnd; x += 16)
                    Transpose16x16(src + y * srcStride + x, srcStride, dst + x * dstStride + y, dstStride);
        }
    }
    // Right strip (columns past the last whole tile), then the bottom strip under the tiles.
    if (fullWidth < width)
        TransposePortable(src + fullWidth, srcStride, dst + fullWidth * dstStride, dstStride, width - fullWidth,
                          height);
    if (fullHeight < height)
        TransposePortable(src + fullHeight * srcStride, srcStride, dst + fullHeight, dstStride, fullWidth,
                          height - fullHeight);
#else
    TransposePortable(src, srcStride, dst, dstStride, width, height);
#endif
}

void RemapBlock(int mode, const std::uint8_t* src, std::ptrdiff_t srcStride, int width, int height,
                std::uint8_t* dst, std::ptrdiff_t dstStride, bool portable) {
    if (width <= 0 || height <= 0) return;
    const std::size_t rowBytes = static_cast<std::size_t>(width);
    const std::ptrdiff_t lastRow = static_cast<std::ptrdiff_t>(height - 1);
    auto reverse = portable ? ReverseBytesPortable : ReverseBytes;
    auto transpose = portable ? TransposePortable : Transpose;
    switch (mode) {
    case 0:  // rows as blocks
        for (int r = 0; r < height; ++r) std::memcpy(dst + r * dstStride, src + r * srcStride, rowBytes);
        break;
    case 3:  // rows as blocks, bottom row first
        for (int r = 0; r < height; ++r)
            std::memcpy(dst + r * dstStride, src + (lastRow - r) * srcStride, rowBytes);
        break;
    case 4:  // each row reversed in place
        for (int r = 0; r < height; ++r) reverse(src + r * srcStride, dst + r * dstStride, rowBytes);
        break;
    case 5:  // each row reversed, bottom row first
        for (int r = 0; r < height; ++r) reverse(src + r * srcStride, dst + (lastRow - r) * dstStride, rowBytes);
        break;
    case 1:  // T[k, j] = S[j, H-1-k]: transpose of the source read bottom row first
        transpose(src + lastRow * srcStride, -srcStride, dst, dstStride, width, height);
        break;
    case 2:  // T[k, j] = S[W-1-j, k]: transpose written bottom row first
        transpose(src, srcStride, dst + static_cast<std::ptrdiff_t>(width - 1) * dstStride, -dstStride, width,
                  height);
        break;
    default:
        break;
    }
}

}  // namespace tesselink::kernels
