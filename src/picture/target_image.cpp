#include "picture/target_image.h"

#include <QPainter>

#include "picture/area_scale.h"
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

QSize ScaledTargetSize(int targetWidth, int targetHeight, float zoom) {
    const float width = static_cast<float>(targetWidth) * zoom;
    const float height = static_cast<float>(targetHeight) * zoom;
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

void DrawScaledPicture(QPainter& painter, const QPoint& topLeft, const QImage& image, const QSize& scaledSize,
                       const QRect& exposed, QImage& scratch) {
    if (image.isNull() || scaledSize.isEmpty()) return;
    const QRect onPainter = exposed.intersected(QRect(topLeft, scaledSize));
    if (onPainter.isEmpty()) return;
    const QRect part = onPainter.translated(-topLeft);
    if (scaledSize == image.size()) {
        painter.drawImage(onPainter.topLeft(), image, part);
        return;
    }
    ScaleAreaAverageInto(image, image.rect(), scaledSize, part, scratch);
    painter.drawImage(onPainter.topLeft(), scratch);
}

}  // namespace tesselink
