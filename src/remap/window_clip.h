// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building only a part of the target picture: each window is cut down to the part of its place
// inside an area of the target, together with the matching part of its original rectangle, so
// that remapping the cut windows into a picture of the area's size gives exactly that area of
// the full target picture.

#include "map/map_model.h"
#include "remap/pixel_rect.h"

namespace tesselink {

// `out` (emptied first) receives, in list order, the windows of `windows` that reach into
// `area`, cut to it and with their target start relative to the area's top-left. Windows of an
// unknown mode are left out, as the remap skips them anyway.
void ClipWindowsToArea(const PlaybackWindows& windows, const PixelRect& area, PlaybackWindows& out);

}  // namespace tesselink
