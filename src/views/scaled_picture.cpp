// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/scaled_picture.h"

#include "picture/area_scale.h"

namespace tesselink {

const QImage& ScaledPicture::Get(const QImage& source, std::uint64_t generation, const QRect& sourceRect,
                                 const QSize& fullSize, const QRect& visible, QPoint& origin) {
    const QRect full(QPoint(0, 0), fullSize);
    const bool sameInput = valid_ && generation == generation_ && sourceRect == sourceRect_ && fullSize == fullSize_;
    const bool whole = static_cast<std::int64_t>(fullSize.width()) * fullSize.height() <= MaxWholePixels;
    const QRect needed = whole ? full : (visible & full);

    if (!(sameInput && scaledPart_.contains(needed))) {
        // A margin of a quarter of the visible size on each side absorbs small scroll steps.
        const QRect kept = whole ? full
                                 : (visible.adjusted(-visible.width() / 4, -visible.height() / 4, visible.width() / 4,
                                                     visible.height() / 4) &
                                    full);
        if (kept.isEmpty()) {
            scaled_ = QImage();
        } else {
            ScaleAreaAverageInto(source, sourceRect, fullSize, kept, scaled_);
        }
        scaledPart_ = kept;
        generation_ = generation;
        sourceRect_ = sourceRect;
        fullSize_ = fullSize;
        valid_ = true;
    }
    origin = scaledPart_.topLeft();
    return scaled_;
}

void ScaledPicture::Clear() {
    scaled_ = QImage();
    scaledPart_ = QRect();
    valid_ = false;
}

}  // namespace tesselink
