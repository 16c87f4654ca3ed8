#include "views/window_editing_view.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tesselink {

WindowEditingView::WindowEditingView(CTesselinkDoc& doc, MessageBoxes* boxes, PictureViewRole role, QWidget* parent)
    : PictureScrollView(parent), doc_(doc), boxes_(boxes) {
    FollowDocument(doc, role, [this, role] { ApplyZoom(doc_.Zoom(role)); });
}

void WindowEditingView::ApplyZoom(float zoom) {
    const QSize picture = PictureSize();
    const QSize client = viewport()->size();
    const ExtentSize e = ComputeZoomExtent(picture.width(), picture.height(), zoom, client.width(), client.height(),
                                           client.width(), client.height(), ExtentMarginHeight());
    SetScrollExtent(QSize(e.Width, e.Height));
}

void WindowEditingView::Repaint() { viewport()->update(); }

void WindowEditingView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (frame_.IsTracking()) {
        // The right button, like Escape, gives the gesture up.
        if (event->button() == Qt::RightButton) CancelGesture();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    PressAt(p.x(), p.y());
}

// A quick second click is a press like the first.
void WindowEditingView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void WindowEditingView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    if (!frame_.IsTracking()) {
        ShowHoverCursor(p.x(), p.y());
        return;
    }
    // The release went elsewhere (the window lost the mouse): the gesture ends where it is.
    if (!(event->buttons() & Qt::LeftButton)) {
        FinishGesture();
        return;
    }
    if (!frame_.TrackTo(p.x(), p.y())) return;
    KeepTrackedFrame();
    viewport()->update();
    // The window follows the frame in both views while the mouse moves; a step the document
    // refuses is skipped, the release decides.
    PlaybackWindow window;
    if (!WindowForTrackedFrame(window)) return;
    if (doc_.ChangeWindow(gesture_.Index, window, gesture_.Step).What == WindowEditResult::Outcome::Stored)
        gesture_.Stored = true;
}

void WindowEditingView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !frame_.IsTracking()) return;
    // Where the button comes up counts, even without a move event there.
    const QPoint p = event->position().toPoint();
    if (frame_.TrackTo(p.x(), p.y())) KeepTrackedFrame();
    FinishGesture();
}

void WindowEditingView::BeginWindowGesture(int index, const ViewRect& picture, FrameEdit edit, EditGesture::Kind kind,
                                           int hit, int x, int y) {
    gesture_ = WindowGesture{};
    gesture_.Index = index;
    gesture_.Start = doc_.GetPlaybackWindows()[static_cast<std::size_t>(index)];
    gesture_.StartPicture = picture;
    gesture_.StartFrame = frame_.Rect;
    gesture_.Edit = edit;
    gesture_.Step = EditGesture{kind, doc_.NewGestureSerial()};
    BeginGesture();
    frame_.BeginTrack(hit, x, y);
}

ViewRect WindowEditingView::TrackedPictureRect() const {
    const QSize picture = PictureSize();
    const float zoom = Zoom();
    const PictureAxis across{layout_.OffsetX, ScrollX(), zoom, picture.width()};
    const PictureAxis down{layout_.OffsetY, ScrollY(), zoom, picture.height()};
    const ViewRect clamped = ClampIntoPicture(frame_.Rect, pictureRect_);
    return PictureRectFromFrame(clamped, gesture_.StartFrame, gesture_.StartPicture, gesture_.Edit, across, down);
}

void WindowEditingView::CommitGesture(bool moved, const PlaybackWindow& window) {
    WindowEditResult result;
    if (moved && gesture_.Index >= 0 && gesture_.Index < doc_.WindowCount()) {
        result = doc_.ChangeWindow(gesture_.Index, window, gesture_.Step);
        // Refused as a whole: the steps stored on the way are taken back too.
        if (!result.Accepted() && gesture_.Stored) doc_.ChangeWindow(gesture_.Index, gesture_.Start, gesture_.Step);
    }
    if (!result.Accepted()) ReportRefusal(result);
}

void WindowEditingView::CancelGesture() {
    frame_.CancelTrack();
    KeepTrackedFrame();
    // Merged into the gesture's step, which then leaves nothing behind.
    if (gesture_.Index >= 0 && gesture_.Stored && gesture_.Index < doc_.WindowCount())
        doc_.ChangeWindow(gesture_.Index, gesture_.Start, gesture_.Step);
    gesture_ = WindowGesture{};
    EndGesture();
}

void WindowEditingView::keyPressEvent(QKeyEvent* event) {
    const int step = (event->modifiers() & Qt::ShiftModifier) != 0 ? ShiftKeyStep : 1;
    if (frame_.IsTracking()) {
        if (event->key() == Qt::Key_Escape) CancelGesture();
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Delete: {
        // The window selected in the editor's list, whichever view selected it.
        const int index = doc_.SelectedOriginalWindow();
        if (index >= 0) doc_.RemoveWindow(index);
        break;
    }
    case Qt::Key_Left: NudgeSelected(-step, 0); break;
    case Qt::Key_Right: NudgeSelected(step, 0); break;
    case Qt::Key_Up: NudgeSelected(0, -step); break;
    case Qt::Key_Down: NudgeSelected(0, step); break;
    default: PictureScrollView::keyPressEvent(event); return;
    }
    event->accept();
}

void WindowEditingView::StoreNudge(int index, const PlaybackWindow& window, EditGesture::Kind keys) {
    // Every press on one window merges into one step; the frame follows the stored window.
    const WindowEditResult result = doc_.ChangeWindow(index, window, EditGesture{keys, 0});
    if (result.Accepted()) return;
    ReportRefusal(result);
    FrameSelectedWindow();
}

void WindowEditingView::ReportRefusal(const WindowEditResult& result) {
    const std::string text = WindowBoundsMessage(result);
    if (!text.empty() && boxes_ != nullptr) boxes_->Show(ApplicationMessage(text));
}

}  // namespace tesselink
