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
        if (needed.isEmpty()) {
            scaled_ = QImage();
        } else {
            ScaleAreaAverageInto(source, sourceRect, fullSize, needed, scaled_);
        }
        scaledPart_ = needed;
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
