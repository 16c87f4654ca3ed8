// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/remap.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "remap/instruction_sets.h"
#include "remap/remap_kernels.h"

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
ClippedBlock ClipWindow(const PlaybackWindow& w, long long sourceWidth, long long sourceHeight, long long targetWidth,
                        long long targetHeight) {
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
    default: b.c1 = b.r1 = 0; break;
    }
    if (b.Empty()) return b;
    // Top-left of the sub-block's footprint: where its own formula puts (0, 0)'s neighbours.
    const long long TX = w.TargetStartX, TY = w.TargetStartY;
    switch (w.MapMode) {
    case 0:
        b.targetX = TX + b.c0;
        b.targetY = TY + b.r0;
        break;
    case 3:
        b.targetX = TX + b.c0;
        b.targetY = TY + H - b.r1;
        break;
    case 4:
        b.targetX = TX + W - b.c1;
        b.targetY = TY + b.r0;
        break;
    case 5:
        b.targetX = TX + W - b.c1;
        b.targetY = TY + H - b.r1;
        break;
    case 1:
        b.targetX = TX + H - b.r1;
        b.targetY = TY + b.c0;
        break;
    case 2:
        b.targetX = TX + b.r0;
        b.targetY = TY + W - b.c1;
        break;
    default: break;
    }
    return b;
}

// A window cut to both pictures, ready to move.
struct PlacedBlock {
    const PlaybackWindow* window = nullptr;
    ClippedBlock block;
    // Its footprint in the target: [left, right) x [top, bottom).
    long long left = 0, top = 0, right = 0, bottom = 0;
};

bool PlaceWindow(long long sourceWidth, long long sourceHeight, const PlaybackWindow& window, long long targetWidth,
                 long long targetHeight, PlacedBlock& placed) {
    if (window.MapMode >= MapModeCount) return false;
    placed.window = &window;
    placed.block = ClipWindow(window, sourceWidth, sourceHeight, targetWidth, targetHeight);
    const ClippedBlock& b = placed.block;
    if (b.Empty()) return false;
    const bool turned = window.MapMode == 1 || window.MapMode == 2;
    placed.left = b.targetX;
    placed.top = b.targetY;
    placed.right = b.targetX + (turned ? b.r1 - b.r0 : b.c1 - b.c0);
    placed.bottom = b.targetY + (turned ? b.c1 - b.c0 : b.r1 - b.r0);
    return true;
}

// Up to three planes of one size on each side, each with its own row stride.
struct PlaneLayers {
    const SourcePlane* sources;
    const TargetPlane* targets;
    int count;
};

void MoveBlock(const PlaneLayers& planes, const PlacedBlock& placed, kernels::KernelSet set) {
    const PlaybackWindow& window = *placed.window;
    const ClippedBlock& b = placed.block;
    const int width = static_cast<int>(b.c1 - b.c0);
    const int height = static_cast<int>(b.r1 - b.r0);
    for (int p = 0; p < planes.count; ++p) {
        const SourcePlane& source = planes.sources[p];
        const TargetPlane& target = planes.targets[p];
        const std::ptrdiff_t sourceOffset = static_cast<std::ptrdiff_t>(window.OriginalStartY + b.r0) * source.Stride +
                                            static_cast<std::ptrdiff_t>(window.OriginalStartX + b.c0);
        const std::ptrdiff_t targetOffset =
            static_cast<std::ptrdiff_t>(b.targetY) * target.Stride + static_cast<std::ptrdiff_t>(b.targetX);
        kernels::RemapBlock(window.MapMode, source.Data + sourceOffset, source.Stride, width, height,
                            target.Data + targetOffset, target.Stride, set);
    }
}

void FillRect(const PlaneLayers& planes, long long left, long long top, long long right, long long bottom) {
    for (int p = 0; p < planes.count; ++p) {
        const TargetPlane& target = planes.targets[p];
        for (long long y = top; y < bottom; ++y)
            std::memset(
                target.Data + static_cast<std::ptrdiff_t>(y) * target.Stride + static_cast<std::ptrdiff_t>(left),
                target.Fill, static_cast<std::size_t>(right - left));
    }
}

// Beyond this many windows the search for uncovered pixels costs more than filling them all.
constexpr std::size_t MaxWindowsForCoverSearch = 256;

