// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/rect_tracker.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cstdlib>

namespace tesselink {

bool RectTracker::IsDrawable() const { return !IsHidden() && (Rect.Width() != 0 || Rect.Height() != 0); }

bool RectTracker::HandleRect(int which, ViewRect& out) const {
    const ViewRect r = Rect.Normalized();
    const int s = HandleSize;
    const int cx = r.left + (r.right - r.left) / 2;
    const int cy = r.top + (r.bottom - r.top) / 2;
    // Edge handles would overlap the corner ones on a short side; they are left out there.
    const bool wideEnough = r.Width() >= 3 * s;
    const bool tallEnough = r.Height() >= 3 * s;
    switch (which) {
    case HitTopLeft: out = {r.left - s, r.top - s, r.left, r.top}; return true;
    case HitTopRight: out = {r.right, r.top - s, r.right + s, r.top}; return true;
    case HitBottomRight: out = {r.right, r.bottom, r.right + s, r.bottom + s}; return true;
    case HitBottomLeft: out = {r.left - s, r.bottom, r.left, r.bottom + s}; return true;
    case HitTop: out = {cx - s / 2, r.top - s, cx - s / 2 + s, r.top}; return wideEnough;
    case HitRight: out = {r.right, cy - s / 2, r.right + s, cy - s / 2 + s}; return tallEnough;
    case HitBottom: out = {cx - s / 2, r.bottom, cx - s / 2 + s, r.bottom + s}; return wideEnough;
    case HitLeft: out = {r.left - s, cy - s / 2, r.left, cy - s / 2 + s}; return tallEnough;
    default: return false;
    }
}

int RectTracker::HitTest(int x, int y) const {
    if (IsHidden()) return HitNothing;
    for (int which = HitTopLeft; which <= HitLeft; ++which) {
        ViewRect handle;
        if (HandleRect(which, handle) && handle.Contains(x, y)) return which;
    }
    // The outline pixels on the right and bottom belong to the frame too.
    const ViewRect r = Rect.Normalized();
    if (r.left <= x && x <= r.right && r.top <= y && y <= r.bottom) return HitMiddle;
    return HitNothing;
}

void RectTracker::Draw(QPainter& painter) const {
    if (!IsDrawable()) return;
    const ViewRect r = Rect.Normalized();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor colour = Refused ? QColor(Qt::red) : QColor(Qt::black);
    QPen pen(colour);
    pen.setWidth(0);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // The outline's pixels are the rectangle's first and last columns and rows.
    painter.drawRect(r.left, r.top, std::max(0, r.Width() - 1), std::max(0, r.Height() - 1));
    for (int which = HitTopLeft; which <= HitLeft; ++which) {
        ViewRect handle;
        if (HandleRect(which, handle))
            painter.fillRect(handle.left, handle.top, handle.Width(), handle.Height(), colour);
    }
    painter.restore();
}

Qt::CursorShape RectTracker::CursorForHit(int hit) {
    switch (hit) {
    case HitTopLeft:
    case HitBottomRight: return Qt::SizeFDiagCursor;
    case HitTopRight:
    case HitBottomLeft: return Qt::SizeBDiagCursor;
    case HitTop:
    case HitBottom: return Qt::SizeVerCursor;
    case HitRight:
    case HitLeft: return Qt::SizeHorCursor;
    case HitMiddle: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

void RectTracker::BeginTrack(int hit, int x, int y) {
    if (hit < HitTopLeft || hit > HitMiddle) return;
    tracking_ = Tracking::Frame;
    trackedHit_ = hit;
    pressX_ = x;
    pressY_ = y;
    moved_ = false;
    startRect_ = Rect;
}

void RectTracker::BeginRubberBand(int x, int y) {
    tracking_ = Tracking::RubberBand;
    trackedHit_ = HitNothing;
    pressX_ = x;
    pressY_ = y;
    moved_ = false;
    startRect_ = Rect;
    Rect = {x, y, x, y};
}

bool RectTracker::TrackTo(int x, int y) {
    if (tracking_ == Tracking::None) return false;
    // A hand that shakes by a pixel or two is still clicking; once past that the frame follows
    // from the press point, so nothing of the way is lost. Back at the press point after
    // moving away counts as a move to there.
    if (std::abs(x - pressX_) >= DragThreshold || std::abs(y - pressY_) >= DragThreshold) moved_ = true;
    if (!moved_) return false;
    const ViewRect before = Rect;
    if (tracking_ == Tracking::RubberBand) {
        Rect = {pressX_, pressY_, x, y};
        return Rect != before;
    }
    const int dx = x - pressX_;
    const int dy = y - pressY_;
    ViewRect r = startRect_;
    switch (trackedHit_) {
    case HitMiddle: r = r.Offset(dx, dy); break;
    case HitTopLeft:
        r.left += dx;
        r.top += dy;
        break;
    case HitTopRight:
        r.right += dx;
        r.top += dy;
        break;
    case HitBottomRight:
        r.right += dx;
        r.bottom += dy;
        break;
    case HitBottomLeft:
        r.left += dx;
        r.bottom += dy;
        break;
    case HitTop: r.top += dy; break;
    case HitRight: r.right += dx; break;
    case HitBottom: r.bottom += dy; break;
    case HitLeft: r.left += dx; break;
    default: break;
    }
    Rect = r;
    return Rect != before;
}

void RectTracker::ShiftTracking(int dx, int dy) {
    if (tracking_ == Tracking::None) return;
    pressX_ += dx;
    pressY_ += dy;
    startRect_ = startRect_.Offset(dx, dy);
}

void RectTracker::EndTrack() {
    tracking_ = Tracking::None;
    Refused = false;
    trackedHit_ = HitNothing;
}

void RectTracker::CancelTrack() {
    if (tracking_ != Tracking::None) Rect = startRect_;
    EndTrack();
    moved_ = false;
}

}  // namespace tesselink
