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

// The ranges of a random remap map's sizes, inclusive; `Odd` keeps every size odd.
struct RemapMapSizes {
    int OriginalMin, OriginalMax;
    int TargetWidthMin, TargetWidthMax;
    int TargetHeightMin, TargetHeightMax;
    int MaxWindows;
    bool Odd = false;
};

// 1 to sizes.MaxWindows windows, each inside both pictures as the editor keeps them, in one of
// the six modes. With `tiled` they keep to the top-left third of both pictures, so that a cover
// repeats them; else they may lie anywhere.
inline Map RandomRemapMap(std::mt19937& random, const RemapMapSizes& sizes, bool tiled) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    auto size = [&](int lo, int hi) {
        return static_cast<std::uint16_t>(sizes.Odd ? pick(lo / 2, (hi - 1) / 2) * 2 + 1 : pick(lo, hi));
    };
    Map map;
    MapFileHead& head = map.Head;
    head.OriginalWidth = size(sizes.OriginalMin, sizes.OriginalMax);
    head.OriginalHeight = size(sizes.OriginalMin, sizes.OriginalMax);
    head.TargetWidth = size(sizes.TargetWidthMin, sizes.TargetWidthMax);
    head.TargetHeight = size(sizes.TargetHeightMin, sizes.TargetHeightMax);
    const int share = tiled ? 3 : 1;
    const int ow = head.OriginalWidth / share, oh = head.OriginalHeight / share;
    const int tw = head.TargetWidth / share, th = head.TargetHeight / share;
    for (int n = pick(1, sizes.MaxWindows); n > 0; --n) {
        const int mode = pick(0, 5);
        const bool turned = mode == 1 || mode == 2;
        const int w = pick(1, std::max(1, std::min(ow, turned ? th : tw) * 2 / 3));
        const int h = pick(1, std::max(1, std::min(oh, turned ? tw : th) * 2 / 3));
        const int placedW = turned ? h : w, placedH = turned ? w : h;
        map.Windows.push_back(MakeWindow(pick(0, ow - w), pick(0, oh - h), w, h, pick(0, std::max(0, tw - placedW)),
                                         pick(0, std::max(0, th - placedH)), mode));
    }
    head.WindowCount = static_cast<std::uint8_t>(map.Windows.size());
    return map;
}

inline std::vector<std::uint8_t> MapBytes(const Map& map) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(BuildMapImage(map, nullptr, 0)));
    BuildMapImage(map, bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

}  // namespace tesselink::testing
