// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which target pixels are on screen, for building only those.

#include "views/view_rect.h"

namespace tesselink {

// The target pixels that cover the client rectangle `screen`, for a picture whose top-left is at
// `pictureOrigin` (client) drawn `factor` times enlarged, within width x height.
ViewRect TargetAreaOnScreen(const ViewRect& screen, int pictureOriginX, int pictureOriginY, int factor, int width,
                            int height);

// The target pixels that a part (scaled coordinates) of the picture scaled by area averaging from
// width x height to `scaledSize` is made from, one pixel wider on each side, within the picture.
ViewRect TargetAreaForScaledPart(const ViewRect& part, int scaledWidth, int scaledHeight, int width, int height);

}  // namespace tesselink
