// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/half_rate_windows.h"

#include <algorithm>
#include <cstring>

#include "remap/remap_kernels.h"

namespace tesselink {
namespace {

struct Sample {
    long long x = 0, y = 0;
};

// The source sample holding the source pixel that `w`, a window lying inside both pictures, shows
// at target pixel (x, y); outside the footprint, where its formula would put one.
Sample SourceSampleOf(const PlaybackWindow& w, long long x, long long y, long long originX, long long originY) {
    const long long u = x - w.TargetStartX, v = y - w.TargetStartY;
    const long long W = w.Width, H = w.Height;
    long long c = 0, r = 0;  // within the window's source rectangle
    switch (w.MapMode) {
    case 0: c = u, r = v; break;
    case 1: c = v, r = H - 1 - u; break;
    case 2: c = W - 1 - v, r = u; break;
    case 3: c = u, r = H - 1 - v; break;
    case 4: c = W - 1 - u, r = v; break;
    default: c = W - 1 - u, r = H - 1 - v; break;
    }
    return {((originX + w.OriginalStartX + c) >> 1) - (originX >> 1),
            ((originY + w.OriginalStartY + r) >> 1) - (originY >> 1)};
}

// The nonzero x (or y) step among the source samples of a block's other pixels.
int StepAlong(const Sample& base, const Sample& right, const Sample& below, bool x) {
    const long long a = x ? right.x - base.x : right.y - base.y;
    const long long b = x ? below.x - base.x : below.y - base.y;
    return static_cast<int>(a != 0 ? a : b);
}

}  // namespace

void HalfRateMap::Build(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, int originX, int originY,
                        int targetWidth, int targetHeight) {
    blocks_.clear();
    seams_.clear();
    sourceWidth_ = HalfRateSpan(originX, sourceWidth);
    sourceHeight_ = HalfRateSpan(originY, sourceHeight);
    targetWidth_ = (std::max(targetWidth, 0) + 1) / 2;
    targetHeight_ = (std::max(targetHeight, 0) + 1) / 2;
    PlaybackWindows clipped;
    for (const PlaybackWindow& window : windows) {
        PlaybackWindow w;
        if (!ClipWindowToPictures(window, sourceWidth, sourceHeight, targetWidth, targetHeight, w)) continue;
        clipped.push_back(w);
        // Target samples whose top-left pixel lies in the footprint.
        const long long cx0 = (w.TargetStartX + 1) / 2, cx1 = (w.TargetStartX + w.PlacedWidth + 1) / 2;
        const long long cy0 = (w.TargetStartY + 1) / 2, cy1 = (w.TargetStartY + w.PlacedHeight + 1) / 2;
        if (cx0 >= cx1 || cy0 >= cy1) continue;
        // Every mode moves sample coordinates by one per sample, so the samples shown form one
        // rectangle under the same mode, found from two opposite corners; and a block's pixels
        // fall on the same pattern of samples all over the window.
        const Sample a = SourceSampleOf(w, 2 * cx0, 2 * cy0, originX, originY);
        const Sample b = SourceSampleOf(w, 2 * (cx1 - 1), 2 * (cy1 - 1), originX, originY);
        const Sample right = SourceSampleOf(w, 2 * cx0 + 1, 2 * cy0, originX, originY);
        const Sample below = SourceSampleOf(w, 2 * cx0, 2 * cy0 + 1, originX, originY);
        const bool turned = w.MapMode == 1 || w.MapMode == 2;
        const long long placedWidth = cx1 - cx0, placedHeight = cy1 - cy0;
        Block block;
        block.Window = MakeWindow(static_cast<int>(std::min(a.x, b.x)), static_cast<int>(std::min(a.y, b.y)),
                                  static_cast<int>(turned ? placedHeight : placedWidth),
                                  static_cast<int>(turned ? placedWidth : placedHeight), static_cast<int>(cx0),
                                  static_cast<int>(cy0), w.MapMode);
        block.AverageX = StepAlong(a, right, below, true);
        block.AverageY = StepAlong(a, right, below, false);
        blocks_.push_back(block);
    }
    FindSeams(clipped, targetWidth, targetHeight, originX, originY);
}

void HalfRateMap::FindSeams(const PlaybackWindows& clipped, int targetWidth, int targetHeight, int originX,
                            int originY) {
    // Which window shows each pixel of a pair of target rows (-1: none), later windows on top; a
    // pair of rows at a time keeps the memory to the target's width.
    std::vector<int> owners[2];
    owners[0].resize(static_cast<std::size_t>(targetWidth));
    owners[1].resize(static_cast<std::size_t>(targetWidth));
    for (int cy = 0; cy < targetHeight_; ++cy) {
        const int rows = std::min(2, targetHeight - 2 * cy);
        for (int r = 0; r < rows; ++r) {
            const int y = 2 * cy + r;
            std::fill(owners[r].begin(), owners[r].end(), -1);
            for (std::size_t i = 0; i < clipped.size(); ++i) {
                const PlaybackWindow& w = clipped[i];
                if (y < w.TargetStartY || y >= w.TargetStartY + w.PlacedHeight) continue;
                std::fill_n(owners[r].begin() + w.TargetStartX, w.PlacedWidth, static_cast<int>(i));
            }
        }
        for (int cx = 0; cx < targetWidth_; ++cx) {
            const int columns = std::min(2, targetWidth - 2 * cx);
            const int first = owners[0][static_cast<std::size_t>(2 * cx)];
            bool mixed = rows * columns < 4;  // cut by an odd target's edge
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c) mixed |= owners[r][static_cast<std::size_t>(2 * cx + c)] != first;
            if (!mixed) continue;
            Seam seam;
            seam.X = cx;
            seam.Y = cy;
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c) {
                    const int owner = owners[r][static_cast<std::size_t>(2 * cx + c)];
                    Sample sample{-1, -1};
                    if (owner >= 0)
                        sample = SourceSampleOf(clipped[static_cast<std::size_t>(owner)], 2 * cx + c, 2 * cy + r,
                                                originX, originY);
                    seam.SourceX[seam.Pixels] = static_cast<int>(sample.x);
                    seam.SourceY[seam.Pixels] = static_cast<int>(sample.y);
                    ++seam.Pixels;
                }
            seams_.push_back(seam);
        }
    }
}

