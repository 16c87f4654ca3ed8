// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The outlines of the cover preview: only the tiles that reach into the visible part of the
// Target view, however many the whole cover has.

#include <cstdint>
#include <vector>

#include "map/map_model.h"
#include "views/view_rect.h"

namespace tesselink {

// One tile window's place on screen, and its position in the whole cover's list of windows
// (tile by tile, each tile the map's windows in order), which picks its outline colour.
struct CoverFrame {
    ViewRect Rect;
    long long Index = 0;
};

// How the target picture lies on screen.
struct TargetOnScreen {
    float Zoom = 1.0f;
    int OffsetX = 0;  // the picture's content position
    int OffsetY = 0;
    int ScrollX = 0;
    int ScrollY = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
};

// Fills `frames` (emptied first) with the client rectangles of the cover's windows, tiled as
// `different` says, whose place meets the client area. Nothing for a block without extent.
void VisibleCoverFrames(const PlaybackWindows& windows, const MapFileHead& head, bool different,
                        const TargetOnScreen& screen, std::vector<CoverFrame>& frames);

}  // namespace tesselink
