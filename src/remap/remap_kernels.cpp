// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/remap_kernels.h"

#include <algorithm>
#include <cstring>

#include "remap/remap_kernels_forms.h"

// The portable forms and the choice of form; the x86 forms are in remap_kernels_x86.cpp.

namespace tesselink::kernels {
namespace {

// Byte by byte; also the edges of the vector forms.
void TransposeScalar(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                     int width, int height) {
    for (int x = 0; x < width; ++x) {
        std::uint8_t* out = dst + x * dstStride;
        const std::uint8_t* in = src + x;
        for (int y = 0; y < height; ++y) out[y] = in[y * srcStride];
    }
}

KernelSet Usable(KernelSet set) { return KernelSetAvailable(set) ? set : BestKernelSet(); }

}  // namespace

void CopyRowsPortable(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                      int width, int height) {
    for (int r = 0; r < height; ++r)
        std::memcpy(dst + r * dstStride, src + r * srcStride, static_cast<std::size_t>(width));
}

void ReverseRowsPortable(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                         int width, int height) {
    const std::size_t n = static_cast<std::size_t>(width);
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* in = src + r * srcStride;
        std::uint8_t* out = dst + r * dstStride;
        for (std::size_t i = 0; i < n; ++i) out[n - 1 - i] = in[i];
    }
}

void TransposePortable(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                       int width, int height) {
    for (int y0 = 0; y0 < height; y0 += CacheTile) {
        const int th = std::min(CacheTile, height - y0);
        for (int x0 = 0; x0 < width; x0 += CacheTile) {
            const int tw = std::min(CacheTile, width - x0);
            TransposeScalar(src + y0 * srcStride + x0, srcStride, dst + x0 * dstStride + y0, dstStride, tw, th);
        }
    }
}

void TransposeEdges(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                    int width, int height) {
    const int fullWidth = width & ~15;
    const int fullHeight = height & ~15;
    if (fullWidth < width)
        TransposePortable(src + fullWidth, srcStride, dst + fullWidth * dstStride, dstStride, width - fullWidth,
                          height);
    if (fullHeight < height)
        TransposePortable(src + fullHeight * srcStride, srcStride, dst + fullHeight, dstStride, fullWidth,
                          height - fullHeight);
}

bool KernelSetAvailable(KernelSet set) {
    switch (set) {
    case KernelSet::Portable: return true;
#if defined(TESSELINK_X86_KERNELS)
    case KernelSet::Sse2: return Cpu().sse2;
    case KernelSet::Ssse3: return Cpu().ssse3;
    case KernelSet::Avx2: return Cpu().avx2;
#endif
    default: return false;
    }
}

KernelSet BestKernelSet() {
    static const KernelSet best = [] {
        for (KernelSet set : {KernelSet::Avx2, KernelSet::Ssse3, KernelSet::Sse2})
            if (KernelSetAvailable(set)) return set;
        return KernelSet::Portable;
    }();
    return best;
}

const char* KernelSetName(KernelSet set) {
    switch (set) {
    case KernelSet::Portable: return "portable";
    case KernelSet::Sse2: return "SSE2";
    case KernelSet::Ssse3: return "SSSE3";
    case KernelSet::Avx2: return "AVX2";
    }
    return "?";
}

void CopyRows(KernelSet set, const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
              std::ptrdiff_t dstStride, int width, int height) {
    if (width <= 0 || height <= 0) return;
    switch (Usable(set)) {
#if defined(TESSELINK_X86_KERNELS)
    case KernelSet::Avx2: CopyRowsAvx2(src, srcStride, dst, dstStride, width, height); return;
    case KernelSet::Ssse3:
    case KernelSet::Sse2: CopyRowsSse2(src, srcStride, dst, dstStride, width, height); return;
#endif
    default: CopyRowsPortable(src, srcStride, dst, dstStride, width, height); return;
    }
}

void ReverseRows(KernelSet set, const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                 std::ptrdiff_t dstStride, int width, int height) {
    if (width <= 0 || height <= 0) return;
    switch (Usable(set)) {
#if defined(TESSELINK_X86_KERNELS)
    case KernelSet::Avx2: ReverseRowsAvx2(src, srcStride, dst, dstStride, width, height); return;
    case KernelSet::Ssse3: ReverseRowsSsse3(src, srcStride, dst, dstStride, width, height); return;
    case KernelSet::Sse2: ReverseRowsSse2(src, srcStride, dst, dstStride, width, height); return;
#endif
    default: ReverseRowsPortable(src, srcStride, dst, dstStride, width, height); return;
    }
}

void Transpose(KernelSet set, const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
               std::ptrdiff_t dstStride, int width, int height) {
    if (width <= 0 || height <= 0) return;
    switch (Usable(set)) {
#if defined(TESSELINK_X86_KERNELS)
    case KernelSet::Avx2: TransposeAvx2(src, srcStride, dst, dstStride, width, height); return;
    case KernelSet::Ssse3:
    case KernelSet::Sse2: TransposeSse2(src, srcStride, dst, dstStride, width, height); return;
#endif
    default: TransposePortable(src, srcStride, dst, dstStride, width, height); return;
    }
}

void RemapBlock(int mode, const std::uint8_t* src, std::ptrdiff_t srcStride, int width, int height, std::uint8_t* dst,
                std::ptrdiff_t dstStride, KernelSet set) {
    if (width <= 0 || height <= 0) return;
    const std::ptrdiff_t lastRow = static_cast<std::ptrdiff_t>(height - 1);
    switch (mode) {
    case 0:  // rows as blocks
        CopyRows(set, src, srcStride, dst, dstStride, width, height);
        break;
    case 3:  // rows as blocks, bottom row first
        CopyRows(set, src + lastRow * srcStride, -srcStride, dst, dstStride, width, height);
        break;
    case 4:  // each row reversed in place
        ReverseRows(set, src, srcStride, dst, dstStride, width, height);
        break;
    case 5:  // each row reversed, bottom row first
        ReverseRows(set, src, srcStride, dst + lastRow * dstStride, -dstStride, width, height);
        break;
    case 1:  // T[k, j] = S[j, H-1-k]: transpose of the source read bottom row first
        Transpose(set, src + lastRow * srcStride, -srcStride, dst, dstStride, width, height);
        break;
    case 2:  // T[k, j] = S[W-1-j, k]: transpose written bottom row first
        Transpose(set, src, srcStride, dst + static_cast<std::ptrdiff_t>(width - 1) * dstStride, -dstStride, width,
                  height);
        break;
    default: break;
    }
}

}  // namespace tesselink::kernels