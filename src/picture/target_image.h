// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The target picture as a displayable image, kept between builds.

#include <QImage>

#include <functional>

#include "map/map_model.h"
#include "remap/colour_planes.h"
#include "remap/cover.h"
#include "remap/target_bands.h"

namespace tesselink {

class TargetImage {
public:
    // The width x height Format_RGB32 target picture of `windows` over `source` (memory reused),
    // built in bands. A null image when `source` is absent or memory runs out.
    const QImage& Render(const ColourPlanes& source, const PlaybackWindows& windows, int width, int height);
    // The same for a cover built with tiles.
    const QImage& Render(const ColourPlanes& source, const CoverBlock& cover, int width, int height);
    const QImage& Image() const { return image_; }

private:
    using Fill = std::function<bool(std::uint32_t* out, std::ptrdiff_t strideWords)>;
    const QImage& Build(bool present, int width, int height, const Fill& fill);

    QImage image_;
    TargetBandScratch scratch_;
};

}  // namespace tesselink
