// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/problem_list.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace tesselink {

namespace {

bool SameSavedFields(const PlaybackWindow& a, const PlaybackWindow& b) {
    return a.OriginalStartX == b.OriginalStartX && a.OriginalStartY == b.OriginalStartY && a.Width == b.Width &&
           a.Height == b.Height && a.TargetStartX == b.TargetStartX && a.TargetStartY == b.TargetStartY &&
           a.MapMode == b.MapMode;
}

std::uint64_t PairKey(std::size_t a, std::size_t b) {
    return (static_cast<std::uint64_t>(std::min(a, b)) << 32) | static_cast<std::uint64_t>(std::max(a, b));
}

// Every pair of windows whose places share a pixel, as PairKey, ascending. Sweep over the
// places sorted by their left edge: only those starting before a place ends can meet it.
std::vector<std::uint64_t> OverlappingPairs(const std::vector<LayoutRect>& places) {
    std::vector<std::uint64_t> byLeft;
    byLeft.reserve(places.size());
    for (std::size_t i = 0; i < places.size(); ++i)
        if (!places[i].IsEmpty())
            byLeft.push_back((static_cast<std::uint64_t>(static_cast<std::uint32_t>(places[i].X) ^ 0x80000000u) << 32) |
                             i);
    std::sort(byLeft.begin(), byLeft.end());
    std::vector<std::uint64_t> pairs;
    for (std::size_t a = 0; a < byLeft.size(); ++a) {
        const std::size_t i = static_cast<std::uint32_t>(byLeft[a]);
        const LayoutRect& p = places[i];
        for (std::size_t b = a + 1; b < byLeft.size(); ++b) {
            const std::size_t j = static_cast<std::uint32_t>(byLeft[b]);
            const LayoutRect& q = places[j];
            if (q.X >= p.Right()) break;
            if (q.Y < p.Bottom() && p.Y < q.Bottom()) pairs.push_back(PairKey(i, j));
        }
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

// Sorted distinct edge positions of one axis, with a table from position to its index.
struct EdgeAxis {
    std::vector<int> Positions;
    std::vector<int> IndexOf;  // by position, 0..extent

    EdgeAxis(int extent, const std::vector<LayoutRect>& clipped, bool horizontal) : IndexOf(extent + 1, -1) {
        std::vector<unsigned char> present(static_cast<std::size_t>(extent) + 1, 0);
        present[0] = present[static_cast<std::size_t>(extent)] = 1;
        for (const LayoutRect& r : clipped) {
            if (r.IsEmpty()) continue;
            present[static_cast<std::size_t>(horizontal ? r.X : r.Y)] = 1;
            present[static_cast<std::size_t>(horizontal ? r.Right() : r.Bottom())] = 1;
        }
        for (int p = 0; p <= extent; ++p) {
            if (!present[static_cast<std::size_t>(p)]) continue;
            IndexOf[static_cast<std::size_t>(p)] = static_cast<int>(Positions.size());
            Positions.push_back(p);
        }
    }
    int Cells() const { return static_cast<int>(Positions.size()) - 1; }
    int Index(int position) const { return IndexOf[static_cast<std::size_t>(position)]; }
};

// Bits of the cells of a band that no window covers.
class CellBits {
public:
    explicit CellBits(int cells) : cells_(cells), words_((static_cast<std::size_t>(cells) + 63) / 64, ~0ull) {
        if (cells % 64 != 0) words_.back() = (1ull << (cells % 64)) - 1;
    }
    void Set(int cell) { words_[static_cast<std::size_t>(cell) / 64] |= 1ull << (cell % 64); }
    void Clear(int cell) { words_[static_cast<std::size_t>(cell) / 64] &= ~(1ull << (cell % 64)); }
    // The first cell at or after `from` whose bit is `value`; Cells() when there is none.
    int Next(int from, bool value) const {
        if (from >= cells_) return cells_;
        std::size_t w = static_cast<std::size_t>(from) / 64;
        std::uint64_t bits = (value ? words_[w] : ~words_[w]) & (~0ull << (from % 64));
        while (bits == 0) {
            if (++w == words_.size()) return cells_;
            bits = value ? words_[w] : ~words_[w];
        }
        return std::min(cells_, static_cast<int>(w * 64) + __builtin_ctzll(bits));
    }

private:
    int cells_;
    std::vector<std::uint64_t> words_;
};

// A run of uncovered cells in one band, [First, Last) in cell columns, and its region.
struct Run {
    int First, Last, Id;
};

class RegionSets {
public:
    int Add(const LayoutRect& bounds) {
        parent_.push_back(static_cast<int>(parent_.size()));
        regions_.push_back({bounds, bounds.Area()});
        return parent_.back();
    }
    // Adds `bounds` to the region `id` belongs to.
    void Extend(int id, const LayoutRect& bounds) {
        Merge(regions_[static_cast<std::size_t>(Find(id))], {bounds, bounds.Area()});
    }
    void Join(int a, int b) {
        a = Find(a);
        b = Find(b);
        if (a == b) return;
        if (b < a) std::swap(a, b);
        parent_[static_cast<std::size_t>(b)] = a;
        Merge(regions_[static_cast<std::size_t>(a)], regions_[static_cast<std::size_t>(b)]);
    }
    std::vector<UncoveredRegion> Roots() {
        std::vector<UncoveredRegion> roots;
        for (std::size_t i = 0; i < parent_.size(); ++i)
            if (Find(static_cast<int>(i)) == static_cast<int>(i)) roots.push_back(regions_[i]);
        return roots;
    }

private:
    static void Merge(UncoveredRegion& into, const UncoveredRegion& from) {
        const int left = std::min(into.Bounds.X, from.Bounds.X), top = std::min(into.Bounds.Y, from.Bounds.Y);
        const int right = std::max(into.Bounds.Right(), from.Bounds.Right());
        const int bottom = std::max(into.Bounds.Bottom(), from.Bounds.Bottom());
        into.Bounds = {left, top, right - left, bottom - top};
        into.Pixels += from.Pixels;
    }
    int Find(int a) {
        while (parent_[static_cast<std::size_t>(a)] != a) {
            parent_[static_cast<std::size_t>(a)] =
                parent_[static_cast<std::size_t>(parent_[static_cast<std::size_t>(a)])];
            a = parent_[static_cast<std::size_t>(a)];
        }
        return a;
    }
    std::vector<int> parent_;
    std::vector<UncoveredRegion> regions_;
};

// The uncovered area on the grid of the places' edges: bands between consecutive horizontal
// edges, swept top to bottom with a cover count per column cell, so the cost follows the number
// of edges and not the pixels.
void FindUncovered(const std::vector<LayoutRect>& places, const MapFileHead& head, const ProblemLimits& limits,
                   ProblemReport& report) {
    const int width = head.TargetWidth, height = head.TargetHeight;
    if (width == 0 || height == 0) return;
    const LayoutRect target{0, 0, width, height};
    std::vector<LayoutRect> clipped;
    clipped.reserve(places.size());
    for (const LayoutRect& p : places) {
        const LayoutRect c = Intersection(p, target);
        if (!c.IsEmpty()) clipped.push_back(c);
    }
    const EdgeAxis xs(width, clipped, true), ys(height, clipped, false);

    // Places starting and ending at each horizontal edge, grouped by the edge (counting sort).
    std::vector<int> startAt(static_cast<std::size_t>(ys.Cells()) + 2, 0), endAt(startAt.size(), 0);
    for (const LayoutRect& c : clipped) {
        ++startAt[static_cast<std::size_t>(ys.Index(c.Y)) + 1];
        ++endAt[static_cast<std::size_t>(ys.Index(c.Bottom())) + 1];
    }
    std::partial_sum(startAt.begin(), startAt.end(), startAt.begin());
    std::partial_sum(endAt.begin(), endAt.end(), endAt.begin());
    std::vector<int> starting(clipped.size()), ending(clipped.size());
    {
        std::vector<int> s(startAt.begin(), startAt.end() - 1), e(endAt.begin(), endAt.end() - 1);
        for (std::size_t i = 0; i < clipped.size(); ++i) {
            starting[static_cast<std::size_t>(s[static_cast<std::size_t>(ys.Index(clipped[i].Y))]++)] =
                static_cast<int>(i);
            ending[static_cast<std::size_t>(e[static_cast<std::size_t>(ys.Index(clipped[i].Bottom()))]++)] =
                static_cast<int>(i);
        }
    }

    std::vector<int> cover(static_cast<std::size_t>(xs.Cells()), 0);
    CellBits uncovered(xs.Cells());
    RegionSets regions;
    std::vector<Run> above, here;
    for (int band = 0; band < ys.Cells(); ++band) {
        for (int k = endAt[static_cast<std::size_t>(band)]; k < endAt[static_cast<std::size_t>(band) + 1]; ++k) {
            const LayoutRect& c = clipped[static_cast<std::size_t>(ending[static_cast<std::size_t>(k)])];
            for (int cell = xs.Index(c.X), last = xs.Index(c.Right()); cell < last; ++cell)
                if (--cover[static_cast<std::size_t>(cell)] == 0) uncovered.Set(cell);
        }
        for (int k = startAt[static_cast<std::size_t>(band)]; k < startAt[static_cast<std::size_t>(band) + 1]; ++k) {
            const LayoutRect& c = clipped[static_cast<std::size_t>(starting[static_cast<std::size_t>(k)])];
            for (int cell = xs.Index(c.X), last = xs.Index(c.Right()); cell < last; ++cell)
                if (cover[static_cast<std::size_t>(cell)]++ == 0) uncovered.Clear(cell);
        }
        const int top = ys.Positions[static_cast<std::size_t>(band)];
        const int bandHeight = ys.Positions[static_cast<std::size_t>(band) + 1] - top;
        here.clear();
        std::size_t a = 0;
        for (int first = uncovered.Next(0, true); first < xs.Cells();) {
            const int last = uncovered.Next(first, false);
            const int left = xs.Positions[static_cast<std::size_t>(first)];
            const LayoutRect bounds{left, top, xs.Positions[static_cast<std::size_t>(last)] - left, bandHeight};
            report.UncoveredPixels += bounds.Area();
            // Runs of the band above that share at least one column cell with this one: the run
            // continues the first one's region and joins the others to it.
            int id = -1;
            while (a < above.size() && above[a].Last <= first) ++a;
            for (std::size_t b = a; b < above.size() && above[b].First < last; ++b) {
                if (id < 0) {
                    id = above[b].Id;
                    regions.Extend(id, bounds);
                } else {
                    regions.Join(above[b].Id, id);
                }
            }
            if (id < 0) id = regions.Add(bounds);
            here.push_back({first, last, id});
            first = uncovered.Next(last, true);
        }
        std::swap(above, here);
    }

    report.UncoveredPercent = 100.0 * static_cast<double>(report.UncoveredPixels) /
                              (static_cast<double>(width) * static_cast<double>(height));
    std::vector<UncoveredRegion> all = regions.Roots();
    report.UncoveredRegionCount = static_cast<int>(all.size());
    const auto larger = [](const UncoveredRegion& p, const UncoveredRegion& q) {
        if (p.Pixels != q.Pixels) return p.Pixels > q.Pixels;
        if (p.Bounds.Y != q.Bounds.Y) return p.Bounds.Y < q.Bounds.Y;
        return p.Bounds.X < q.Bounds.X;
    };
    const std::size_t listed = std::min(all.size(), static_cast<std::size_t>(std::max(limits.Regions, 0)));
    std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(listed), all.end(), larger);
    all.resize(listed);
    report.UncoveredRegions = std::move(all);
}

}  // namespace

ProblemReport FindProblems(const Map& map, ProblemLimits limits) {
    ProblemReport report;
    const PlaybackWindows& windows = map.Windows;
    report.WindowCount = static_cast<int>(windows.size());
    report.AtWindowLimit = windows.size() >= MaxWindowCount;

    std::vector<LayoutRect> places;
    places.reserve(windows.size());
    for (const PlaybackWindow& w : windows) places.push_back(WindowRect(w, MapSide::Target));

    // Identical windows have the same place, so they are among the overlapping pairs unless their
    // place is empty; those few are compared among themselves.
    std::vector<std::uint64_t> pairs = OverlappingPairs(places);
    std::vector<std::uint64_t> emptyPairs;
    std::vector<std::size_t> empty;
    for (std::size_t i = 0; i < places.size(); ++i)
        if (places[i].IsEmpty()) empty.push_back(i);
    for (std::size_t a = 0; a < empty.size(); ++a)
        for (std::size_t b = a + 1; b < empty.size(); ++b)
            if (SameSavedFields(windows[empty[a]], windows[empty[b]]))
                emptyPairs.push_back(PairKey(empty[a], empty[b]));

    std::vector<int> leader(windows.size());
    std::iota(leader.begin(), leader.end(), 0);
    const auto joinIdentical = [&](std::size_t i, std::size_t j) {
        // Pairs come ascending and identity is transitive, so the group's first index comes first.
        leader[j] = std::min(leader[j], leader[i]);
    };
    for (std::uint64_t key : pairs) {
        const std::size_t i = key >> 32, j = key & 0xFFFFFFFFu;
        if (SameSavedFields(windows[i], windows[j])) {
            joinIdentical(i, j);
            continue;
        }
        ++report.OverlapCount;
        if (static_cast<int>(report.Overlaps.size()) < limits.Overlaps)
            report.Overlaps.push_back({static_cast<int>(i), static_cast<int>(j), Intersection(places[i], places[j])});
    }
    for (std::uint64_t key : emptyPairs) joinIdentical(key >> 32, key & 0xFFFFFFFFu);
    std::vector<int> groupOf(windows.size(), -1);
    for (std::size_t j = 0; j < windows.size(); ++j) {
        const int first = leader[j];
        if (first == static_cast<int>(j)) continue;
        int& group = groupOf[static_cast<std::size_t>(first)];
        if (group < 0) {
            group = static_cast<int>(report.IdenticalGroups.size());
            report.IdenticalGroups.push_back({first});
        }
        report.IdenticalGroups[static_cast<std::size_t>(group)].push_back(static_cast<int>(j));
    }

    FindUncovered(places, map.Head, limits, report);
    return report;
}

namespace {

std::string Number(int index) { return std::to_string(index + 1); }

std::string Counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string SizeAt(const LayoutRect& r) {
    return std::to_string(r.Width) + " x " + std::to_string(r.Height) + " at (" + std::to_string(r.X) + "," +
           std::to_string(r.Y) + ")";
}

std::string Percent(double percent) {
    if (percent > 0 && percent < 0.1) return "less than 0.1 %";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", percent);
    return text;
}

std::string Listing(const std::vector<int>& indexes) {
    std::string text;
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        if (i > 0) text += i + 1 == indexes.size() ? " and " : ", ";
        text += Number(indexes[i]);
    }
    return text;
}

}  // namespace

