// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pick_move_tool.h"

#include <algorithm>

#include "document/tesselink_doc.h"
#include "layout/group_move.h"
#include "tools/selection_edits.h"
#include "views/view_drawing.h"

namespace tesselink {
namespace {

bool IsOriginal(const ToolSurface& view) { return view.Role() == PictureViewRole::Original; }

int CurrentWindow(const CTesselinkDoc& doc, const ToolSurface& view) {
    return IsOriginal(view) ? doc.SelectedOriginalWindow() : doc.SelectedTargetWindow();
}

// The last of the first `count` rectangles holding the client point: among overlapping
// windows the later one wins.
int PickWindowAt(const std::vector<ViewRect>& rects, int x, int y, int count) {
    const int n = std::min(count, static_cast<int>(rects.size()));
    for (int i = n - 1; i >= 0; --i)
        if (rects[static_cast<std::size_t>(i)].Contains(x, y)) return i;
    return -1;
}

// What the status pane says of a frame that would be refused where it is.
QString MisfitText(const PlaybackWindow& w, const MapFileHead& head) {
    PlaybackWindow placed = w;
    placed.UpdatePlacedSize();
    const char* what = nullptr;
    switch (CheckWindowBounds(placed, head)) {
    case FitResult::Fits: return QString();
    case FitResult::OriginalWidthExceeded: what = "original width"; break;
    case FitResult::OriginalHeightExceeded: what = "original height"; break;
    case FitResult::TargetWidthExceeded: what = "target width"; break;
    case FitResult::TargetHeightExceeded: what = "target height"; break;
    }
    const bool turned = placed.MapMode == static_cast<std::uint8_t>(MapMode::Clockwise90) ||
                        placed.MapMode == static_cast<std::uint8_t>(MapMode::AntiClockwise90);
    return QStringLiteral(" - does not fit: beyond the %1%2").arg(what, turned ? " (turned)" : "");
}

MapSide SideOf(const ToolSurface& view) { return IsOriginal(view) ? MapSide::Original : MapSide::Target; }

LayoutRect ToLayout(const ViewRect& r) { return {r.left, r.top, r.Width(), r.Height()}; }
ViewRect FromLayout(const LayoutRect& r) { return {r.X, r.Y, r.Right(), r.Bottom()}; }

// The edges of a frame that a tracker's hit code moves.
unsigned EdgesOfHit(int hit) {
    switch (hit) {
    case HitTopLeft: return SnapLeft | SnapTop;
    case HitTopRight: return SnapRight | SnapTop;
    case HitBottomRight: return SnapRight | SnapBottom;
    case HitBottomLeft: return SnapLeft | SnapBottom;
    case HitTop: return SnapTop;
    case HitRight: return SnapRight;
    case HitBottom: return SnapBottom;
    case HitLeft: return SnapLeft;
    default: return SnapWhole;
    }
}

bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Meta || key == Qt::Key_Alt ||
           key == Qt::Key_AltGr;
}

}  // namespace

ViewRect OriginalRectOf(const PlaybackWindow& w) {
    return {w.OriginalStartX, w.OriginalStartY, w.OriginalStartX + w.Width, w.OriginalStartY + w.Height};
}

ViewRect PlaceOf(const PlaybackWindow& w) {
    return {w.TargetStartX, w.TargetStartY, w.TargetStartX + w.PlacedWidth, w.TargetStartY + w.PlacedHeight};
}

int PickMoveTool::CurrentFrameHit(ToolSurface& view, int x, int y) const {
    const int current = CurrentWindow(doc_, view);
    if (current < 0 || current >= doc_.WindowCount()) return HitNothing;
    const int hit = view.Frame().HitTest(x, y);
    // Places are moved by the inside only; their handles do nothing.
    if (!IsOriginal(view) && hit != HitMiddle) return HitNothing;
    return hit;
}

