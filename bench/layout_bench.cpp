// SPDX-License-Identifier: GPL-3.0-or-later
// The problem list is recomputed after every change of the map, so it must stay a small part of
// what the change costs anyway (the map update it triggers).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "layout/problem_list.h"

namespace {

using namespace tesselink;

// A stage wall: 255 panels of 128 x 63 in 15 columns and 17 rows on a 1920 x 1080 target, cabled
// in a serpentine, with the faults a layout by hand leaves: a few panels a little off their
// place (overlaps and gaps), two copies, and the strip below the last row uncovered.
Map StageWall() {
    Map map;
    map.Head.OriginalWidth = map.Head.TargetWidth = 1920;
    map.Head.OriginalHeight = map.Head.TargetHeight = 1080;
    std::mt19937 random(19);
    for (int row = 0; row < 17; ++row) {
        for (int i = 0; i < 15; ++i) {
            const int column = row % 2 == 0 ? i : 14 - i;
            int x = column * 128, y = row * 63;
            if (random() % 16 == 0) {
                x = std::max(0, std::min(1920 - 128, x + static_cast<int>(random() % 9) - 4));
                y = std::max(0, std::min(1080 - 63, y + static_cast<int>(random() % 9) - 4));
            }
            map.Windows.push_back(MakeWindow(column * 128, row * 63, 128, 63, x, y, 0));
        }
    }
    map.Windows[200] = map.Windows[100];
    map.Windows[201] = map.Windows[100];
    return map;
}

// 255 windows of random sizes scattered over the target: every edge distinct, the worst case for
// the edge grid.
Map Scattered() {
    Map map;
    map.Head.OriginalWidth = map.Head.TargetWidth = 1920;
    map.Head.OriginalHeight = map.Head.TargetHeight = 1080;
    std::mt19937 random(20);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int i = 0; i < 255; ++i) {
        const int w = pick(16, 240), h = pick(16, 240);
        map.Windows.push_back(MakeWindow(0, 0, w, h, pick(0, 1920 - w), pick(0, 1080 - h), 0));
    }
    return map;
}

void RunProblemList(benchmark::State& state, const Map& map) {
    for (auto _ : state) {
        ProblemReport report = FindProblems(map);
        benchmark::DoNotOptimize(report.UncoveredPixels);
        benchmark::DoNotOptimize(report.Overlaps.data());
    }
    const ProblemReport report = FindProblems(map);
    state.counters["overlaps"] = report.OverlapCount;
    state.counters["regions"] = report.UncoveredRegionCount;
}

void BM_ProblemList(benchmark::State& state) { RunProblemList(state, StageWall()); }
BENCHMARK(BM_ProblemList)->Unit(benchmark::kMicrosecond);

void BM_ProblemListScattered(benchmark::State& state) { RunProblemList(state, Scattered()); }
BENCHMARK(BM_ProblemListScattered)->Unit(benchmark::kMicrosecond);

}  // namespace
