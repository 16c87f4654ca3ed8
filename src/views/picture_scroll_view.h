#pragma once
// What the two picture views share: a scroll extent in pixels, the status sink, the
// selection frame bookkeeping across scrolling and a paint composed off-screen.

#include <functional>
#include <vector>

#include <QAbstractScrollArea>
#include <QImage>
#include <QSize>
#include <QString>

#include "document/edit_commands.h"
#include "map/map_model.h"
#include "views/rect_tracker.h"
#include "views/view_drawing.h"
#include "views/view_geometry.h"
#include "views/view_rect.h"

namespace tesselink {

class CTesselinkDoc;
struct MapChange;
enum class PictureViewRole;

class PictureScrollView : public QAbstractScrollArea {
    Q_OBJECT
public:
    using StatusSink = std::function<void(int pane, const QString& text)>;

    explicit PictureScrollView(QWidget* parent = nullptr);

    // Where the status texts go (pane 1: Original view, pane 2: Target view).
    void SetStatusSink(StatusSink sink) { statusSink_ = std::move(sink); }

    // The scrolling canvas; the scroll bars range over what the viewport does not show.
    void SetScrollExtent(QSize extent);
    QSize ScrollExtent() const { return extent_; }
    int ScrollX() const;
    int ScrollY() const;
    void SetScrollPosition(int x, int y);

    // The selection frame in client coordinates, and in content coordinates.
    const RectTracker& SelectionFrame() const { return frame_; }
    ViewRect FrameLogicalRect() const { return frameLogicalRect_; }
    ViewRect SelectionPictureRect() const { return selectionPictureRect_; }
    int ZoomChangedFlag() const { return zoomChanged_; }

    // Composes the whole viewport as the next paint would and returns it.
    QImage RenderViewport();

protected:
    // Draws the visible part into `buffer` (viewport-sized, client coordinates).
    virtual void PaintView(QImage& buffer) = 0;
    // The picture's place and every window's display rectangle for a client area of this size.
    virtual void ComputeLayout(int clientWidth, int clientHeight) = 0;
    // The same for the viewport as it is now, so that a mouse press or a key never works on
    // rectangles of a paint that has not happened yet.
    void ComputeLayoutNow() { ComputeLayout(viewport()->width(), viewport()->height()); }
    virtual float Zoom() const = 0;
    // The window this view picks, -1 for none.
    virtual int SelectedWindow() const = 0;

    // Follows the document: any change repaints; a change of the picked window or of the
    // selection puts the frame on the picked window; a new head or map, and a new zoom factor
    // of `role`, set the scroll extent through `applyExtent`.
    void FollowDocument(CTesselinkDoc& doc, PictureViewRole role, std::function<void()> applyExtent);
    // The frame on the picked window (hidden for none), and its picture rectangle remembered.
    void FrameSelectedWindow();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Ctrl + wheel zooms this view by one step per notch; the plain wheel scrolls. Nothing
    // happens to either while the frame is tracked.
    void wheelEvent(QWheelEvent* event) override;
    // While the frame is tracked every key comes to the view (Escape cancels), none goes to a
    // shortcut: an undo in the middle of a drag would pull the window from under it.
    bool event(QEvent* event) override;

    // While a mouse gesture runs the frame stays under the mouse: changes of the document
    // repaint but do not put the frame on the picked window. Ending the gesture does.
    void BeginGesture() { gestureActive_ = true; }
    void EndGesture();
    bool GestureActive() const { return gestureActive_; }
    // After the tracker moved the frame: paints take the frame from FrameLogicalRect, so it
    // follows at once.
    void KeepTrackedFrame() { frameLogicalRect_ = frame_.Rect.Offset(ScrollX(), ScrollY()); }
    // The cursor for hit code `hit` over the viewport.
    void ShowCursorForHit(int hit);

    // The last of the first `count` windows whose display rectangle holds the client point
    // (right and bottom exclusive), -1 for none: among overlapping windows the later one wins.
    int PickWindowAt(int x, int y, int count) const;
    // The frame exactly on window `index`'s display rectangle (from a fresh layout); false and
    // the frame left alone when that window is not shown.
    bool SnapFrameTo(int index);

    // One mouse gesture on a window, from the press to the release.
    struct WindowGesture {
        int Index = -1;            // the window being changed; -1 for a rubber band
        PlaybackWindow Start;      // as it was stored at the press
        ViewRect StartPicture;     // its rectangle in picture pixels at the press
        ViewRect StartFrame;       // the frame at the press, exactly over StartPicture
        FrameEdit Edit = FrameEdit::Move;
        EditGesture Step;          // merges every stored step of this gesture into one
        bool Stored = false;       // a step of this gesture reached the document
    };
    WindowGesture gesture_;

    void ReportStatus(int pane, const QString& text);
    void HideFrame();
    // The frame takes window `index`'s display rectangle, normalised; hidden for none.
    void FrameWindow(int index);
    // SelectionPictureRect from window `index`'s display rectangle at `zoom`; (0,0,0,0) below 0.
    void StoreSelectionPictureRect(int index, float zoom);
    // The frame takes FrameLogicalRect at the current scroll position (a hidden frame stays hidden).
    void FollowFrameLogicalRect();

    RectTracker frame_;
    PictureLayout layout_;  // the picture's place in content coordinates, from the last layout
    ViewRect frameLogicalRect_ = HiddenFrameRect;
    ViewRect selectionPictureRect_{0, 0, 0, 0};
    ViewRect pictureRect_;
    std::vector<ViewRect> displayRects_;
    int zoomChanged_ = 0;
    TitleStyle titleStyle_;

private:
    void UpdateScrollBars();
    void OnDocumentChanged(const MapChange& change);

    CTesselinkDoc* followed_ = nullptr;
    PictureViewRole role_{};
    bool gestureActive_ = false;
    int wheelAngle_ = 0;  // eighths of a degree not yet turned into a zoom step
    QSize extent_;
    QImage buffer_;
    StatusSink statusSink_;
    std::function<void()> applyExtent_;
};

}  // namespace tesselink