void PickMoveTool::Press(ToolSurface& view, const ToolPoint& at) {
    Touch(view);
    EndKeyRun();
    if (GestureRunning()) return;
    // Ctrl+Shift at the press: a selecting band from anywhere, over windows too (a full wall has
    // no empty area). Neither Ctrl nor Shift alone means this.
    if ((at.Modifiers & (Qt::ControlModifier | Qt::ShiftModifier)) == (Qt::ControlModifier | Qt::ShiftModifier)) {
        BeginRubberBand(view, at, true);
        gesture_.Touches = true;
        return;
    }
    if ((at.Modifiers & Qt::ControlModifier) != 0) {
        ToggleAt(view, at);
        return;
    }
    // The current window's frame and handles first: in a tiled wall every inner handle lies
    // over a neighbour, and a press on it means this window.
    int current = CurrentWindow(doc_, view);
    int hit = HitNothing;
    if (current >= 0 && view.PlaceFrameOn(current)) hit = CurrentFrameHit(view, at.X, at.Y);
    const bool several = doc_.Selection().size() > 1;
    bool clickSelectsOne = several && hit == HitMiddle;
    if (hit == HitNothing) {
        const int picked = PickWindowAt(view.DisplayRects(), at.X, at.Y, doc_.WindowCount());
        if (picked >= 0) {
            // A press on one of several selected keeps them all: a drag moves them together.
            if (several && doc_.IsSelected(picked)) {
                doc_.SetCurrentWindow(picked);
                clickSelectsOne = true;
            } else {
                doc_.SelectWindow(picked);
            }
            current = picked;
            view.PlaceFrameOn(current);
            hit = HitMiddle;
        }
    }
    if (current >= 0 && current < doc_.WindowCount() && hit != HitNothing) {
        BeginWindowGesture(view, current, hit, at);
        gesture_.ClickSelectsOne = clickSelectsOne;
        return;
    }
    PressOnEmptyArea(view, at);
}

void PickMoveTool::ToggleAt(ToolSurface& view, const ToolPoint& at) {
    const int picked = PickWindowAt(view.DisplayRects(), at.X, at.Y, doc_.WindowCount());
    if (picked < 0) return;
    std::vector<int> selection = doc_.Selection();
    const auto it = std::find(selection.begin(), selection.end(), picked);
    if (it == selection.end()) {
        selection.push_back(picked);
        doc_.SetSelection(selection, picked);
        return;
    }
    selection.erase(it);
    const int current = doc_.SelectedOriginalWindow();
    doc_.SetSelection(selection, current == picked ? -1 : current);
}

void PickMoveTool::PressOnEmptyArea(ToolSurface& view, const ToolPoint& at) {
    // A band, on empty picture area or in the margin around the picture, selects the windows
    // inside it; a click there changes nothing, not even the selection.
    BeginRubberBand(view, at, true);
}

void PickMoveTool::FinishRubberBand(const ViewRect&, bool) {}

void PickMoveTool::BeginWindowGesture(ToolSurface& view, int index, int hit, const ToolPoint& at) {
    const PlaybackWindow& w = doc_.GetPlaybackWindows()[static_cast<std::size_t>(index)];
    const bool original = IsOriginal(view);
    gesture_ = Gesture{};
    gesture_.View = &view;
    gesture_.Index = index;
    gesture_.Start = w;
    gesture_.StartPicture = original ? OriginalRectOf(w) : PlaceOf(w);
    gesture_.Edit = hit == HitMiddle ? FrameEdit::Move : FrameEdit::Resize;
    drag_.Begin();
    gesture_.Step = drag_.Step(original ? EditGesture::Kind::OriginalDrag : EditGesture::Kind::TargetDrag);
    gesture_.Group = hit == HitMiddle && doc_.Selection().size() > 1 && doc_.IsSelected(index);
    gesture_.Moving = gesture_.Group ? doc_.Selection() : std::vector<int>{index};
    if (gesture_.Group) gesture_.StartWindows = doc_.GetPlaybackWindows();
    gesture_.Targets =
        CollectSnapTargets(doc_.GetMap(), SideOf(view), gesture_.Moving, snap_ != nullptr ? snap_->SnapGridStep() : 0);
    lastRect_ = gesture_.StartPicture;
    view.SetGestureActive(true);
    view.Frame().BeginTrack(hit, at.X, at.Y);
}

void PickMoveTool::BeginRubberBand(ToolSurface& view, const ToolPoint& at, bool selects) {
    gesture_ = Gesture{};
    gesture_.View = &view;
    gesture_.Edit = FrameEdit::NewWindow;
    gesture_.Selects = selects;
    lastRect_ = ViewRect{};
    if (!selects)
        gesture_.Targets =
            CollectSnapTargets(doc_.GetMap(), SideOf(view), {}, snap_ != nullptr ? snap_->SnapGridStep() : 0);
    view.SetGestureActive(true);
    view.Frame().BeginRubberBand(at.X, at.Y);
    view.FrameChanged();
}

