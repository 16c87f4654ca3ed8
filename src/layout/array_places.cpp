// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/array_places.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace tesselink {
namespace {

bool EvenlySpaced(const std::vector<int>& sorted) {
    for (std::size_t i = 2; i < sorted.size(); ++i)
        if (sorted[i] - sorted[i - 1] != sorted[1] - sorted[0]) return false;
    return true;
}

int IndexOf(const std::vector<int>& sorted, int value) {
    return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), value) - sorted.begin());
}

}  // namespace

std::vector<GridPlace> DeriveArrayPlaces(const PlaybackWindows& windows) {
    std::vector<GridPlace> places(windows.size());
    std::map<std::pair<int, int>, std::vector<std::size_t>> bySize;
    for (std::size_t i = 0; i < windows.size(); ++i)
        bySize[{windows[i].PlacedWidth, windows[i].PlacedHeight}].push_back(i);
    for (const auto& [size, members] : bySize) {
        if (members.size() < 2) continue;
        std::set<int> xs, ys;
        std::set<std::pair<int, int>> cells;
        for (const std::size_t i : members) {
            xs.insert(windows[i].TargetStartX);
            ys.insert(windows[i].TargetStartY);
            cells.insert({windows[i].TargetStartX, windows[i].TargetStartY});
        }
        const std::vector<int> columns(xs.begin(), xs.end()), rows(ys.begin(), ys.end());
        // One window in every cell, none twice; columns and rows at steady steps.
        if (cells.size() != members.size() || cells.size() != columns.size() * rows.size()) continue;
        if (!EvenlySpaced(columns) || !EvenlySpaced(rows)) continue;
        for (const std::size_t i : members)
            places[i] = GridPlace{IndexOf(rows, windows[i].TargetStartY), IndexOf(columns, windows[i].TargetStartX)};
    }
    return places;
}

}  // namespace tesselink
