#include "render/render_target.h"

#include "picture/colour_plane_refresh.h"
#include "picture/target_image.h"
#include "remap/cover.h"
#include "remap/remap.h"

namespace tesselink {

QImage RenderTarget(const Map& map, const std::string& picturePath, const Picture& picture, int coverMode) {
    const MapFileHead& head = map.Head;
    const ColourPlaneSource choice =
        ChooseColourPlaneSource(picture.Width(), picture.Height(), head.OriginalWidth, head.OriginalHeight);
    ColourPlanes planes;
    ColourPlaneState state;
    RefreshColourPlanes(planes, state, picturePath, picture, choice.StretchBackground, choice.OriginX,
                        choice.OriginY, head.OriginalWidth, head.OriginalHeight);
    if (!planes.IsPresent()) return QImage();

    TargetPlanes target;
    RemapWindows(planes, map.Windows, head.TargetWidth, head.TargetHeight, target);
    if (coverMode == CoverModeSame || coverMode == CoverModeDifferent) {
        // The cover list starts with copies of the map's own windows, so the cover pass
        // rebuilds the whole target from the fill value.
        PlaybackWindows cover;
        if (BuildCoverWindows(map.Windows, head, coverMode, cover) == CoverFilled && !cover.empty())
            RemapWindows(planes, cover, head.TargetWidth, head.TargetHeight, target);
    }
    TargetImage image;
    return image.Update(target);
}

}  // namespace tesselink
