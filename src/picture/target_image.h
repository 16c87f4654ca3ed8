#pragma once
// The target planes as a displayable picture, kept between paints.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "remap/colour_planes.h"

class QPainter;

namespace tesselink {

class TargetImage {
public:
    // Converts `planes` into the kept TW x TH Format_RGB32 image (memory reused) and returns it.
    const QImage& Update(const TargetPlanes& planes);
    const QImage& Image() const { return image_; }

private:
    QImage image_;
};

// The drawn size of a TW x TH target at `zoom`: trunc(TW x zoom) x trunc(TH x zoom), the
// products in 32-bit float.
QSize ScaledTargetSize(int targetWidth, int targetHeight, float zoom);

// Draws `image` scaled by area averaging to `scaledSize` with its top-left corner at `topLeft`
// (painter coordinates), computing only the part inside `exposed`. `scratch` keeps the scaled
// part's memory between paints. At the image's own size it is a plain copy.
void DrawScaledPicture(QPainter& painter, const QPoint& topLeft, const QImage& image, const QSize& scaledSize,
                       const QRect& exposed, QImage& scratch);

}  // namespace tesselink
