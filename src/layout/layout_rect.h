// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rectangles in picture pixels as the layout tools see windows: a window's original rectangle
// in the Original view, its placed rectangle in the Target view.

#include <cstdint>
#include <vector>

#include "map/map_model.h"

namespace tesselink {

// Which of the two pictures a layout operation works in.
enum class MapSide { Original, Target };

// Half-open: covers X <= x < X + Width. Signed, so a rectangle may be computed outside a picture
// and tested before it is stored.
struct LayoutRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;

    int Right() const { return X + Width; }
    int Bottom() const { return Y + Height; }
    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    std::int64_t Area() const { return IsEmpty() ? 0 : std::int64_t{Width} * Height; }
    bool operator==(const LayoutRect& o) const {
        return X == o.X && Y == o.Y && Width == o.Width && Height == o.Height;
    }
    bool operator!=(const LayoutRect& o) const { return !(*this == o); }
};

// The common part; empty (0 x 0 at the origin) when they do not overlap.
LayoutRect Intersection(const LayoutRect& a, const LayoutRect& b);

// The window's rectangle on `side`: original start and size, or target start and placed size.
LayoutRect WindowRect(const PlaybackWindow& window, MapSide side);

// The rectangles of the windows at `indexes` on `side`, in that order; indexes that name no
// window are skipped.
std::vector<LayoutRect> WindowRects(const PlaybackWindows& windows, const std::vector<int>& indexes, MapSide side);

struct PictureSize {
    int Width = 0;
    int Height = 0;
};

PictureSize SidePicture(const MapFileHead& head, MapSide side);

// Whether `rect` lies inside a picture of `size`.
bool Inside(const LayoutRect& rect, PictureSize size);

}  // namespace tesselink
