#include "remap/remap.h"

#include <algorithm>
#include <cstring>

#include "remap/remap_kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tesselink {
namespace {

// The part of a window that lies inside both pictures, as a source sub-block
// (columns [c0, c1), rows [r0, r1) of the window) and where that sub-block's footprint starts.
struct ClippedBlock {
    long long c0 = 0, c1 = 0, r0 = 0, r1 = 0;
    long long targetX = 0, targetY = 0;
    bool Empty() const { return c0 >= c1 || r0 >= r1; }
};

// Every destination coordinate is affine in c alone or in r alone, so the pixels of a window
// that stay inside both pictures form one rectangle of (c, r); the sub-block keeps the mode's
// formula with its own width and height.
ClippedBlock ClipWindow(const PlaybackWindow& w, long long sourceWidth, long long sourceHeight,
                        long long targetWidth, long long targetHeight) {
    const long long W = w.Width, H = w.Height;
    const long long roomX = targetWidth - w.TargetStartX;   // target columns left from TX
    const long long roomY = targetHeight - w.TargetStartY;  // target rows left from TY
    ClippedBlock b;
    b.c1 = std::min(W, sourceWidth - w.OriginalStartX);
    b.r1 = std::min(H, sourceHeight - w.OriginalStartY);
    switch (w.MapMode) {
    case 0:  // (TX + c, TY + r)
        b.c1 = std::min(b.c1, roomX);
        b.r1 = std::min(b.r1, roomY);
        break;
    case 3:  // (TX + c, TY + H-1-r)
        b.c1 = std::min(b.c1, roomX);
        b.r0 = std::max(b.r0, H - roomY);
        break;
    case 4:  // (TX + W-1-c, TY + r)
        b.c0 = std::max(b.c0, W - roomX);
        b.r1 = std::min(b.r1, roomY);
        break;
    case 5:  // (TX + W-1-c, TY + H-1-r)
        b.c0 = std::max(b.c0, W - roomX);
        b.r0 = std::max(b.r0, H - roomY);
        break;
    case 1:  // (TX + H-1-r, TY + c)
        b.r0 = std::max(b.r0, H - roomX);
        b.c1 = std::min(b.c1, roomY);
        break;
    case 2:  // (TX + r, TY + W-1-c)
        b.r1 = std::min(b.r1, roomX);
        b.c0 = std::max(b.c0, W - roomY);
        break;
    default:
        b.c1 = b.r1 = 0;
        break;
    }
    if (b.Empty()) return b;
    // Top-left of the sub-block's footprint: where its own formula puts (0, 0)'s neighbours.
    const long long TX = w.TargetStartX, TY = w.TargetStartY;
    switch (w.MapMode) {
    case 0: b.targetX = TX + b.c0; b.targetY = TY + b.r0; break;
    case 3: b.targetX = TX + b.c0; b.targetY = TY + H - b.r1; break;
    case 4: b.targetX = TX + W - b.c1; b.targetY = TY + b.r0; break;
    case 5: b.targetX = TX + W - b.c1; b.targetY = TY + H - b.r1; break;
    case 1: b.targetX = TX + H - b.r1; b.targetY = TY + b.c0; break;
    case 2: b.targetX = TX + b.r0; b.targetY = TY + W - b.c1; break;
    default: break;
    }
    return b;
}

void RemapWindowInto(const ColourPlanes& source, const PlaybackWindow& window, TargetPlanes& target,
                     bool portable) {
    if (window.MapMode >= MapModeCount) return;
    const ClippedBlock b = ClipWindow(window, source.Width(), source.Height(), target.Width(), target.Height());
    if (b.Empty()) return;
    const std::ptrdiff_t sourceStride = source.Width();
    const std::ptrdiff_t targetStride = target.Width();
    const std::ptrdiff_t sourceOffset = static_cast<std::ptrdiff_t>(window.OriginalStartY + b.r0) * sourceStride +
                                        static_cast<std::ptrdiff_t>(window.OriginalStartX + b.c0);
    const std::ptrdiff_t targetOffset = static_cast<std::ptrdiff_t>(b.targetY) * targetStride +
                                        static_cast<std::ptrdiff_t>(b.targetX);
    const int width = static_cast<int>(b.c1 - b.c0);
    const int height = static_cast<int>(b.r1 - b.r0);
    for (int channel = 0; channel < 3; ++channel) {
        kernels::RemapBlock(window.MapMode, source.Plane(channel) + sourceOffset, sourceStride, width, height,
                            target.Plane(channel) + targetOffset, targetStride,
                            portable ? kernels::KernelSet::Portable : kernels::BestKernelSet());
    }
}

void FillTarget(TargetPlanes& target, int targetWidth, int targetHeight) {
    ReleaseTargetPlanes(target);
    target.Allocate(targetWidth, targetHeight);
    for (int channel = 0; channel < 3; ++channel)
        if (target.PlaneSize() != 0) std::memset(target.Plane(channel), TargetFillValue, target.PlaneSize());
}

}  // namespace

