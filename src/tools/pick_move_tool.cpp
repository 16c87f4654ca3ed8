#include "tools/pick_move_tool.h"

#include <QUndoStack>

#include "document/tesselink_doc.h"
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
    // The current window's frame and handles first: in a tiled wall every inner handle lies
    // over a neighbour, and a press on it means this window.
    int current = CurrentWindow(doc_, view);
    int hit = HitNothing;
    if (current >= 0 && view.PlaceFrameOn(current)) hit = CurrentFrameHit(view, at.X, at.Y);
    if (hit == HitNothing) {
        const int picked = PickWindowAt(view.DisplayRects(), at.X, at.Y, doc_.WindowCount());
        if (picked >= 0) {
            doc_.SelectWindow(picked);
            current = picked;
            view.PlaceFrameOn(current);
            hit = HitMiddle;
        }
    }
    if (current >= 0 && current < doc_.WindowCount() && hit != HitNothing) {
        BeginWindowGesture(view, current, hit, at);
        return;
    }
    PressOnEmptyArea(view, at);
}

void PickMoveTool::PressOnEmptyArea(ToolSurface&, const ToolPoint&) {
    // A click on empty area changes nothing, not even the selection.
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
    gesture_.StartFrame = view.Frame().Rect;
    gesture_.Edit = hit == HitMiddle ? FrameEdit::Move : FrameEdit::Resize;
    gesture_.Step =
        EditGesture{original ? EditGesture::Kind::OriginalDrag : EditGesture::Kind::TargetDrag, doc_.NewGestureSerial()};
    view.SetGestureActive(true);
    view.Frame().BeginTrack(hit, at.X, at.Y);
}

void PickMoveTool::BeginRubberBand(ToolSurface& view, const ToolPoint& at) {
    gesture_ = Gesture{};
    gesture_.View = &view;
    gesture_.Edit = FrameEdit::NewWindow;
    view.SetGestureActive(true);
    view.Frame().BeginRubberBand(at.X, at.Y);
    view.FrameChanged();
}

ViewRect PickMoveTool::TrackedPictureRect(ToolSurface& view) const {
    const ViewRect picture = view.PictureRect();
    // A moved frame keeps its size and is pushed back inside; a resized one stops its dragged
    // edges at the picture's edges, so the edges that were not dragged stay where they are.
    const ViewRect frame = gesture_.Edit == FrameEdit::Resize ? ClipIntoPicture(view.Frame().Rect, picture)
                                                              : ClampIntoPicture(view.Frame().Rect, picture);
    return PictureRectFromFrame(frame, gesture_.StartFrame, gesture_.StartPicture, gesture_.Edit, view.Across(),
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
        Status(view, QStringLiteral("Original view: ") + WindowRectText(rect.left, rect.top, rect.Width(), rect.Height()) +
                         misfit);
        return;
    }
    Status(view, QStringLiteral("Target view: ") +
                     WindowRectText(w.TargetStartX, w.TargetStartY, w.PlacedWidth, w.PlacedHeight) + misfit);
}

PlaybackWindow PickMoveTool::NewWindowFor(const ViewRect&) const { return PlaybackWindow{}; }

void PickMoveTool::Move(ToolSurface& view, const ToolPoint& at) {
    if (gesture_.View != &view) return;
    if (!view.Frame().TrackTo(at.X, at.Y)) return;
    view.FrameChanged();
    const ViewRect rect = TrackedPictureRect(view);
    ReportTracked(view, rect);
    if (gesture_.Index < 0) return;
    // The window follows the frame in both views while the mouse moves; a step the document
    // refuses is skipped, the release decides.
    const WindowEditResult result = doc_.ChangeWindow(gesture_.Index, ProposedWindow(view, rect), gesture_.Step);
    if (result.What == WindowEditResult::Outcome::Stored) gesture_.Stored = true;
}

void PickMoveTool::Release(ToolSurface& view, const ToolPoint& at) {
    if (gesture_.View != &view) return;
    // Where the button comes up counts, even without a move event there.
    if (view.Frame().TrackTo(at.X, at.Y)) view.FrameChanged();
    Finish(view);
}

void PickMoveTool::Finish(ToolSurface& view) {
    RectTracker& frame = view.Frame();
    const bool moved = frame.Moved();
    const ViewRect band = frame.Rect;
    const ViewRect rect = TrackedPictureRect(view);
    frame.EndTrack();
    const Gesture gesture = gesture_;
    gesture_ = Gesture{};
    if (gesture.Edit == FrameEdit::NewWindow) {
        FinishRubberBand(rect, moved && band.Width() != 0 && band.Height() != 0 && rect.Width() > 0 &&
                                   rect.Height() > 0);
    } else if (moved && gesture.Index >= 0 && gesture.Index < doc_.WindowCount()) {
        const WindowEditResult result = doc_.ChangeWindow(gesture.Index, ProposedWindow(view, rect), gesture.Step);
        if (!result.Accepted()) {
            // Refused as a whole: the steps stored on the way are taken back too.
            if (gesture.Stored) doc_.ChangeWindow(gesture.Index, gesture.Start, gesture.Step);
            ReportRefusal(result);
        }
    }
    view.SetGestureActive(false);
}

void PickMoveTool::Cancel(ToolSurface&) {
    if (!GestureRunning()) return;
    ToolSurface& view = *gesture_.View;
    view.Frame().CancelTrack();
    view.Frame().Refused = false;
    view.FrameChanged();
    // Merged into the gesture's step, which then leaves nothing behind.
    if (gesture_.Index >= 0 && gesture_.Stored && gesture_.Index < doc_.WindowCount())
        doc_.ChangeWindow(gesture_.Index, gesture_.Start, gesture_.Step);
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
    switch (key) {
    case Qt::Key_Left: Nudge(view, -step, 0); return true;
    case Qt::Key_Right: Nudge(view, step, 0); return true;
    case Qt::Key_Up: Nudge(view, 0, -step); return true;
    case Qt::Key_Down: Nudge(view, 0, step); return true;
    default: break;
    }
    if (!IsModifierKey(key)) EndKeyRun();
    if (key != Qt::Key_Delete) return false;
    // The window selected in the editor's list, whichever view selected it.
    const int index = doc_.SelectedOriginalWindow();
    if (index >= 0) doc_.RemoveWindow(index);
    return true;
}

int PickMoveTool::KeyRunSerial() {
    // Another edit since the last press (an undo, a field, the other view) ends the run too.
    if (keyRunSerial_ == 0 || doc_.UndoStack().index() != keyRunUndoIndex_) keyRunSerial_ = doc_.NewGestureSerial();
    return keyRunSerial_;
}

void PickMoveTool::Nudge(ToolSurface& view, int dx, int dy) {
    const bool original = IsOriginal(view);
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
    const EditGesture step{original ? EditGesture::Kind::OriginalKeys : EditGesture::Kind::TargetKeys, KeyRunSerial()};
    const WindowEditResult result = doc_.ChangeWindow(index, moved, step);
    if (result.Accepted()) {
        keyRunUndoIndex_ = doc_.UndoStack().index();
        return;
    }
    ReportRefusal(result);
    view.PlaceFrameOn(index);
    view.FrameChanged();
}

}  // namespace tesselink
