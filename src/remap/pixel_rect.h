// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A rectangle of pixels: left, top, right, bottom, right and bottom exclusive. The engine's areas
// of the target picture and the views' display rectangles (which may be inverted after a drag)
// are both kept in it.

#include <utility>

namespace tesselink {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Half-open: left <= x < right, top <= y < bottom.
    bool Contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
    PixelRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    PixelRect Normalized() const;

    bool operator==(const PixelRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const PixelRect& o) const { return !(*this == o); }
};

inline PixelRect PixelRect::Normalized() const {
    PixelRect r = *this;
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
}

}  // namespace tesselink
