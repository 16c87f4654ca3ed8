// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rebuilding the colour planes from the background picture when it or the original size changed.

#include <cstdint>
#include <string>

#include "picture/picture.h"
#include "remap/colour_planes.h"

namespace tesselink {

// Largest original or target area (width x height) the program builds pictures for. A map with
// windows is at most 2000 x 2000; only a head without windows, or one typed into the editor
// panel, can ask for more, up to 65535 x 65535 (12 GB of planes). 4096 x 4096 keeps the planes
// and their stretched source under 120 MB and a rebuild well under a second.
constexpr long long MaxShownAreaPixels = 4096LL * 4096LL;

// Empty when a `which` ("original" or "target") area of width x height can be shown, else the
// one line that says why not, e.g. "The original area 65535 x 65535 is too large to show (more
// than 16777216 pixels)".
std::string AreaTooLargeText(const std::string& which, long long width, long long height);

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
// An original area above MaxShownAreaPixels is refused before anything is allocated: the planes
// become absent (the views show the grey placeholder) and `refusal`, if given, says why.
bool RefreshColourPlanes(ColourPlanes& planes, ColourPlaneState& state, const std::string& backgroundPath,
                         const Picture& picture, bool stretchBackground, int originX, int originY, int originalWidth,
                         int originalHeight, std::string* refusal = nullptr);

}  // namespace tesselink