// Fills the target pixels that no footprint covers: the fill is a third of the bytes a repaint
// writes, and a map usually covers its whole target. Between two neighbouring top or bottom edges
// of footprints every footprint covers whole rows or none, so each such band is filled in the
// gaps between its footprints.
void FillUncovered(const PlaneLayers& planes, long long width, long long height,
                   const std::vector<PlacedBlock>& blocks) {
    if (blocks.size() > MaxWindowsForCoverSearch || blocks.empty()) {
        FillRect(planes, 0, 0, width, height);
        return;
    }
    std::vector<long long> edges{0, height};
    for (const PlacedBlock& p : blocks) {
        edges.push_back(p.top);
        edges.push_back(p.bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::vector<std::pair<long long, long long>> spans;
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
        const long long top = edges[e], bottom = edges[e + 1];
        spans.clear();
        for (const PlacedBlock& p : blocks)
            if (p.top <= top && p.bottom >= bottom) spans.emplace_back(p.left, p.right);
        std::sort(spans.begin(), spans.end());
        long long x = 0;
        for (const auto& span : spans) {
            if (span.first > x) FillRect(planes, x, top, span.first, bottom);
            x = std::max(x, span.second);
        }
        if (x < width) FillRect(planes, x, top, width, bottom);
    }
}

void Remap(const PlaneLayers& planes, int sourceWidth, int sourceHeight, const PlaybackWindows& windows,
           int targetWidth, int targetHeight, bool portable) {
    std::vector<PlacedBlock> blocks;
    blocks.reserve(windows.size());
    for (const PlaybackWindow& window : windows) {
        PlacedBlock placed;
        if (PlaceWindow(sourceWidth, sourceHeight, window, targetWidth, targetHeight, placed)) blocks.push_back(placed);
    }
    if (portable) {
        FillRect(planes, 0, 0, targetWidth, targetHeight);
    } else {
        FillUncovered(planes, targetWidth, targetHeight, blocks);
    }
    const kernels::KernelSet set = portable ? kernels::KernelSet::Portable : kernels::BestKernelSet();
    for (const PlacedBlock& placed : blocks) MoveBlock(planes, placed, set);
}

void Remap(const ColourPlanes& source, const PlaybackWindows& windows, int targetWidth, int targetHeight,
           TargetPlanes& target, bool portable) {
    ReleaseTargetPlanes(target);
    target.Allocate(targetWidth, targetHeight);
    SourcePlane sources[3];
    TargetPlane targets[3];
    for (int channel = 0; channel < 3; ++channel) {
        sources[channel] = {source.Plane(channel), source.Width()};
        targets[channel] = {target.Plane(channel), target.Width(), TargetFillValue};
    }
    Remap(PlaneLayers{sources, targets, 3}, source.Width(), source.Height(), windows, target.Width(), target.Height(),
          portable);
}

}  // namespace

void RemapWindows(const ColourPlanes& source, const PlaybackWindows& windows, int targetWidth, int targetHeight,
                  TargetPlanes& target) {
    if (!source.IsPresent()) return;
    Remap(source, windows, targetWidth, targetHeight, target, false);
}

void RemapWindowsPortable(const ColourPlanes& source, const PlaybackWindows& windows, int targetWidth, int targetHeight,
                          TargetPlanes& target) {
    if (!source.IsPresent()) return;
    Remap(source, windows, targetWidth, targetHeight, target, true);
}

void RemapPlanes(const SourcePlane* sources, const TargetPlane* targets, int count, int sourceWidth, int sourceHeight,
                 const PlaybackWindows& windows, int targetWidth, int targetHeight) {
    if (count <= 0 || sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) return;
    Remap(PlaneLayers{sources, targets, count}, sourceWidth, sourceHeight, windows, targetWidth, targetHeight, false);
}