void RemapWindows(const ColourPlanes& source, const PlaybackWindows& windows, int targetWidth, int targetHeight,
                  TargetPlanes& target) {
    if (!source.IsPresent()) return;
    FillTarget(target, targetWidth, targetHeight);
    for (const PlaybackWindow& window : windows) RemapWindowInto(source, window, target, false);
}

void RemapWindowsPortable(const ColourPlanes& source, const PlaybackWindows& windows, int targetWidth,
                          int targetHeight, TargetPlanes& target) {
    if (!source.IsPresent()) return;
    FillTarget(target, targetWidth, targetHeight);
    for (const PlaybackWindow& window : windows) RemapWindowInto(source, window, target, true);
}

void RemapWindowReference(const ColourPlanes& source, const PlaybackWindow& window, TargetPlanes& target) {
    const long long ow = source.Width(), oh = source.Height();
    const long long tw = target.Width(), th = target.Height();
    const long long W = window.Width, H = window.Height;
    const long long TX = window.TargetStartX, TY = window.TargetStartY;
    if (window.MapMode >= MapModeCount) return;
    // Only source pixels inside the picture are visited, so a huge hand-made window stays cheap.
    const long long rows = std::min(H, oh - window.OriginalStartY);
    const long long columns = std::min(W, ow - window.OriginalStartX);
    for (long long r = 0; r < rows; ++r) {
        for (long long c = 0; c < columns; ++c) {
            const long long sx = window.OriginalStartX + c, sy = window.OriginalStartY + r;
            long long dx = 0, dy = 0;
            switch (window.MapMode) {
            case 0: dx = TX + c; dy = TY + r; break;
            case 1: dx = TX + H - 1 - r; dy = TY + c; break;
            case 2: dx = TX + r; dy = TY + W - 1 - c; break;
            case 3: dx = TX + c; dy = TY + H - 1 - r; break;
            case 4: dx = TX + W - 1 - c; dy = TY + r; break;
            case 5: dx = TX + W - 1 - c; dy = TY + H - 1 - r; break;
            }
            if (dx >= tw || dy >= th) continue;
            for (int channel = 0; channel < 3; ++channel)
                target.Plane(channel)[dy * tw + dx] = source.Plane(channel)[sy * ow + sx];
        }
    }
}

void TargetPlanesToRgb32(const TargetPlanes& planes, std::uint32_t* out, std::ptrdiff_t strideWords) {
    const std::size_t width = static_cast<std::size_t>(planes.Width());
    const std::size_t height = static_cast<std::size_t>(planes.Height());
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* red = planes.Red() + y * width;
        const std::uint8_t* green = planes.Green() + y * width;
        const std::uint8_t* blue = planes.Blue() + y * width;
        std::uint32_t* row = out + static_cast<std::ptrdiff_t>(y) * strideWords;
        std::size_t x = 0;
#if defined(__SSE2__)
        const __m128i opaque = _mm_set1_epi8(static_cast<char>(0xFF));
        for (; x + 16 <= width; x += 16) {
            const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(red + x));
            const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(green + x));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blue + x));
            // Little-endian words 0xffRRGGBB are the bytes B, G, R, 0xff.
            const __m128i bgLow = _mm_unpacklo_epi8(b, g), bgHigh = _mm_unpackhi_epi8(b, g);
            const __m128i raLow = _mm_unpacklo_epi8(r, opaque), raHigh = _mm_unpackhi_epi8(r, opaque);
            __m128i* o = reinterpret_cast<__m128i*>(row + x);
            _mm_storeu_si128(o + 0, _mm_unpacklo_epi16(bgLow, raLow));
            _mm_storeu_si128(o + 1, _mm_unpackhi_epi16(bgLow, raLow));
            _mm_storeu_si128(o + 2, _mm_unpacklo_epi16(bgHigh, raHigh));
            _mm_storeu_si128(o + 3, _mm_unpackhi_epi16(bgHigh, raHigh));
        }
#endif
        for (; x < width; ++x)
            row[x] = 0xFF000000u | (static_cast<std::uint32_t>(red[x]) << 16) |
                     (static_cast<std::uint32_t>(green[x]) << 8) | blue[x];
    }
}

}  // namespace tesselink
