#include "views/target_clip.h"

#include <algorithm>

namespace tesselink {
namespace {

// Floor division for a positive divisor.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

void ClipWindowsToArea(const PlaybackWindows& windows, const ViewRect& area, PlaybackWindows& out) {
    out.clear();
    for (const PlaybackWindow& w : windows) {
        if (w.MapMode >= MapModeCount) continue;
        // The visible part of the place, relative to the place's top-left: columns [c0, c1), rows [r0, r1).
        const int left = std::max<int>(w.TargetStartX, area.left);
        const int top = std::max<int>(w.TargetStartY, area.top);
        const int right = std::min<int>(w.TargetStartX + w.PlacedWidth, area.right);
        const int bottom = std::min<int>(w.TargetStartY + w.PlacedHeight, area.bottom);
        if (left >= right || top >= bottom) continue;
        const int c0 = left - w.TargetStartX, c1 = right - w.TargetStartX;
        const int r0 = top - w.TargetStartY, r1 = bottom - w.TargetStartY;

        // Which original pixels fill those columns and rows, by the mode's formula.
        int x = 0, y = 0, width = 0, height = 0;
        switch (static_cast<MapMode>(w.MapMode)) {
        case MapMode::Copy: x = c0; y = r0; width = c1 - c0; height = r1 - r0; break;
        case MapMode::VerticalMirror: x = c0; y = w.Height - r1; width = c1 - c0; height = r1 - r0; break;
        case MapMode::LevelMirror: x = w.Width - c1; y = r0; width = c1 - c0; height = r1 - r0; break;
        case MapMode::Rotation180: x = w.Width - c1; y = w.Height - r1; width = c1 - c0; height = r1 - r0; break;
        // Quarter turns: target columns come from original rows, target rows from original columns.
        case MapMode::Clockwise90: x = r0; y = w.Height - c1; width = r1 - r0; height = c1 - c0; break;
        case MapMode::AntiClockwise90: x = w.Width - r1; y = c0; width = r1 - r0; height = c1 - c0; break;
        }
        PlaybackWindow cut = w;
        cut.OriginalStartX = static_cast<std::uint16_t>(w.OriginalStartX + x);
        cut.OriginalStartY = static_cast<std::uint16_t>(w.OriginalStartY + y);
        cut.Width = static_cast<std::uint16_t>(width);
        cut.Height = static_cast<std::uint16_t>(height);
        cut.TargetStartX = static_cast<std::uint16_t>(left - area.left);
        cut.TargetStartY = static_cast<std::uint16_t>(top - area.top);
        cut.UpdatePlacedSize();
        out.push_back(cut);
    }
}

ViewRect TargetAreaOnScreen(const ViewRect& screen, int pictureOriginX, int pictureOriginY, int factor, int width,
                            int height) {
    ViewRect a;
    a.left = std::clamp(FloorDiv(screen.left - pictureOriginX, factor), 0, width);
    a.top = std::clamp(FloorDiv(screen.top - pictureOriginY, factor), 0, height);
    a.right = std::clamp(FloorDiv(screen.right - pictureOriginX + factor - 1, factor), 0, width);
    a.bottom = std::clamp(FloorDiv(screen.bottom - pictureOriginY + factor - 1, factor), 0, height);
    return a;
}

namespace {

// Source pixels [first, last) under output pixels [from, to) of an axis scaled from `size` to `scaled`:
// output d covers [d * size, (d + 1) * size) in units where a source pixel is `scaled` long.
void SourceSpan(int from, int to, int scaled, int size, int& first, int& last) {
    const long long s = size, d = scaled;
    first = static_cast<int>(std::max(0LL, from * s / d - 1));
    last = static_cast<int>(std::min(s, (to * s - 1) / d + 2));
}

}  // namespace

ViewRect TargetAreaForScaledPart(const ViewRect& part, int scaledWidth, int scaledHeight, int width, int height) {
    ViewRect a;
    if (part.Width() <= 0 || part.Height() <= 0 || scaledWidth <= 0 || scaledHeight <= 0) return a;
    SourceSpan(part.left, part.right, scaledWidth, width, a.left, a.right);
    SourceSpan(part.top, part.bottom, scaledHeight, height, a.top, a.bottom);
    return a;
}

}  // namespace tesselink
