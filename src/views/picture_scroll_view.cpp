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

PictureScrollView::PictureScrollView(QWidget* parent) : QAbstractScrollArea(parent) {
    // Every paint covers the whole viewport from the off-screen buffer: no background erase.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Keys (arrows, Delete, Escape) come to the view that was clicked last.
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button set the cursor over the frame's handles.
    viewport()->setMouseTracking(true);
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
}

void PictureScrollView::scrollContentsBy(int dx, int dy) {
    // dx, dy are the old position less the new one: the frame is kept in content coordinates
    // as it stood before the scroll, so the next paint puts it where the picture went.
    // A hidden frame stays hidden: shifted, it would no longer carry the hidden mark.
    if (!frame_.IsHidden()) {
        frameLogicalRect_ = frame_.Rect.Offset(ScrollX() + dx, ScrollY() + dy);
        // Moved along at once, so that a second scroll before the next paint starts from here.
        frame_.Rect = frameLogicalRect_.Offset(-ScrollX(), -ScrollY());
    }
    viewport()->update();
}

void PictureScrollView::ReportStatus(int pane, const QString& text) {
    if (statusSink_) statusSink_(pane, text);
}

void PictureScrollView::FollowFrameLogicalRect() {
    if (frame_.IsHidden()) return;
    frame_.Rect = frameLogicalRect_.Offset(-ScrollX(), -ScrollY());
}

void PictureScrollView::FollowDocument(CTesselinkDoc& doc, PictureViewRole role, std::function<void()> applyExtent) {
    followed_ = &doc;
    role_ = role;
    applyExtent_ = std::move(applyExtent);
    connect(&doc, &CTesselinkDoc::changed, this, &PictureScrollView::OnDocumentChanged);
    connect(&doc, &CTesselinkDoc::selectionChanged, this, &PictureScrollView::FrameSelectedWindow);
    connect(&doc, &CTesselinkDoc::zoomChanged, this, [this, role](PictureViewRole view) {
        if (view != role) return;
        // The frame is placed again from the picked window's picture rectangle at the next paint.
        zoomChanged_ = 1;
        if (applyExtent_) applyExtent_();
        viewport()->update();
    });
}

void PictureScrollView::OnDocumentChanged(const MapChange& change) {
    using Kind = MapChange::Kind;
    if ((change.What == Kind::Head || change.What == Kind::MapReplaced) && applyExtent_) applyExtent_();
    if (change.What == Kind::Cover || change.What == Kind::Picture) {
        viewport()->update();
        return;
    }
    FrameSelectedWindow();
}

void PictureScrollView::FrameSelectedWindow() {
    if (gestureActive_) {
        viewport()->update();
        return;
    }
    const int index = SelectedWindow();
    FrameWindow(index);
    StoreSelectionPictureRect(index, Zoom());
    viewport()->update();
}

void PictureScrollView::FrameWindow(int index) {
    // The last paint's rectangles may predate a change of the window.
    if (index >= 0) ComputeLayout(viewport()->width(), viewport()->height());
    if (index < 0 || index >= static_cast<int>(displayRects_.size())) {
        HideFrame();
        return;
    }
    frame_.Rect = displayRects_[index].Normalized();
    frameLogicalRect_ = frame_.Rect.Offset(ScrollX(), ScrollY());
}

void PictureScrollView::StoreSelectionPictureRect(int index, float zoom) {
    if (index < 0) {
        selectionPictureRect_ = {0, 0, 0, 0};
        return;
    }
    if (index >= static_cast<int>(displayRects_.size())) ComputeLayout(viewport()->width(), viewport()->height());
    if (index >= static_cast<int>(displayRects_.size())) return;
    selectionPictureRect_ = DisplayToPicture(displayRects_[index], pictureRect_.left, pictureRect_.top, zoom);
}

int PictureScrollView::PickWindowAt(int x, int y, int count) const {
    const int n = std::min(count, static_cast<int>(displayRects_.size()));
    for (int i = n - 1; i >= 0; --i)
        if (displayRects_[static_cast<std::size_t>(i)].Contains(x, y)) return i;
    return -1;
}

bool PictureScrollView::SnapFrameTo(int index) {
    ComputeLayoutNow();
    if (index < 0 || index >= static_cast<int>(displayRects_.size())) return false;
    frame_.Rect = displayRects_[static_cast<std::size_t>(index)].Normalized();
    frameLogicalRect_ = frame_.Rect.Offset(ScrollX(), ScrollY());
    return true;
}

void PictureScrollView::EndGesture() {
    gestureActive_ = false;
    FrameSelectedWindow();
}

void PictureScrollView::ShowCursorForHit(int hit) {
    const Qt::CursorShape shape = RectTracker::CursorForHit(hit);
    if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
}

bool PictureScrollView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && frame_.IsTracking()) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void PictureScrollView::wheelEvent(QWheelEvent* event) {
    if (frame_.IsTracking()) {
        event->accept();
        return;
    }
    if (!(event->modifiers() & Qt::ControlModifier) || followed_ == nullptr) {
        wheelAngle_ = 0;
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    // A notch is 120; finer wheels add up to one.
    wheelAngle_ += event->angleDelta().y();
    while (wheelAngle_ >= 120) {
        wheelAngle_ -= 120;
        followed_->StepZoom(role_, +1);
    }
    while (wheelAngle_ <= -120) {
        wheelAngle_ += 120;
        followed_->StepZoom(role_, -1);
    }
}

void PictureScrollView::HideFrame() {
    frame_.Rect = HiddenFrameRect;
    frameLogicalRect_ = HiddenFrameRect.Offset(ScrollX(), ScrollY());
}

}  // namespace tesselink
