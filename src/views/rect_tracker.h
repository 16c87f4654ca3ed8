#pragma once
// The selection frame of a picture view: a rectangle in client coordinates with a dotted
// outline and 6-pixel handles outside it. Tracking with the mouse comes with editing.

#include "views/view_rect.h"

class QPainter;

namespace tesselink {

// Hit codes of a client point.
enum TrackerHit : int {
    HitNothing = -1,
    HitTopLeft = 0,
    HitTopRight = 1,
    HitBottomRight = 2,
    HitBottomLeft = 3,
    HitTop = 4,
    HitRight = 5,
    HitBottom = 6,
    HitLeft = 7,
    HitMiddle = 8,
};

class RectTracker {
public:
    static constexpr int HandleSize = 6;

    ViewRect Rect = HiddenFrameRect;

    bool IsHidden() const { return IsHiddenFrame(Rect); }
    // Drawn unless hidden or both width and height are 0.
    bool IsDrawable() const;
    // -1 nothing, 0..3 corner handles, 4..7 edge handles, 8 inside.
    int HitTest(int x, int y) const;
    // Dotted outline and handles, in the painter's (client) coordinates.
    void Draw(QPainter& painter) const;

private:
    // Handle `which` (0..7) as a rectangle; false when that handle is not shown.
    bool HandleRect(int which, ViewRect& out) const;
};

}  // namespace tesselink