std::vector<ProblemRow> ProblemRows(const ProblemReport& report) {
    std::vector<ProblemRow> rows;
    for (const WindowOverlap& o : report.Overlaps)
        rows.push_back(
            {"Window " + Number(o.Later) + " covers " + SizeAt(o.Area) + " of window " + Number(o.Earlier) + ".",
             {o.Earlier, o.Later},
             true,
             o.Area});
    const int unlisted = report.OverlapCount - static_cast<int>(report.Overlaps.size());
    if (unlisted > 0)
        rows.push_back(
            {"... and " + Counted(unlisted, "more overlapping pair.", "more overlapping pairs."), {}, false, {}});
    if (report.UncoveredPixels > 0) {
        rows.push_back({Percent(report.UncoveredPercent) + " of the target (" +
                            Counted(report.UncoveredPixels, "pixel", "pixels") + ") is covered by no window.",
                        {},
                        false,
                        {}});
        for (const UncoveredRegion& r : report.UncoveredRegions) {
            const bool rectangular = r.Pixels == r.Bounds.Area();
            rows.push_back({rectangular
                                ? "Uncovered: " + SizeAt(r.Bounds) + "."
                                : "Uncovered: " + std::to_string(r.Pixels) + " pixels within " + SizeAt(r.Bounds) + ".",
                            {},
                            true,
                            r.Bounds});
        }
        const int more = report.UncoveredRegionCount - static_cast<int>(report.UncoveredRegions.size());
        if (more > 0)
            rows.push_back(
                {"... and " + Counted(more, "more uncovered region.", "more uncovered regions."), {}, false, {}});
    }
    for (const std::vector<int>& group : report.IdenticalGroups)
        rows.push_back({"Windows " + Listing(group) + " are identical.", group, false, {}});
    if (report.AtWindowLimit)
        rows.push_back(
            {"The map holds " + std::to_string(report.WindowCount) + " windows: no more can be added (at most 255).",
             {},
             false,
             {}});
    return rows;
}

}  // namespace tesselink