ViewRect PickMoveTool::TrackedPictureRect(ToolSurface& view) const {
    const ViewRect picture = view.PictureRect();
    // A selecting band counts for the part of it over the picture.
    if (gesture_.Selects)
        return PictureRectFromFrame(ClipIntoPicture(view.Frame().Rect, picture), view.Frame().StartRect(),
                                    gesture_.StartPicture, gesture_.Edit, view.Across(), view.Down());
    // A moved frame keeps its size and is pushed back inside; a resized one stops its dragged
    // edges at the picture's edges, so the edges that were not dragged stay where they are.
    const ViewRect frame = gesture_.Edit == FrameEdit::Resize ? ClipIntoPicture(view.Frame().Rect, picture)
                                                              : ClampIntoPicture(view.Frame().Rect, picture);
    // The frame at the press as it lies now: a scroll during the drag moved it with the picture.
    return PictureRectFromFrame(frame, view.Frame().StartRect(), gesture_.StartPicture, gesture_.Edit, view.Across(),
                                view.Down());
}

PlaybackWindow PickMoveTool::ProposedWindow(ToolSurface& view, const ViewRect& rect) const {
    if (IsOriginal(view)) return FillWindowFromRect(gesture_.Start, rect, false, 0);
    PlaybackWindow w = gesture_.Start;
    w.TargetStartX = static_cast<std::uint16_t>(rect.left);
    w.TargetStartY = static_cast<std::uint16_t>(rect.top);
    return w;
}

void PickMoveTool::ReportTracked(ToolSurface& view, const ViewRect& rect) {
    // The window the frame would make at the release, checked as the release will: a frame
    // that would be refused is drawn red and the pane names the test it fails.
    const PlaybackWindow w = gesture_.Index >= 0 ? ProposedWindow(view, rect) : NewWindowFor(rect);
    const QString misfit = MisfitText(w, doc_.GetHead());
    view.Frame().Refused = !misfit.isEmpty();
    if (IsOriginal(view)) {
        Status(view, QStringLiteral("Original view: ") +
                         WindowRectText(rect.left, rect.top, rect.Width(), rect.Height()) + misfit);
        return;
    }
    Status(view, QStringLiteral("Target view: ") +
                     WindowRectText(w.TargetStartX, w.TargetStartY, w.PlacedWidth, w.PlacedHeight) + misfit);
}

PlaybackWindow PickMoveTool::NewWindowFor(const ViewRect&) const { return PlaybackWindow{}; }

ViewRect PickMoveTool::Snapped(ToolSurface& view, const ViewRect& rect, unsigned movingEdges, bool suspended) {
    if (suspended || snap_ == nullptr || !snap_->Enabled()) {
        view.ShowGuides({});
        return rect;
    }
    const SnapResult snapped = SnapRect(ToLayout(rect), movingEdges, gesture_.Targets, view.ZoomFactor());
    const MapFileHead& head = doc_.GetHead();
    const PictureSize picture = SidePicture(head, SideOf(view));
    // A snap never takes the rectangle out of its picture: there the mouse's place stands.
    if (!Inside(snapped.Rect, picture)) {
        view.ShowGuides({});
        return rect;
    }
    view.ShowGuides(snapped.Guides);
    return FromLayout(snapped.Rect);
}

void PickMoveTool::MoveGroup(ToolSurface& view, const ViewRect& rect, bool snapSuspended) {
    const MapSide side = SideOf(view);
    const PictureSize picture = SidePicture(doc_.GetHead(), side);
    const std::vector<LayoutRect> start = WindowRects(gesture_.StartWindows, gesture_.Moving, side);
    MoveDelta delta = ClampGroupDelta(
        start, MoveDelta{rect.left - gesture_.StartPicture.left, rect.top - gesture_.StartPicture.top}, picture);
    std::vector<SnapGuide> guides;
    if (!snapSuspended && snap_ != nullptr && snap_->Enabled()) {
        std::vector<LayoutRect> moved = start;
        for (LayoutRect& r : moved) {
            r.X += delta.Dx;
            r.Y += delta.Dy;
        }
        const SnapShift shift = SnapGroupMove(moved, gesture_.Targets, view.ZoomFactor());
        const MoveDelta snapped{delta.Dx + shift.Dx, delta.Dy + shift.Dy};
        const MoveDelta clamped = ClampGroupDelta(start, snapped, picture);
        // A guide only where the snap held.
        for (const SnapGuide& g : shift.Guides)
            if ((g.Orientation == GuideOrientation::Vertical ? clamped.Dx == snapped.Dx : clamped.Dy == snapped.Dy))
                guides.push_back(g);
        delta = clamped;
    }
    view.ShowGuides(guides);
    Status(view,
           WindowsStepText("Move", gesture_.Moving.size()) + QStringLiteral(" by (%1,%2)").arg(delta.Dx).arg(delta.Dy));
    MoveSelectionFrom(doc_, gesture_.StartWindows, side, delta, gesture_.Step);
}

