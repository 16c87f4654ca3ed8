#pragma once
// Building only the part of the target picture that is on screen: each window is cut down to
// the part of its place inside an area of the target, together with the matching part of its
// original rectangle, so that remapping the cut windows into a picture of the area's size gives
// exactly that area of the full target picture.

#include "map/map_model.h"
#include "views/view_rect.h"

namespace tesselink {

// `out` (emptied first) receives, in list order, the windows of `windows` that reach into
// `area` (target pixels), cut to it and with their target start relative to the area's
// top-left. Windows of an unknown mode are left out, as the remap skips them anyway.
void ClipWindowsToArea(const PlaybackWindows& windows, const ViewRect& area, PlaybackWindows& out);

// The target pixels that cover the client rectangle `screen`, for a picture whose top-left is at
// `pictureOrigin` (client) drawn `factor` times enlarged, within width x height.
ViewRect TargetAreaOnScreen(const ViewRect& screen, int pictureOriginX, int pictureOriginY, int factor, int width,
                            int height);

// The target pixels that a part (scaled coordinates) of the picture scaled by area averaging from
// width x height to `scaledSize` is made from, one pixel wider on each side, within the picture.
ViewRect TargetAreaForScaledPart(const ViewRect& part, int scaledWidth, int scaledHeight, int width, int height);

}  // namespace tesselink