bool ClipWindowToPictures(const PlaybackWindow& window, int sourceWidth, int sourceHeight, int targetWidth,
                          int targetHeight, PlaybackWindow& clipped) {
    PlacedBlock placed;
    if (!PlaceWindow(sourceWidth, sourceHeight, window, targetWidth, targetHeight, placed)) return false;
    const ClippedBlock& b = placed.block;
    clipped = MakeWindow(static_cast<int>(window.OriginalStartX + b.c0), static_cast<int>(window.OriginalStartY + b.r0),
                         static_cast<int>(b.c1 - b.c0), static_cast<int>(b.r1 - b.r0), static_cast<int>(b.targetX),
                         static_cast<int>(b.targetY), window.MapMode);
    return true;
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
            case 0:
                dx = TX + c;
                dy = TY + r;
                break;
            case 1:
                dx = TX + H - 1 - r;
                dy = TY + c;
                break;
            case 2:
                dx = TX + r;
                dy = TY + W - 1 - c;
                break;
            case 3:
                dx = TX + c;
                dy = TY + H - 1 - r;
                break;
            case 4:
                dx = TX + W - 1 - c;
                dy = TY + r;
                break;
            case 5:
                dx = TX + W - 1 - c;
                dy = TY + H - 1 - r;
                break;
            }
            if (dx >= tw || dy >= th) continue;
            for (int channel = 0; channel < 3; ++channel)
                target.Plane(channel)[dy * tw + dx] = source.Plane(channel)[sy * ow + sx];
        }
    }
}

namespace {

#if defined(TESSELINK_X86_KERNELS)
// 32 pixels a step; the interleaving works within 128-bit halves, so the halves of the four
// results are put in pixel order at the end. `row` must be 32-byte aligned. Compiled for AVX2
// alone, chosen at run time.
TESSELINK_TARGET("avx2")
std::size_t RowToRgb32Avx2(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue,
                           std::size_t width, std::uint32_t* row) {
    const __m256i opaque = _mm256_set1_epi8(static_cast<char>(0xFF));
    std::size_t x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m256i r = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(red + x));
        const __m256i g = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(green + x));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(blue + x));
        const __m256i bgLow = _mm256_unpacklo_epi8(b, g), bgHigh = _mm256_unpackhi_epi8(b, g);
        const __m256i raLow = _mm256_unpacklo_epi8(r, opaque), raHigh = _mm256_unpackhi_epi8(r, opaque);
        // Pixels 0-3 | 16-19, 4-7 | 20-23, 8-11 | 24-27, 12-15 | 28-31.
        const __m256i p0 = _mm256_unpacklo_epi16(bgLow, raLow), p1 = _mm256_unpackhi_epi16(bgLow, raLow);
        const __m256i p2 = _mm256_unpacklo_epi16(bgHigh, raHigh), p3 = _mm256_unpackhi_epi16(bgHigh, raHigh);
        __m256i* o = reinterpret_cast<__m256i*>(row + x);
        _mm256_store_si256(o + 0, _mm256_permute2x128_si256(p0, p1, 0x20));
        _mm256_store_si256(o + 1, _mm256_permute2x128_si256(p2, p3, 0x20));
        _mm256_store_si256(o + 2, _mm256_permute2x128_si256(p0, p1, 0x31));
        _mm256_store_si256(o + 3, _mm256_permute2x128_si256(p2, p3, 0x31));
    }
    _mm256_zeroupper();
    return x;
}
#endif

}  // namespace

void RowToRgb32(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue, std::size_t width,
                std::uint32_t* row, [[maybe_unused]] kernels::KernelSet set) {
    std::size_t x = 0;
#if defined(TESSELINK_X86_KERNELS)
    if (set == kernels::KernelSet::Avx2 && kernels::KernelSetAvailable(set)) {
        // A pixel at a time up to a 32-byte boundary of the output: stores that split cache
        // lines cost more than the whole conversion of those few pixels.
        for (; x < width && (reinterpret_cast<std::uintptr_t>(row + x) & 31) != 0; ++x)
            row[x] = 0xFF000000u | (static_cast<std::uint32_t>(red[x]) << 16) |
                     (static_cast<std::uint32_t>(green[x]) << 8) | blue[x];
        x += RowToRgb32Avx2(red + x, green + x, blue + x, width - x, row + x);
    }
    const __m128i opaque = _mm_set1_epi8(static_cast<char>(0xFF));
    for (; set != kernels::KernelSet::Portable && x + 16 <= width; x += 16) {
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

void TargetPlanesToRgb32(const TargetPlanes& planes, std::uint32_t* out, std::ptrdiff_t strideWords,
                         kernels::KernelSet set) {
    const std::size_t width = static_cast<std::size_t>(planes.Width());
    const std::size_t height = static_cast<std::size_t>(planes.Height());
    for (std::size_t y = 0; y < height; ++y)
        RowToRgb32(planes.Red() + y * width, planes.Green() + y * width, planes.Blue() + y * width, width,
                   out + static_cast<std::ptrdiff_t>(y) * strideWords, set);
}

}  // namespace tesselink
