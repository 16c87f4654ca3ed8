// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frame's 4:2:0 planes carried through a map straight into an encoder's 4:2:0 planes: luma
// pixel for pixel as the picture remap moves colours, chroma through the map's half-rate form. No
// colour conversion either way, so a render into H.264 costs little beyond moving the bytes.

#include <cstdint>
#include <vector>

#include "map/map_model.h"
#include "remap/half_rate_windows.h"
#include "video/frame_planes.h"
#include "video/rgb_to_yuv.h"

namespace tesselink {

class Yuv420Remapper {
public:
    // `out` is targetWidth x targetHeight; `fill` (luma, Cb, Cr) goes where no window lands.
    void Remap(const Yuv420Area& area, const PlaybackWindows& windows, int targetWidth, int targetHeight,
               const YuvPlanes& out, const std::uint8_t fill[3]);

private:
    // The chroma map, built again only when the map or the area's place changes.
    void Prepare(const Yuv420Area& area, const PlaybackWindows& windows, int targetWidth, int targetHeight);

    PlaybackWindows windows_;
    int width_ = -1, height_ = -1, originX_ = -1, originY_ = -1, targetWidth_ = -1, targetHeight_ = -1;
    HalfRateMap chromaMap_;
    std::vector<std::uint8_t> scratch_;
};

}  // namespace tesselink
