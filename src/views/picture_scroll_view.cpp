// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/picture_scroll_view.h"

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "document/tesselink_doc.h"
#include "views/view_geometry.h"

namespace tesselink {

PictureScrollView::PictureScrollView(CTesselinkDoc& doc, const Backdrop& backdrop, PictureViewRole role,
                                     QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), backdrop_(backdrop), role_(role) {
    // Every paint covers the whole viewport from the off-screen buffer: no background erase.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Keys (arrows, Delete, Escape) come to the view that was clicked last.
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button set the cursor over the frame's handles.
    viewport()->setMouseTracking(true);
    connect(&doc, &CTesselinkDoc::changed, this, &PictureScrollView::OnDocumentChanged);
    // What is behind the map changed: the windows stay where they are.
    connect(&backdrop, &Backdrop::changed, this, [this] { Relayout(FramePlacement::Follow); });
    connect(&doc, &CTesselinkDoc::selectionChanged, this, [this] { Relayout(FramePlacement::OnCurrent); });
    connect(&zoom_, &ViewZoom::changed, this, &PictureScrollView::OnZoomChanged);
}

void PictureScrollView::SetScrollExtent(QSize extent) {
    extent_ = QSize(std::max(0, extent.width()), std::max(0, extent.height()));
    UpdateScrollBars();
}

int PictureScrollView::ScrollX() const { return horizontalScrollBar()->value(); }
int PictureScrollView::ScrollY() const { return verticalScrollBar()->value(); }

void PictureScrollView::SetScrollPosition(int x, int y) {
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
}

void PictureScrollView::UpdateScrollBars() {
    const QSize view = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, extent_.width() - view.width()));
    v->setRange(0, std::max(0, extent_.height() - view.height()));
    h->setPageStep(std::max(1, view.width()));
    v->setPageStep(std::max(1, view.height()));
    // A line is a tenth of a page, as scrolling views usually step.
    h->setSingleStep(std::max(1, view.width() / 10));
    v->setSingleStep(std::max(1, view.height() / 10));
}

int PictureScrollView::CurrentWindow() const {
    return role_ == PictureViewRole::Original ? doc_.SelectedOriginalWindow() : doc_.SelectedTargetWindow();
}

// ---- layout ----

void PictureScrollView::ComputeLayout() {
    const QSize picture = PictureSize();
    const float zoom = Zoom();
    layout_ = ComputePictureLayout(viewport()->width(), viewport()->height(), picture.width(), picture.height(), zoom);
    pictureRect_ = layout_.Picture.Offset(-ScrollX(), -ScrollY());
    ComputeDisplayRects(doc_.GetPlaybackWindows(), Side(), picture.width(), picture.height(), zoom, layout_.OffsetX,
                        layout_.OffsetY, ScrollX(), ScrollY(), displayRects_);
}

void PictureScrollView::Relayout(FramePlacement placement) {
    ComputeLayout();
    if (placement == FramePlacement::OnCurrent && gestureActive_) placement = FramePlacement::Follow;
    switch (placement) {
    case FramePlacement::Follow: FollowFrameLogicalRect(); break;
    case FramePlacement::OnCurrent: {
        const int index = CurrentWindow();
        if (index < 0 || index >= static_cast<int>(displayRects_.size())) {
            HideFrame();
            selectionPictureRect_ = {0, 0, 0, 0};
            break;
        }
        frame_.Rect = displayRects_[static_cast<std::size_t>(index)].Normalized();
        frameLogicalRect_ = frame_.Rect.Offset(ScrollX(), ScrollY());
        // Remembered for the next zoom.
        selectionPictureRect_ = DisplayToPicture(displayRects_[static_cast<std::size_t>(index)], pictureRect_.left,
                                                 pictureRect_.top, Zoom());
        break;
    }
    case FramePlacement::AfterZoom:
        frame_.Rect =
            PlaceFrameAfterZoom(selectionPictureRect_, Zoom(), ScrollX(), ScrollY(), layout_.OffsetX, layout_.OffsetY);
        frameLogicalRect_ = frame_.Rect.Offset(ScrollX(), ScrollY());
        break;
    }
    RelayoutContent();
    if (!gestureActive_) SetStatus(IdleStatus());
    viewport()->update();
}

bool PictureScrollView::SnapFrameTo(int index) {
    ComputeLayout();
    if (index < 0 || index >= static_cast<int>(displayRects_.size())) return false;
    frame_.Rect = displayRects_[static_cast<std::size_t>(index)].Normalized();
    frameLogicalRect_ = frame_.Rect.Offset(ScrollX(), ScrollY());
    return true;
}

void PictureScrollView::KeepTrackedFrame() {
    frameLogicalRect_ = frame_.Rect.Offset(ScrollX(), ScrollY());
    viewport()->update();
}

void PictureScrollView::SetGestureActive(bool active) {
    if (active == gestureActive_) return;
    gestureActive_ = active;
    // The gesture's end puts the frame back on the current window and the status with it.
    if (!active) Relayout(FramePlacement::OnCurrent);
}

void PictureScrollView::SetStatus(const QString& text) {
    if (text == status_) return;
    status_ = text;
    emit statusChanged(text);
}

void PictureScrollView::FollowFrameLogicalRect() {
    if (frame_.IsHidden()) return;
    frame_.Rect = frameLogicalRect_.Offset(-ScrollX(), -ScrollY());
}

