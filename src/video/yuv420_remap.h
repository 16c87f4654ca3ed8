// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frame's 4:2:0 planes carried through a map straight into an encoder's 4:2:0 planes: luma
// pixel for pixel as the picture remap moves colours, chroma through the half-rate windows. No
// colour conversion either way, so a render into H.264 costs little beyond moving the bytes.

#include <cstdint>

#include "map/map_model.h"
#include "video/frame_planes.h"
#include "video/rgb_to_yuv.h"

namespace tesselink {

// `out` is targetWidth x targetHeight; `fill` (luma, Cb, Cr) goes where no window lands.
// `halfRate` is working memory kept between frames.
void RemapYuv420(const Yuv420Area& area, const PlaybackWindows& windows, int targetWidth, int targetHeight,
                 const YuvPlanes& out, const std::uint8_t fill[3], PlaybackWindows& halfRate);

}  // namespace tesselink
