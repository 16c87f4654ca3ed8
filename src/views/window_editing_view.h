#pragma once
// What both picture views do alike with the mouse and the keys: a press starts a gesture, the
// release or Escape ends it, arrows nudge, Delete removes; and the zoom and frame requests
// the document's panes make of either view. Each view says what a press, a release and a
// nudge mean in its own picture.

#include <QSize>

#include "document/tesselink_doc.h"
#include "map/message_boxes.h"
#include "views/picture_scroll_view.h"

namespace tesselink {

class WindowEditingView : public PictureScrollView {
    Q_OBJECT
public:
    // Follows `doc` as the view of `role`; refused edits are told through `boxes` when given.
    WindowEditingView(CTesselinkDoc& doc, MessageBoxes* boxes, PictureViewRole role, QWidget* parent);

    // Sets the scroll extent for a zoom factor.
    void ApplyZoom(float zoom);
    // A flag the next paint consumes: the selection frame is placed from the picked window again.
    void SetZoomChanged(int flag) { zoomChanged_ = flag; }
    void Repaint();
    void ClearSelectionFrame() { HideFrame(); }
    // The selection frame takes window `index`'s display rectangle; below 0 hides it.
    void ShowWindowFrame(int index) { FrameWindow(index); }
    // Remembers window `index`'s rectangle in picture pixels for the next zoom; below 0 clears it.
    void UpdateSelectionPictureRect(int index) { StoreSelectionPictureRect(index, Zoom()); }

protected:
    // Arrow keys move by one picture pixel, with Shift by ten.
    static constexpr int ShiftKeyStep = 10;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // A left press at a client point, when no gesture runs.
    virtual void PressAt(int x, int y) = 0;
    // The cursor over a client point while no gesture runs.
    virtual void ShowHoverCursor(int x, int y) = 0;
    // The window as the tracked frame now makes it, its place told in the status pane; false
    // when the gesture changes no stored window (a rubber band).
    virtual bool WindowForTrackedFrame(PlaybackWindow& window) = 0;
    // The button came up: the gesture's result is stored or refused.
    virtual void FinishGesture() = 0;
    // Moves the picked window by (dx, dy) picture pixels.
    virtual void NudgeSelected(int dx, int dy) = 0;
    // The picture this view shows, in its own pixels, and the room kept below it when scrolling.
    virtual QSize PictureSize() const = 0;
    virtual int ExtentMarginHeight() const = 0;

    // Starts tracking the frame from (x, y) with hit code `hit` over window `index`, whose
    // rectangle in this view's picture is `picture`; every step merges into one `kind` step.
    void BeginWindowGesture(int index, const ViewRect& picture, FrameEdit edit, EditGesture::Kind kind, int hit,
                            int x, int y);
    // The picture rectangle the tracked frame stands for now, pushed back into the picture.
    ViewRect TrackedPictureRect() const;
    // Stores `window` over the gesture's window when the mouse moved (a press alone only
    // selects); a refusal takes back the steps stored on the way and is told.
    void CommitGesture(bool moved, const PlaybackWindow& window);
    // Escape or the right button: the window back as it was, the gesture leaving no step behind.
    void CancelGesture();
    // Stores a nudged window as one step with the other presses; a refusal is told and the frame
    // goes back on the stored window.
    void StoreNudge(int index, const PlaybackWindow& window, EditGesture::Kind keys);
    // Shows why the document refused an edit.
    void ReportRefusal(const WindowEditResult& result);

    CTesselinkDoc& doc_;
    MessageBoxes* boxes_ = nullptr;
};

}  // namespace tesselink
