#pragma once
// Rebuilding the colour planes from the background picture when it or the original size changed.

#include <cstdint>
#include <string>

#include "picture/picture.h"
#include "remap/colour_planes.h"

namespace tesselink {

// What the planes were last built from.
struct ColourPlaneState {
    std::string LoadedPicturePath;
    std::uint16_t PlanesOriginalWidth = 0;
    std::uint16_t PlanesOriginalHeight = 0;
};

// Nothing when no file exists at `backgroundPath`, or when the path and the original size
// equal those of the last build. Otherwise rebuilds `planes` from `picture` (the decoded file):
// the centred crop at (originX, originY), or, when `stretchBackground`, the whole picture
// stretched by area averaging to originalWidth x originalHeight. Returns true when rebuilt.
bool RefreshColourPlanes(ColourPlanes& planes, ColourPlaneState& state, const std::string& backgroundPath,
                         const Picture& picture, bool stretchBackground, int originX, int originY,
                         int originalWidth, int originalHeight);

}  // namespace tesselink
