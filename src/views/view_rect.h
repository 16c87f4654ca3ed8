#pragma once
// A rectangle as the views keep it: left, top, right, bottom, right and bottom exclusive,
// possibly inverted after a drag.

namespace tesselink {

struct ViewRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // Half-open: left <= x < right, top <= y < bottom.
    bool Contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
    ViewRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    ViewRect Normalized() const;

    bool operator==(const ViewRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const ViewRect& o) const { return !(*this == o); }
};

inline ViewRect ViewRect::Normalized() const {
    ViewRect r = *this;
    if (r.left > r.right) { const int t = r.left; r.left = r.right; r.right = t; }
    if (r.top > r.bottom) { const int t = r.top; r.top = r.bottom; r.bottom = t; }
    return r;
}

// Where a selection frame goes when nothing is selected; such a frame is neither drawn nor labelled.
constexpr ViewRect HiddenFrameRect{-200, -200, 0, 0};
inline bool IsHiddenFrame(const ViewRect& r) { return r.left == -200 && r.top == -200; }

}  // namespace tesselink