void HalfRateMap::Remap(const SourcePlane& source, const TargetPlane& target,
                        std::vector<std::uint8_t>& scratch) const {
    for (int y = 0; y < targetHeight_; ++y)
        std::memset(target.Data + static_cast<std::ptrdiff_t>(y) * target.Stride, target.Fill,
                    static_cast<std::size_t>(targetWidth_));
    for (const Block& block : blocks_) {
        const PlaybackWindow& w = block.Window;
        const std::uint8_t* from =
            source.Data + static_cast<std::ptrdiff_t>(w.OriginalStartY) * source.Stride + w.OriginalStartX;
        std::ptrdiff_t fromStride = source.Stride;
        if (block.AverageX != 0 || block.AverageY != 0) {
            // The window's source samples, each the mean with its neighbours; a neighbour beyond the
            // plane is only wanted by a seam sample, which is blended afterwards, so the edge one
            // stands in.
            const int width = w.Width, height = w.Height, x0 = w.OriginalStartX, ax = block.AverageX;
            scratch.resize(static_cast<std::size_t>(width) * height);
            const int first = std::max(0, -(x0 + ax)), last = std::min(width, sourceWidth_ - x0 - ax);
            for (int r = 0; r < height; ++r) {
                const int y = w.OriginalStartY + r;
                const int yn = std::clamp(y + block.AverageY, 0, sourceHeight_ - 1);
                const std::uint8_t* a = source.Data + static_cast<std::ptrdiff_t>(y) * source.Stride + x0;
                const std::uint8_t* b = source.Data + static_cast<std::ptrdiff_t>(yn) * source.Stride + x0;
                std::uint8_t* out = scratch.data() + static_cast<std::ptrdiff_t>(r) * width;
                auto mean = [&](int c, int cn) {
                    return static_cast<std::uint8_t>((a[c] + a[cn] + b[c] + b[cn] + 2) >> 2);
                };
                for (int c = 0; c < std::min(first, width); ++c) out[c] = mean(c, -x0);
                for (int c = first; c < last; ++c) out[c] = mean(c, c + ax);
                for (int c = std::max(last, first); c < width; ++c) out[c] = mean(c, sourceWidth_ - 1 - x0);
            }
            from = scratch.data();
            fromStride = width;
        }
        kernels::RemapBlock(w.MapMode, from, fromStride, w.Width, w.Height,
                            target.Data + static_cast<std::ptrdiff_t>(w.TargetStartY) * target.Stride + w.TargetStartX,
                            target.Stride);
    }
    for (const Seam& seam : seams_) {
        int sum = 0;
        for (int p = 0; p < seam.Pixels; ++p)
            sum += seam.SourceX[p] < 0
                       ? target.Fill
                       : source.Data[static_cast<std::ptrdiff_t>(seam.SourceY[p]) * source.Stride + seam.SourceX[p]];
        target.Data[static_cast<std::ptrdiff_t>(seam.Y) * target.Stride + seam.X] =
            static_cast<std::uint8_t>((sum + seam.Pixels / 2) / seam.Pixels);
    }
}

}  // namespace tesselink
