// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/half_rate_windows.h"

#include <algorithm>

#include "remap/remap.h"

namespace tesselink {
namespace {

struct Sample {
    long long x = 0, y = 0;
};

// The source sample holding the source pixel that `w`, a window lying inside both pictures,
// shows at target pixel (x, y) of its footprint.
Sample SourceSampleOf(const PlaybackWindow& w, long long x, long long y, long long originX, long long originY) {
    const long long u = x - w.TargetStartX, v = y - w.TargetStartY;  // within the footprint
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

}  // namespace

void HalfRateWindows(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, int originX, int originY,
                     int targetWidth, int targetHeight, PlaybackWindows& out) {
    out.clear();
    for (const PlaybackWindow& window : windows) {
        PlaybackWindow w;
        if (!ClipWindowToPictures(window, sourceWidth, sourceHeight, targetWidth, targetHeight, w)) continue;
        // Target samples whose top-left pixel lies in the footprint.
        const long long cx0 = (w.TargetStartX + 1) / 2, cx1 = (w.TargetStartX + w.PlacedWidth + 1) / 2;
        const long long cy0 = (w.TargetStartY + 1) / 2, cy1 = (w.TargetStartY + w.PlacedHeight + 1) / 2;
        if (cx0 >= cx1 || cy0 >= cy1) continue;
        // Every mode moves sample coordinates by one per sample, so the samples shown form one
        // rectangle under the same mode, found from two opposite corners.
        const Sample a = SourceSampleOf(w, 2 * cx0, 2 * cy0, originX, originY);
        const Sample b = SourceSampleOf(w, 2 * (cx1 - 1), 2 * (cy1 - 1), originX, originY);
        const bool turned = w.MapMode == 1 || w.MapMode == 2;
        const long long placedWidth = cx1 - cx0, placedHeight = cy1 - cy0;
        out.push_back(MakeWindow(static_cast<int>(std::min(a.x, b.x)), static_cast<int>(std::min(a.y, b.y)),
                                 static_cast<int>(turned ? placedHeight : placedWidth),
                                 static_cast<int>(turned ? placedWidth : placedHeight), static_cast<int>(cx0),
                                 static_cast<int>(cy0), w.MapMode));
    }
}

void FindSeams(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, int originX, int originY,
               int targetWidth, int targetHeight, std::vector<SeamSample>& out) {
    out.clear();
    if (targetWidth <= 0 || targetHeight <= 0) return;
    PlaybackWindows clipped;
    for (const PlaybackWindow& window : windows) {
        PlaybackWindow w;
        if (ClipWindowToPictures(window, sourceWidth, sourceHeight, targetWidth, targetHeight, w)) clipped.push_back(w);
    }
    // Which window shows each pixel of a pair of target rows (-1: none), later windows on top;
    // a row at a time keeps the memory to the target's width.
    std::vector<int> owners[2];
    owners[0].resize(static_cast<std::size_t>(targetWidth));
    owners[1].resize(static_cast<std::size_t>(targetWidth));
    for (int cy = 0; 2 * cy < targetHeight; ++cy) {
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
        for (int cx = 0; 2 * cx < targetWidth; ++cx) {
            const int columns = std::min(2, targetWidth - 2 * cx);
            const int first = owners[0][static_cast<std::size_t>(2 * cx)];
            bool mixed = false;
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c) mixed |= owners[r][static_cast<std::size_t>(2 * cx + c)] != first;
            if (!mixed) continue;
            SeamSample seam;
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
            out.push_back(seam);
        }
    }
}

void BlendSeams(const std::vector<SeamSample>& seams, const SourcePlane& source, const TargetPlane& target) {
    for (const SeamSample& seam : seams) {
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