void PickMoveTool::Move(ToolSurface& view, const ToolPoint& at) {
    if (gesture_.View != &view) return;
    if (!view.Frame().TrackTo(at.X, at.Y)) return;
    Step(view, at);
}

void PickMoveTool::Step(ToolSurface& view, const ToolPoint& at) {
    view.FrameChanged();
    // Shift held suspends snapping for as long as it is held.
    const bool snapSuspended = (at.Modifiers & Qt::ShiftModifier) != 0;
    if (gesture_.Group) {
        MoveGroup(view, TrackedPictureRect(view), snapSuspended);
        return;
    }
    if (gesture_.Selects) {
        lastRect_ = TrackedPictureRect(view);
        ReportTracked(view, lastRect_);
        return;
    }
    ViewRect rect = TrackedPictureRect(view);
    {
        const unsigned edges = gesture_.Edit == FrameEdit::Resize ? EdgesOfHit(view.Frame().TrackedHit())
                               : gesture_.Edit == FrameEdit::NewWindow
                                   ? (view.Frame().Rect.right >= view.Frame().Rect.left ? SnapRight : SnapLeft) |
                                         (view.Frame().Rect.bottom >= view.Frame().Rect.top ? SnapBottom : SnapTop)
                                   : SnapWhole;
        rect = Snapped(view, rect, edges, snapSuspended);
    }
    lastRect_ = rect;
    ReportTracked(view, rect);
    if (gesture_.Index < 0) return;
    // The window follows the frame in both views while the mouse moves; a step the document
    // refuses is skipped, the release decides.
    doc_.ChangeWindow(gesture_.Index, ProposedWindow(view, rect), gesture_.Step);
}

void PickMoveTool::Release(ToolSurface& view, const ToolPoint& at) {
    if (gesture_.View != &view) return;
    // Where the button comes up counts, even without a move event there.
    if (view.Frame().TrackTo(at.X, at.Y)) Step(view, at);
    Finish(view);
}

void PickMoveTool::Finish(ToolSurface& view) {
    RectTracker& frame = view.Frame();
    const bool moved = frame.Moved();
    const ViewRect band = frame.Rect;
    const ViewRect rect = lastRect_;
    frame.EndTrack();
    view.ShowGuides({});
    const Gesture gesture = gesture_;
    // Made from the gesture's start window, so before the gesture is reset.
    const PlaybackWindow proposed = ProposedWindow(view, rect);
    gesture_ = Gesture{};
    if (gesture.Edit == FrameEdit::NewWindow) {
        const bool drawn = moved && band.Width() != 0 && band.Height() != 0 && rect.Width() > 0 && rect.Height() > 0;
        if (gesture.Selects)
            FinishSelectionBand(view, rect, moved, gesture.Touches);
        else
            FinishRubberBand(rect, drawn);
    } else if (gesture.Group) {
        // The steps on the way stored the group's place; a click on one of them picks it alone.
        if (!moved && gesture.ClickSelectsOne) doc_.SelectWindow(gesture.Index);
    } else if (moved && gesture.Index >= 0 && gesture.Index < doc_.WindowCount()) {
        const WindowEditResult result = doc_.ChangeWindow(gesture.Index, proposed, gesture.Step);
        if (!result.Accepted()) {
            // Refused as a whole: the steps stored on the way are taken back too.
            drag_.Cancel();
            ReportRefusal(result);
        }
    } else if (!moved && gesture.ClickSelectsOne) {
        doc_.SelectWindow(gesture.Index);
    }
    drag_.Commit();
    view.SetGestureActive(false);
}

void PickMoveTool::FinishSelectionBand(ToolSurface& view, const ViewRect& rect, bool moved, bool touching) {
    if (!moved) return;
    const MapSide side = SideOf(view);
    std::vector<int> inside;
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    for (int i = 0; i < static_cast<int>(windows.size()); ++i) {
        const LayoutRect r = WindowRect(windows[static_cast<std::size_t>(i)], side);
        const bool within = r.X >= rect.left && r.Y >= rect.top && r.Right() <= rect.right && r.Bottom() <= rect.bottom;
        const bool touched = r.X < rect.right && r.Right() > rect.left && r.Y < rect.bottom && r.Bottom() > rect.top;
        if (touching ? touched : within) inside.push_back(i);
    }
    doc_.SetSelection(inside);
}

