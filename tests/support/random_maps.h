// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Random valid maps: every window fits its head, every mode and cover option appears.

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "map/map_image.h"
#include "map/map_model.h"

namespace tesselink::testing {

// A map of pictures between minSize and maxSize a side with 0 to maxWindows windows.
inline Map RandomValidMap(std::mt19937& random, int minSize = 20, int maxSize = 2000, int maxWindows = 12) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    Map map;
    map.Head.OriginalWidth = static_cast<std::uint16_t>(pick(minSize, maxSize));
    map.Head.OriginalHeight = static_cast<std::uint16_t>(pick(minSize, maxSize));
    map.Head.TargetWidth = static_cast<std::uint16_t>(pick(minSize, maxSize));
    map.Head.TargetHeight = static_cast<std::uint16_t>(pick(minSize, maxSize));
    map.Head.CoverOption = static_cast<std::uint8_t>(pick(0, 3) * 2);  // 0, 2, 4, 6
    const int count = pick(0, maxWindows);
    const int limit =
        std::min({map.Head.OriginalWidth, map.Head.OriginalHeight, map.Head.TargetWidth, map.Head.TargetHeight});
    for (int k = 0; k < count; ++k) {
        const int w = pick(1, std::max(1, limit / 2)), h = pick(1, std::max(1, limit / 2));
        PlaybackWindow win = MakeWindow(pick(0, map.Head.OriginalWidth - w), pick(0, map.Head.OriginalHeight - h), w, h,
                                        0, 0, pick(0, MapModeCount - 1));
        win.TargetStartX = static_cast<std::uint16_t>(pick(0, map.Head.TargetWidth - win.PlacedWidth));
        win.TargetStartY = static_cast<std::uint16_t>(pick(0, map.Head.TargetHeight - win.PlacedHeight));
        map.Windows.push_back(win);
    }
    map.Head.WindowCount = static_cast<std::uint8_t>(count);
    return map;
}

inline std::vector<std::uint8_t> MapBytes(const Map& map) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(BuildMapImage(map, nullptr, 0)));
    BuildMapImage(map, bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

}  // namespace tesselink::testing
