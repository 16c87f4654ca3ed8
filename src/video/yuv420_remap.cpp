// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/yuv420_remap.h"

extern "C" {
#include <libavutil/frame.h>
}

#include "remap/remap.h"

namespace tesselink {

void Yuv420Remapper::Prepare(const Yuv420Area& area, const PlaybackWindows& windows, int targetWidth,
                             int targetHeight) {
    if (windows == windows_ && area.Width() == width_ && area.Height() == height_ && area.OriginX() == originX_ &&
        area.OriginY() == originY_ && targetWidth == targetWidth_ && targetHeight == targetHeight_)
        return;
    windows_ = windows;
    width_ = area.Width();
    height_ = area.Height();
    originX_ = area.OriginX();
    originY_ = area.OriginY();
    targetWidth_ = targetWidth;
    targetHeight_ = targetHeight;
    chromaMap_.Build(windows, width_, height_, originX_, originY_, targetWidth, targetHeight);
}

void Yuv420Remapper::Remap(const Yuv420Area& area, const PlaybackWindows& windows, int targetWidth, int targetHeight,
                           const YuvPlanes& out, const std::uint8_t fill[3]) {
    const AVFrame* frame = area.Frame();
    if (!frame) return;
    Prepare(area, windows, targetWidth, targetHeight);
    const int x = area.OriginX(), y = area.OriginY();
    const SourcePlane luma{frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0] + x,
                           frame->linesize[0]};
    const TargetPlane lumaOut{out.Y, out.YStride, fill[0]};
    RemapPlanes(&luma, &lumaOut, 1, area.Width(), area.Height(), windows, targetWidth, targetHeight);

    SourcePlane chroma[2];
    for (int p = 0; p < 2; ++p)
        chroma[p] = {frame->data[1 + p] + static_cast<std::ptrdiff_t>(y >> 1) * frame->linesize[1 + p] + (x >> 1),
                     frame->linesize[1 + p]};
    const TargetPlane chromaOut[2] = {{out.U, out.UStride, fill[1]}, {out.V, out.VStride, fill[2]}};
    for (int p = 0; p < 2; ++p) chromaMap_.Remap(chroma[p], chromaOut[p], scratch_);
}

}  // namespace tesselink
