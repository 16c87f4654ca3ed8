#include "picture/target_image.h"

#include "remap/remap.h"

namespace tesselink {

const QImage& TargetImage::Update(const TargetPlanes& planes) {
    if (!planes.IsPresent() || planes.Width() == 0 || planes.Height() == 0) {
        image_ = QImage();
        return image_;
    }
    const QSize size(planes.Width(), planes.Height());
    if (image_.size() != size || image_.format() != QImage::Format_RGB32) image_ = QImage(size, QImage::Format_RGB32);
    if (image_.isNull()) return image_;
    TargetPlanesToRgb32(planes, reinterpret_cast<std::uint32_t*>(image_.bits()), image_.bytesPerLine() / 4);
    return image_;
}

}  // namespace tesselink