void PictureScrollView::HideFrame() {
    frame_.Rect = HiddenFrameRect;
    frameLogicalRect_ = HiddenFrameRect.Offset(ScrollX(), ScrollY());
}

// ---- following the document and the zoom ----

void PictureScrollView::OnDocumentChanged(const MapChange& change) {
    using Kind = MapChange::Kind;
    if (change.What == Kind::Head || change.What == Kind::MapReplaced) ApplyZoomExtent();
    Relayout(change.What == Kind::Cover ? FramePlacement::Follow : FramePlacement::OnCurrent);
}

void PictureScrollView::OnZoomChanged() {
    ApplyZoomExtent();
    Relayout(FramePlacement::AfterZoom);
}

void PictureScrollView::ApplyZoomExtent() {
    const QSize picture = PictureSize();
    const QSize client = fitting_ ? maximumViewportSize() : viewport()->size();
    const ExtentSize e = ComputeZoomExtent(picture.width(), picture.height(), Zoom(), client.width(), client.height(),
                                           client.width(), client.height(), ExtentMarginHeight());
    SetScrollExtent(QSize(e.Width, e.Height));
}

float PictureScrollView::FitZoomFactor() const {
    const QSize picture = PictureSize();
    const QSize room = maximumViewportSize();
    return FitZoom(picture.width(), picture.height(), room.width(), room.height(), ViewZoom::FineMin, ViewZoom::Max);
}

void PictureScrollView::ZoomToFit() {
    // The extent for the fit zoom is set against the viewport without scroll bars, which is
    // what it will be once the extent has made them go.
    fitting_ = true;
    const float fit = FitZoomFactor();
    if (fit == Zoom()) {
        // Same factor, but the extent may still be one made for another size or zoom.
        ApplyZoomExtent();
        Relayout(FramePlacement::AfterZoom);
    } else {
        zoom_.SetFactor(fit);
    }
    fitting_ = false;
    SetScrollPosition(0, 0);
}

void PictureScrollView::ScrollPictureRectIntoView(const ViewRect& pictureRect) {
    const float z = Zoom();
    const QSize view = viewport()->size();
    // Content coordinates of the part, with a few pixels of room around it.
    const int left = static_cast<int>(layout_.OffsetX + pictureRect.left * z) - 10;
    const int top = static_cast<int>(layout_.OffsetY + pictureRect.top * z) - 10;
    const int right = static_cast<int>(layout_.OffsetX + pictureRect.right * z) + 10;
    const int bottom = static_cast<int>(layout_.OffsetY + pictureRect.bottom * z) + 10;
    const auto axis = [](int scroll, int low, int high, int size) {
        if (high - low > size || low < scroll) return low;
        if (high > scroll + size) return high - size;
        return scroll;
    };
    SetScrollPosition(axis(ScrollX(), left, right, view.width()), axis(ScrollY(), top, bottom, view.height()));
}

// ---- Qt events ----

void PictureScrollView::paintEvent(QPaintEvent*) {
    const QSize size = viewport()->size();
    if (size.isEmpty()) return;
    if (buffer_.size() != size) buffer_ = QImage(size, QImage::Format_RGB32);
    PaintView(buffer_);
    QPainter painter(viewport());
    painter.drawImage(0, 0, buffer_);
}

QImage PictureScrollView::RenderViewport() {
    const QSize size = viewport()->size();
    if (size.isEmpty()) return QImage();
    if (buffer_.size() != size) buffer_ = QImage(size, QImage::Format_RGB32);
    PaintView(buffer_);
    return buffer_;
}

void PictureScrollView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    Relayout();
}

bool PictureScrollView::viewportEvent(QEvent* event) {
    const bool handled = QAbstractScrollArea::viewportEvent(event);
    if (event->type() == QEvent::Resize) emit viewportResized();
    return handled;
}

void PictureScrollView::scrollContentsBy(int dx, int dy) {
    // dx, dy are the old position less the new one: the frame is kept in content coordinates
    // as it stood before the scroll, so it goes where the picture went.
    // A hidden frame stays hidden: shifted, it would no longer carry the hidden mark.
    if (!frame_.IsHidden()) frameLogicalRect_ = frame_.Rect.Offset(ScrollX() + dx, ScrollY() + dy);
    frame_.ShiftTracking(dx, dy);
    Relayout();
}

void PictureScrollView::wheelEvent(QWheelEvent* event) {
    if (frame_.IsTracking()) {
        event->accept();
        return;
    }
    if (!(event->modifiers() & Qt::ControlModifier)) {
        wheelAngle_ = 0;
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    // A notch is 120; finer wheels add up to one. The picture point under the cursor stays put.
    const QPoint at = event->position().toPoint();
    const float before = Zoom();
    const float pictureX = (at.x() + ScrollX() - layout_.OffsetX) / before;
    const float pictureY = (at.y() + ScrollY() - layout_.OffsetY) / before;
    wheelAngle_ += event->angleDelta().y();
    bool stepped = false;
    while (wheelAngle_ >= 120) {
        wheelAngle_ -= 120;
        stepped = zoom_.StepFine(+1) || stepped;
    }
    while (wheelAngle_ <= -120) {
        wheelAngle_ += 120;
        stepped = zoom_.StepFine(-1) || stepped;
    }
    if (!stepped) return;
    const float after = Zoom();
    SetScrollPosition(static_cast<int>(layout_.OffsetX + pictureX * after) - at.x(),
                      static_cast<int>(layout_.OffsetY + pictureY * after) - at.y());
}

}  // namespace tesselink
