#pragma once
// The target planes as a displayable picture, kept between paints.

#include <QImage>

#include "remap/colour_planes.h"

namespace tesselink {

class TargetImage {
public:
    // Converts `planes` into the kept TW x TH Format_RGB32 image (memory reused) and returns it.
    const QImage& Update(const TargetPlanes& planes);
    const QImage& Image() const { return image_; }

private:
    QImage image_;
};

}  // namespace tesselink
