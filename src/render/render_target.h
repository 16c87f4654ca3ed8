// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The target picture of a map at zoom 1, built exactly as the Target view builds it.

#include <string>

#include <QImage>

#include "map/map_model.h"
#include "picture/picture.h"
#include "remap/cover.h"

namespace tesselink {

// Colour planes from `picture` (loaded from `picturePath`) as the editor builds them: the centred
// crop, or the whole picture stretched when it is smaller than the original size. Then the map's
// windows are remapped and, with `coverMode` Same or Different, the cover tiles drawn over a fresh target
// as the Target view's cover pass does. Returns the TW x TH Format_RGB32 picture; a null
// image when the target size is 0, the planes cannot be built or the cover is too large, with
// the reason in `why` (if given).
QImage RenderTarget(const Map& map, const std::string& picturePath, const Picture& picture, CoverMode coverMode,
                    std::string* why = nullptr);

// The first half of RenderTarget: the colour planes of the original area from `picture`. False,
// with the reason, when they cannot be made.
bool OriginalPlanesOfPicture(const MapFileHead& head, const std::string& picturePath, const Picture& picture,
                             ColourPlanes& planes, std::string* why = nullptr);

// The second half of RenderTarget: the map's windows, or its cover with `coverMode` 0 or 1,
// remapped from `planes` (the original area) into the target picture.
QImage RenderTargetFromPlanes(const Map& map, const ColourPlanes& planes, CoverMode coverMode,
                              std::string* why = nullptr);

}  // namespace tesselink
