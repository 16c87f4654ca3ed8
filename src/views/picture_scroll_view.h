// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the two picture views share: a scroll extent in pixels, the layout of the picture and
// its windows prepared whenever the document, the backdrop, the zoom, the selection, the size or the scroll
// position changes, the selection frame kept across all of these, and a paint that only draws
// that layout into an off-screen picture.

#include <vector>

#include <QAbstractScrollArea>
#include <QPainter>
#include <QImage>
#include <QSize>
#include <QString>

#include "document/tesselink_doc.h"
#include "map/map_model.h"
#include "stage/backdrop.h"
#include "views/rect_tracker.h"
#include "views/view_drawing.h"
#include "views/view_geometry.h"
#include "views/view_rect.h"
#include "views/view_zoom.h"

namespace tesselink {

struct MapChange;

class PictureScrollView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Follows `doc` as the view for `role`, at the zoom it holds.
    PictureScrollView(CTesselinkDoc& doc, const Backdrop& backdrop, PictureViewRole role, QWidget* parent = nullptr);

    PictureViewRole Role() const { return role_; }
    // This view's zoom factor; the zoom commands and the wheel change it here.
    ViewZoom& ZoomObject() { return zoom_; }
    const ViewZoom& ZoomObject() const { return zoom_; }
    // The largest zoom at which the whole picture shows without scrolling, in the viewport as it
    // is without scroll bars; and that zoom set.
    float FitZoomFactor() const;
    void ZoomToFit();
    // Scrolls as little as needed so that `pictureRect` (picture pixels of this view's side,
    // not zoomed) is in view; one larger than the view shows its top-left.
    void ScrollPictureRectIntoView(const ViewRect& pictureRect);

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

    // The layout as the next paint draws it: the picture and every window, client coordinates.
    ViewRect PictureRect() const { return pictureRect_; }
    const std::vector<ViewRect>& DisplayRects() const { return displayRects_; }
    int PictureOffsetX() const { return layout_.OffsetX; }
    int PictureOffsetY() const { return layout_.OffsetY; }
    // The text this view shows in its status pane.
    const QString& StatusText() const { return status_; }

    // Draws the whole viewport as the next paint would and returns it.
    QImage RenderViewport();

signals:
    void statusChanged(const QString& text);
    // The viewport took a new size (the view's or its scroll bars' doing).
    void viewportResized();

protected:
    // Draws the visible part into `buffer` (viewport-sized, client coordinates) from the
    // prepared layout; changes nothing.
    virtual void PaintView(QImage& buffer) = 0;
    // The picture this view shows, in its own pixels, and the room kept below it when scrolling.
    virtual QSize PictureSize() const = 0;
    virtual int ExtentMarginHeight() const = 0;
    virtual WindowSide Side() const = 0;
    // Drawn over the picture and the outlines, under the selection frame.
    virtual void DrawToolOverlay(QPainter&) {}
    // What a view prepares beyond the common layout; run at the end of every relayout.
    virtual void RelayoutContent() {}
    // The status text when no gesture writes one.
    virtual QString IdleStatus() const = 0;

    float Zoom() const { return zoom_.Factor(); }
    // The window this view picks, -1 for none.
    int CurrentWindow() const;

    // Where the frame goes in a relayout.
    enum class FramePlacement {
        Follow,     // stays where it is in content coordinates (a scroll, a resize)
        OnCurrent,  // exactly on the current window (hidden for none), unless a gesture runs
        AfterZoom,  // placed from the current window's picture rectangle at the new zoom
    };
    void Relayout(FramePlacement placement = FramePlacement::Follow);
    // The layout for the viewport as it is now, without touching the frame.
    void ComputeLayout();
    // The frame exactly on window `index`'s display rectangle from a fresh layout; false and the
    // frame left alone when that window is not shown.
    bool SnapFrameTo(int index);
    // After the tracker moved the frame: kept in content coordinates and drawn.
    void KeepTrackedFrame();
    void SetGestureActive(bool active);
    void SetStatus(const QString& text);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Ctrl + wheel zooms this view by one step of the fine ladder per notch; the plain wheel scrolls. Nothing
    // happens to either while the frame is tracked.
    void wheelEvent(QWheelEvent* event) override;

    CTesselinkDoc& doc_;
    const Backdrop& backdrop_;
    RectTracker frame_;
    PictureLayout layout_;  // the picture's place in content coordinates
    ViewRect pictureRect_;  // client coordinates
    std::vector<ViewRect> displayRects_;
    TitleStyle titleStyle_;

private:
    void UpdateScrollBars();
    void OnDocumentChanged(const MapChange& change);
    void OnZoomChanged();
    // The scroll extent for the zoom factor.
    void ApplyZoomExtent();
    void HideFrame();
    void FollowFrameLogicalRect();

    PictureViewRole role_;
    ViewZoom zoom_;
    ViewRect frameLogicalRect_ = HiddenFrameRect;
    ViewRect selectionPictureRect_{0, 0, 0, 0};
    bool gestureActive_ = false;
    bool fitting_ = false;  // a fit zoom is being applied
    int wheelAngle_ = 0;    // eighths of a degree not yet turned into a zoom step
    QSize extent_;
    QImage buffer_;
    QString status_;
};

}  // namespace tesselink
