// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The selection frame of a picture view: a rectangle in client coordinates with a dotted
// outline and 6-pixel handles outside it. Tracking is a press / move / release state machine
// driven by the view's own mouse events: no nested event loop, no grab of its own.

#include <Qt>

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
    // Screen pixels the mouse must move in one direction before a press becomes a drag.
    static constexpr int DragThreshold = 3;

    ViewRect Rect = HiddenFrameRect;
    // Drawn in red: the window the frame stands for would be refused where it is now.
    bool Refused = false;

    bool IsHidden() const { return IsHiddenFrame(Rect); }
    // Drawn unless hidden or both width and height are 0.
    bool IsDrawable() const;
    // -1 nothing, 0..3 corner handles, 4..7 edge handles, 8 inside.
    int HitTest(int x, int y) const;
    // Dotted outline and handles, in the painter's (client) coordinates.
    void Draw(QPainter& painter) const;

    // The mouse cursor over a point of hit code `hit`: size arrows on handles, a move cross inside.
    static Qt::CursorShape CursorForHit(int hit);

    // Tracking. Begin with the hit code where the button went down (0..7 move that corner or
    // edge, 8 moves the whole rectangle), or start a rubber band at a point: the rectangle is
    // empty there and its bottom-right corner follows the mouse. The rectangle may invert.
    void BeginTrack(int hit, int x, int y);
    void BeginRubberBand(int x, int y);
    // The mouse is at (x, y): the rectangle follows. False when it did not change.
    bool TrackTo(int x, int y);
    // The view scrolled by (dx, dy) screen pixels while tracking: the press point and the
    // starting rectangle move with the picture under them.
    void ShiftTracking(int dx, int dy);
    // Ends tracking and keeps the rectangle where it is.
    void EndTrack();
    // Ends tracking and puts the rectangle back where it was when tracking began.
    void CancelTrack();
    bool IsTracking() const { return tracking_ != Tracking::None; }
    bool IsRubberBand() const { return tracking_ == Tracking::RubberBand; }
    // The hit code tracking began with (-1 for a rubber band or when not tracking).
    int TrackedHit() const { return tracking_ == Tracking::Frame ? trackedHit_ : HitNothing; }
    // Whether the mouse has moved at least DragThreshold pixels from the press point since tracking began.
    bool Moved() const { return moved_; }
    ViewRect StartRect() const { return startRect_; }

private:
    enum class Tracking { None, Frame, RubberBand };

    // Handle `which` (0..7) as a rectangle; false when that handle is not shown.
    bool HandleRect(int which, ViewRect& out) const;

    Tracking tracking_ = Tracking::None;
    int trackedHit_ = HitNothing;
    int pressX_ = 0;
    int pressY_ = 0;
    bool moved_ = false;
    ViewRect startRect_;
};

}  // namespace tesselink