void PickMoveTool::Cancel(ToolSurface&) {
    if (!GestureRunning()) return;
    ToolSurface& view = *gesture_.View;
    view.Frame().CancelTrack();
    view.Frame().Refused = false;
    view.ShowGuides({});
    view.FrameChanged();
    // What the drag stored goes, and with it its step.
    drag_.Cancel();
    gesture_ = Gesture{};
    view.SetGestureActive(false);
}

void PickMoveTool::Deactivate() {
    if (gesture_.View != nullptr) Cancel(*gesture_.View);
    EndKeyRun();
}

Qt::CursorShape PickMoveTool::HoverCursor(ToolSurface& view, int x, int y) {
    return RectTracker::CursorForHit(CurrentFrameHit(view, x, y));
}

bool PickMoveTool::Key(ToolSurface& view, int key, Qt::KeyboardModifiers modifiers) {
    Touch(view);
    if (GestureRunning()) {
        // Every key belongs to the gesture; Escape gives it up.
        if (key == Qt::Key_Escape) Cancel(view);
        return true;
    }
    const int step = (modifiers & Qt::ShiftModifier) != 0 ? ShiftKeyStep : 1;
    if (key == Qt::Key_A && (modifiers & Qt::ControlModifier) != 0) {
        EndKeyRun();
        std::vector<int> all(static_cast<std::size_t>(doc_.WindowCount()));
        for (int i = 0; i < doc_.WindowCount(); ++i) all[static_cast<std::size_t>(i)] = i;
        doc_.SetSelection(all, doc_.SelectedOriginalWindow());
        return true;
    }
    if (key == Qt::Key_Escape && doc_.Selection().size() > 1) {
        // Only the current window stays selected.
        EndKeyRun();
        doc_.SelectWindow(doc_.SelectedOriginalWindow());
        return true;
    }
    switch (key) {
    case Qt::Key_Left: Nudge(view, -step, 0); return true;
    case Qt::Key_Right: Nudge(view, step, 0); return true;
    case Qt::Key_Up: Nudge(view, 0, -step); return true;
    case Qt::Key_Down: Nudge(view, 0, step); return true;
    default: break;
    }
    if (!IsModifierKey(key)) EndKeyRun();
    if (key != Qt::Key_Delete) return false;
    // The windows selected, whichever view or the list selected them.
    DeleteSelection(doc_);
    return true;
}

EditGesture PickMoveTool::KeyRunStep(bool original) {
    // Another edit since the last press (an undo, a field, the other view) ends the run too.
    if (!keyRun_.OwnsNewestStep()) keyRun_.Begin();
    return keyRun_.Step(original ? EditGesture::Kind::OriginalKeys : EditGesture::Kind::TargetKeys);
}

void PickMoveTool::Nudge(ToolSurface& view, int dx, int dy) {
    const bool original = IsOriginal(view);
    if (doc_.Selection().size() > 1) {
        // The whole group, stopped at the edge; arrows never snap.
        MoveSelection(doc_, SideOf(view), MoveDelta{dx, dy}, KeyRunStep(original));
        return;
    }
    const int index = CurrentWindow(doc_, view);
    if (index < 0 || index >= doc_.WindowCount()) return;
    const MapFileHead& head = doc_.GetHead();
    const PlaybackWindow& w = doc_.GetPlaybackWindows()[static_cast<std::size_t>(index)];
    const ViewRect from = original ? OriginalRectOf(w) : PlaceOf(w);
    const ViewRect to = original ? NudgeInPicture(from, dx, dy, head.OriginalWidth, head.OriginalHeight)
                                 : NudgeInPicture(from, dx, dy, head.TargetWidth, head.TargetHeight);
    if (to == from) return;
    PlaybackWindow moved = w;
    if (original) {
        moved = FillWindowFromRect(w, to, false, 0);
    } else {
        moved.TargetStartX = static_cast<std::uint16_t>(to.left);
        moved.TargetStartY = static_cast<std::uint16_t>(to.top);
    }
    const WindowEditResult result = doc_.ChangeWindow(index, moved, KeyRunStep(original));
    if (result.Accepted()) return;
    ReportRefusal(result);
    view.PlaceFrameOn(index);
    view.FrameChanged();
}

}  // namespace tesselink
