// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/duplicate.h"

#include <cstdint>

namespace tesselink {

PlaybackWindow DuplicatePlacement(const PlaybackWindow& window, const MapFileHead& head) {
    PlaybackWindow copy = window;
    const std::uint32_t right = std::uint32_t{window.TargetStartX} + window.PlacedWidth;
    const std::uint32_t below = std::uint32_t{window.TargetStartY} + window.PlacedHeight;
    if (right + window.PlacedWidth <= head.TargetWidth) {
        copy.TargetStartX = static_cast<std::uint16_t>(right);
    } else if (below + window.PlacedHeight <= head.TargetHeight) {
        copy.TargetStartY = static_cast<std::uint16_t>(below);
    }
    return copy;
}

DuplicateResult DuplicateWindows(const Map& map, const std::vector<int>& indexes) {
    DuplicateResult result;
    for (int index : indexes) {
        if (index < 0 || static_cast<std::size_t>(index) >= map.Windows.size()) continue;
        result.Copies.push_back(DuplicatePlacement(map.Windows[static_cast<std::size_t>(index)], map.Head));
    }
    if (result.Copies.empty()) return result;
    if (map.Windows.size() + result.Copies.size() > MaxWindowCount) {
        result.Copies.clear();
        result.Message = TooManyWindowsMessage;
        return result;
    }
    result.Accepted = true;
    return result;
}

}  // namespace tesselink
