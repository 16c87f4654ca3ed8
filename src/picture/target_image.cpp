// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/target_image.h"

namespace tesselink {

const QImage& TargetImage::Render(const ColourPlanes& source, const PlaybackWindows& windows, int width, int height) {
    return Build(source.IsPresent(), width, height, [&](std::uint32_t* out, std::ptrdiff_t strideWords) {
        return RemapWindowsToRgb32(source, windows, width, height, out, strideWords, scratch_);
    });
}

const QImage& TargetImage::Render(const ColourPlanes& source, const CoverBlock& cover, int width, int height) {
    return Build(source.IsPresent(), width, height, [&](std::uint32_t* out, std::ptrdiff_t strideWords) {
        return RemapCoverToRgb32(source, cover, width, height, out, strideWords, scratch_);
    });
}

const QImage& TargetImage::Build(bool present, int width, int height, const Fill& fill) {
    if (!present || width <= 0 || height <= 0) {
        image_ = QImage();
        return image_;
    }
    const QSize size(width, height);
    if (image_.size() != size || image_.format() != QImage::Format_RGB32) image_ = QImage(size, QImage::Format_RGB32);
    if (image_.isNull()) return image_;
    if (!fill(reinterpret_cast<std::uint32_t*>(image_.bits()), image_.bytesPerLine() / 4)) image_ = QImage();
    return image_;
}

}  // namespace tesselink
