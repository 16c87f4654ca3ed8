// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/render_inputs.h"

#include "map/map_file.h"
#include "picture/colour_plane_refresh.h"

namespace tesselink {

std::string LoadMapToRender(const std::string& path, Map& map) {
    const MapLoadResult loaded = ReadMapFile(map, path);
    if (!loaded) {
        const std::string why = !loaded.Message.empty()     ? loaded.Message
                                : !loaded.ReadError.empty() ? loaded.ReadError
                                                            : "not a map file";
        return "cannot load map " + path + ": " + why;
    }
    const MapFileHead& head = map.Head;
    if (head.TargetWidth == 0 || head.TargetHeight == 0)
        return "cannot render " + path + ": its target size is " + std::to_string(head.TargetWidth) + " x " +
               std::to_string(head.TargetHeight);
    for (const std::string& tooLarge : {AreaTooLargeText("original", head.OriginalWidth, head.OriginalHeight),
                                        AreaTooLargeText("target", head.TargetWidth, head.TargetHeight)}) {
        if (!tooLarge.empty()) return "cannot render " + path + ": " + tooLarge;
    }
    return {};
}

}  // namespace tesselink
