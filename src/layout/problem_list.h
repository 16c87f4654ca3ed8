// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What is probably wrong with a map's layout: target places that overlap, target area no window
// covers, windows that are copies of another, and a full map. None of these is refused; the
// editor lists them live.

#include <cstdint>
#include <string>
#include <vector>

#include "layout/layout_rect.h"
#include "map/map_model.h"

namespace tesselink {

// Two windows whose target places overlap; the later one is drawn over the earlier.
struct WindowOverlap {
    int Earlier = -1;
    int Later = -1;
    LayoutRect Area;
};

// A connected part of the target no window covers (edge-connected), by its bounding rectangle.
struct UncoveredRegion {
    LayoutRect Bounds;
    std::int64_t Pixels = 0;
};

struct ProblemLimits {
    int Overlaps = 200;  // pairs listed; all are counted
    int Regions = 4;     // uncovered regions listed, largest first; all are counted
};

struct ProblemReport {
    std::vector<WindowOverlap> Overlaps;  // by earlier, then later index; identical windows left out
    int OverlapCount = 0;
    std::int64_t UncoveredPixels = 0;
    double UncoveredPercent = 0;  // of the target area
    std::vector<UncoveredRegion> UncoveredRegions;
    int UncoveredRegionCount = 0;
    std::vector<std::vector<int>> IdenticalGroups;  // each ascending, by their first index
    int WindowCount = 0;
    bool AtWindowLimit = false;  // WindowCount has reached MaxWindowCount
};

// Places are taken as the windows carry them (TargetStartX/Y, PlacedWidth/Height), the parts
// outside the target ignored for the coverage. Windows compare identical on every saved field.
ProblemReport FindProblems(const Map& map, ProblemLimits limits = {});

// One line of the problem list: its text and the windows it is about (indexes), if any.
struct ProblemRow {
    std::string Text;
    std::vector<int> Windows;
    bool HasArea = false;
    LayoutRect Area;  // in the target, when HasArea
};

// The rows of `report` in the order of the list: overlaps, uncovered area and its regions,
// identical windows, the count. Windows are named by their number in the list (index + 1).
std::vector<ProblemRow> ProblemRows(const ProblemReport& report);

}  // namespace tesselink
