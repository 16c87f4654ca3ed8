// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/render_target.h"

#include "picture/colour_plane_refresh.h"
#include "picture/target_image.h"
#include "remap/cover.h"

namespace tesselink {

QImage RenderTarget(const Map& map, const std::string& picturePath, const Picture& picture, CoverMode coverMode,
                    std::string* why) {
    const MapFileHead& head = map.Head;
    const ColourPlaneSource choice =
        ChooseColourPlaneSource(picture.Width(), picture.Height(), head.OriginalWidth, head.OriginalHeight);
    ColourPlanes planes;
    ColourPlaneState state;
    RefreshColourPlanes(planes, state, picturePath, picture, choice.StretchBackground, choice.OriginX, choice.OriginY,
                        head.OriginalWidth, head.OriginalHeight);
    if (!planes.IsPresent()) {
        if (why) *why = "not enough memory for the colour planes";
        return QImage();
    }
    return RenderTargetFromPlanes(map, planes, coverMode, why);
}

QImage RenderTargetFromPlanes(const Map& map, const ColourPlanes& planes, CoverMode coverMode, std::string* why) {
    const MapFileHead& head = map.Head;
    TargetImage image;
    QImage out;
    CoverBlock cover;
    if (coverMode != CoverMode::None) {
        // The tiles begin with the map's own windows, so the cover replaces the whole target.
        if (cover.Build(map.Windows, head, coverMode) == CoverBuild::TooLarge) {
            if (why) *why = CoverTooLargeText(map.Windows);
            return QImage();
        }
    }
    if (cover.HasTiles()) {
        out = image.Render(planes, cover, head.TargetWidth, head.TargetHeight);
    } else {
        out = image.Render(planes, map.Windows, head.TargetWidth, head.TargetHeight);
    }
    if (out.isNull() && why) *why = "not enough memory for the target picture";
    return out;
}

}  // namespace tesselink
