// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The maps the benchmarks time, shared by the engine figures, the video frame figure and the
// side-by-side video timing (scripts/bench-video.sh).

#include <random>

#include "map/map_model.h"

namespace tesselink::bench {

constexpr int MapWidth = 1920;
constexpr int MapHeight = 1080;

// A 1920 x 1080 target tiled by 64 windows (8 x 8 places of 240 x 135) in mixed modes, each from
// a random spot of a 1920 x 1080 original.
inline PlaybackWindows Windows64() {
    PlaybackWindows windows;
    std::mt19937 random(7);
    for (int i = 0; i < 64; ++i) {
        const int mode = i % 6;
        const bool turned = mode == 1 || mode == 2;
        const int w = turned ? 135 : 240, h = turned ? 240 : 135;  // placed 240 x 135 either way
        const int ox = std::uniform_int_distribution<int>(0, MapWidth - w)(random);
        const int oy = std::uniform_int_distribution<int>(0, MapHeight - h)(random);
        windows.push_back(MakeWindow(ox, oy, w, h, (i % 8) * 240, (i / 8) * 135, mode));
    }
    return windows;
}

}  // namespace tesselink::bench
