// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/colour_plane_refresh.h"

#include <QFileInfo>

#include "picture/area_scale.h"

namespace tesselink {

std::string AreaTooLargeText(const std::string& which, long long width, long long height) {
    if (width * height <= MaxShownAreaPixels) return std::string();
    return "The " + which + " area " + std::to_string(width) + " x " + std::to_string(height) +
           " is too large to show (more than " + std::to_string(MaxShownAreaPixels) + " pixels)";
}

bool RefreshColourPlanes(ColourPlanes& planes, ColourPlaneState& state, const std::string& backgroundPath,
                         const Picture& picture, bool stretchBackground, int originX, int originY, int originalWidth,
                         int originalHeight, std::string* refusal) {
    if (refusal) refusal->clear();
    const std::string tooLarge = AreaTooLargeText("original", originalWidth, originalHeight);
    if (!tooLarge.empty()) {
        // Planes of another size would show the wrong picture: none at all.
        planes.Free();
        if (refusal) *refusal = tooLarge;
        return false;
    }
    if (backgroundPath.empty() || !QFileInfo::exists(QString::fromStdString(backgroundPath))) return false;
    if (backgroundPath == state.LoadedPicturePath && originalWidth == state.PlanesOriginalWidth &&
        originalHeight == state.PlanesOriginalHeight && planes.IsPresent())
        return false;

    if (stretchBackground) {
        // The whole picture resampled to the original size; a picture that did not decode
        // leaves this blank, black.
        QImage stretched;
        if (originalWidth > 0 && originalHeight > 0) {
            const QSize size(originalWidth, originalHeight);
            ScaleAreaAverageInto(picture.Image(), picture.Image().rect(), size, QRect(QPoint(0, 0), size), stretched);
        }
        PixelSource source;
        if (!stretched.isNull()) {
            source.Pixels = reinterpret_cast<const std::uint32_t*>(stretched.constBits());
            source.Width = stretched.width();
            source.Height = stretched.height();
            source.StrideWords = stretched.bytesPerLine() / 4;
        }
        BuildColourPlanes(planes, &source, originX, originY, originalWidth, originalHeight);
    } else {
        const PixelSource source = picture.Pixels();
        BuildColourPlanes(planes, &source, originX, originY, originalWidth, originalHeight);
    }
    state.LoadedPicturePath = backgroundPath;
    state.PlanesOriginalWidth = static_cast<std::uint16_t>(originalWidth);
    state.PlanesOriginalHeight = static_cast<std::uint16_t>(originalHeight);
    return true;
}

}  // namespace tesselink
