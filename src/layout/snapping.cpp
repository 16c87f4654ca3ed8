// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/snapping.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace tesselink {

namespace {

bool WithinReach(long long distance, double zoom, int screenDistance) {
    // Compared on screen, so a zoom of 0.5 reaches twice as far into the picture as 1.
    return zoom > 0 && static_cast<double>(std::llabs(distance)) * zoom <= screenDistance;
}

struct Candidate {
    bool Found = false;
    int Line = 0;
    long long Distance = 0;  // absolute

    // Nearer wins; at equal distance the smaller line.
    void Offer(int line, int value) {
        const long long distance = std::llabs(static_cast<long long>(line) - value);
        if (!Found || distance < Distance || (distance == Distance && line < Line)) {
            Found = true;
            Line = line;
            Distance = distance;
        }
    }
};

// The line nearest to `value` among those in [lo, hi], within reach.
Candidate NearestLine(const AxisTargets& axis, int value, int lo, int hi, double zoom, int screenDistance) {
    Candidate best;
    const auto& lines = axis.Lines;
    auto at = std::lower_bound(lines.begin(), lines.end(), value);
    // The nearest allowed line on either side of `value`.
    for (auto it = at; it != lines.end(); ++it) {
        if (*it < lo) continue;
        if (*it <= hi) best.Offer(*it, value);
        break;
    }
    for (auto it = at; it != lines.begin();) {
        --it;
        if (*it > hi) continue;
        if (*it >= lo) best.Offer(*it, value);
        break;
    }
    if (axis.GridStep > 0) {
        const long long step = axis.GridStep;
        long long below =
            value >= 0 ? value / step * step : -((-static_cast<long long>(value) + step - 1) / step) * step;
        for (long long line : {below, below + step}) {
            if (line < 0 || line > axis.Extent || line < lo || line > hi) continue;
            best.Offer(static_cast<int>(line), value);
        }
    }
    if (best.Found && !WithinReach(best.Distance, zoom, screenDistance)) best.Found = false;
    return best;
}

bool OnLine(const AxisTargets& axis, int value) {
    if (std::binary_search(axis.Lines.begin(), axis.Lines.end(), value)) return true;
    return axis.GridStep > 0 && value >= 0 && value <= axis.Extent && value % axis.GridStep == 0;
}

// One axis of a group move: the shift landing the nearest of the edges on its line.
struct AxisShift {
    bool Snapped = false;
    int Shift = 0;
};

AxisShift ShiftAxis(const std::vector<int>& edges, const AxisTargets& axis, double zoom, int screenDistance) {
    AxisShift result;
    long long bestDistance = 0;
    for (int edge : edges) {
        const Candidate c = NearestLine(axis, edge, INT_MIN, INT_MAX, zoom, screenDistance);
        if (!c.Found) continue;
        if (!result.Snapped || c.Distance < bestDistance) {
            result.Snapped = true;
            result.Shift = c.Line - edge;
            bestDistance = c.Distance;
        }
    }
    return result;
}

void AddGuide(std::vector<SnapGuide>& guides, GuideOrientation orientation, int position) {
    const SnapGuide guide{orientation, position};
    if (std::find(guides.begin(), guides.end(), guide) == guides.end()) guides.push_back(guide);
}

// One axis of SnapRect: start and size along it, which ends move.
void SnapAxis(int& start, int& size, bool startMoves, bool endMoves, const AxisTargets& axis, double zoom,
              int screenDistance, GuideOrientation orientation, std::vector<SnapGuide>& guides) {
    const int end = start + size;
    if (startMoves && endMoves) {
        const AxisShift shift = ShiftAxis({start, end}, axis, zoom, screenDistance);
        if (!shift.Snapped) return;
        start += shift.Shift;
        if (OnLine(axis, start)) AddGuide(guides, orientation, start);
        if (OnLine(axis, start + size)) AddGuide(guides, orientation, start + size);
    } else if (startMoves) {
        const Candidate c = NearestLine(axis, start, INT_MIN, end - 1, zoom, screenDistance);
        if (!c.Found) return;
        start = c.Line;
        size = end - c.Line;
        AddGuide(guides, orientation, c.Line);
    } else if (endMoves) {
        const Candidate c = NearestLine(axis, end, start + 1, INT_MAX, zoom, screenDistance);
        if (!c.Found) return;
        size = c.Line - start;
        AddGuide(guides, orientation, c.Line);
    }
}

}  // namespace

SnapTargets CollectSnapTargets(const Map& map, MapSide side, const std::vector<int>& moving, int gridStep) {
    const PictureSize picture = SidePicture(map.Head, side);
    std::vector<bool> skip(map.Windows.size(), false);
    for (int index : moving)
        if (index >= 0 && static_cast<std::size_t>(index) < skip.size()) skip[static_cast<std::size_t>(index)] = true;
    SnapTargets targets;
    targets.X = {{0, picture.Width}, std::max(gridStep, 0), picture.Width};
    targets.Y = {{0, picture.Height}, std::max(gridStep, 0), picture.Height};
    for (std::size_t i = 0; i < map.Windows.size(); ++i) {
        if (skip[i]) continue;
        const LayoutRect r = WindowRect(map.Windows[i], side);
        targets.X.Lines.push_back(r.X);
        targets.X.Lines.push_back(r.Right());
        targets.Y.Lines.push_back(r.Y);
        targets.Y.Lines.push_back(r.Bottom());
    }
    for (AxisTargets* axis : {&targets.X, &targets.Y}) {
        std::sort(axis->Lines.begin(), axis->Lines.end());
        axis->Lines.erase(std::unique(axis->Lines.begin(), axis->Lines.end()), axis->Lines.end());
    }
    return targets;
}

SnapResult SnapRect(const LayoutRect& rect, unsigned movingEdges, const SnapTargets& targets, double zoom,
                    int screenDistance) {
    SnapResult result{rect, {}};
    SnapAxis(result.Rect.X, result.Rect.Width, movingEdges & SnapLeft, movingEdges & SnapRight, targets.X, zoom,
             screenDistance, GuideOrientation::Vertical, result.Guides);
    SnapAxis(result.Rect.Y, result.Rect.Height, movingEdges & SnapTop, movingEdges & SnapBottom, targets.Y, zoom,
             screenDistance, GuideOrientation::Horizontal, result.Guides);
    return result;
}

SnapShift SnapGroupMove(const std::vector<LayoutRect>& moved, const SnapTargets& targets, double zoom,
                        int screenDistance) {
    std::vector<int> xs, ys;
    xs.reserve(moved.size() * 2);
    ys.reserve(moved.size() * 2);
    for (const LayoutRect& r : moved) {
        xs.push_back(r.X);
        xs.push_back(r.Right());
        ys.push_back(r.Y);
        ys.push_back(r.Bottom());
    }
    SnapShift result;
    const AxisShift x = ShiftAxis(xs, targets.X, zoom, screenDistance);
    const AxisShift y = ShiftAxis(ys, targets.Y, zoom, screenDistance);
    result.Dx = x.Shift;
    result.Dy = y.Shift;
    if (x.Snapped)
        for (int edge : xs)
            if (OnLine(targets.X, edge + x.Shift)) AddGuide(result.Guides, GuideOrientation::Vertical, edge + x.Shift);
    if (y.Snapped)
        for (int edge : ys)
            if (OnLine(targets.Y, edge + y.Shift))
                AddGuide(result.Guides, GuideOrientation::Horizontal, edge + y.Shift);
    return result;
}

}  // namespace tesselink
