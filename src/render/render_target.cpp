// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/render_target.h"

#include "picture/colour_plane_refresh.h"
#include "stage/target_composer.h"

namespace tesselink {

bool OriginalPlanesOfPicture(const MapFileHead& head, const std::string& picturePath, const Picture& picture,
                             ColourPlanes& planes, std::string* why) {
    const ColourPlaneSource choice =
        ChooseColourPlaneSource(picture.Width(), picture.Height(), head.OriginalWidth, head.OriginalHeight);
    ColourPlaneState state;
    RefreshColourPlanes(planes, state, picturePath, picture, choice.StretchBackground, choice.OriginX, choice.OriginY,
                        head.OriginalWidth, head.OriginalHeight);
    if (!planes.IsPresent()) {
        if (why) *why = "not enough memory for the colour planes";
        return false;
    }
    return true;
}

QImage RenderTarget(const Map& map, const std::string& picturePath, const Picture& picture, CoverMode coverMode,
                    std::string* why) {
    ColourPlanes planes;
    if (!OriginalPlanesOfPicture(map.Head, picturePath, picture, planes, why)) return QImage();
    return RenderTargetFromPlanes(map, planes, coverMode, why);
}

QImage RenderTargetFromPlanes(const Map& map, const ColourPlanes& planes, CoverMode coverMode, std::string* why) {
    TargetComposer composer;
    composer.SetMap(map.Windows, map.Head, coverMode);
    QImage out;
    composer.ComposeWhole(planes, out, why);
    return out;
}

}  // namespace tesselink
