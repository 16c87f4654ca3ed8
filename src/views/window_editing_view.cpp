// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/window_editing_view.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tesselink {
namespace {

ToolPoint PointOf(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return ToolPoint{p.x(), p.y(), event->modifiers()};
}

}  // namespace

namespace {
// Screen pixels from the viewport's edge where dragging starts to scroll.
constexpr int AutoScrollMargin = 16;
}  // namespace

WindowEditingView::WindowEditingView(CTesselinkDoc& doc, const Backdrop& backdrop, PictureViewRole role,
                                     QWidget* parent)
    : PictureScrollView(doc, backdrop, role, parent), autoScroll_(new QTimer(this)) {
    autoScroll_->setInterval(40);
    connect(autoScroll_, &QTimer::timeout, this, &WindowEditingView::AutoScroll);
}

void WindowEditingView::FollowEdge(const ToolPoint& at) {
    lastPoint_ = at;
    const bool nearEdge = at.X < AutoScrollMargin || at.Y < AutoScrollMargin ||
                          at.X >= viewport()->width() - AutoScrollMargin ||
                          at.Y >= viewport()->height() - AutoScrollMargin;
    if (nearEdge && !autoScroll_->isActive()) autoScroll_->start();
    if (!nearEdge) autoScroll_->stop();
}

void WindowEditingView::AutoScroll() {
    Tool* tool = ActiveTool();
    if (tool == nullptr || !tool->GestureRunning()) {
        autoScroll_->stop();
        return;
    }
    // Faster the further past the margin the mouse is.
    const auto speed = [](int position, int length) {
        if (position < AutoScrollMargin) return -std::min(40, 2 + (AutoScrollMargin - position) / 2);
        if (position >= length - AutoScrollMargin) return std::min(40, 2 + (position - length + AutoScrollMargin) / 2);
        return 0;
    };
    const int x = ScrollX();
    const int y = ScrollY();
    SetScrollPosition(x + speed(lastPoint_.X, viewport()->width()), y + speed(lastPoint_.Y, viewport()->height()));
    if (ScrollX() == x && ScrollY() == y) return;
    tool->Move(*this, lastPoint_);
}

void WindowEditingView::SetToolManager(ToolManager* tools) {
    if (tools_ != nullptr) disconnect(tools_, nullptr, this, nullptr);
    tools_ = tools;
    if (tools_ == nullptr) return;
    connect(&tools_->Snap(), &SnapSettings::changed, this, [this] { viewport()->update(); });
    // A new tool shows its own cursor at once, where the mouse already is.
    connect(tools_, &ToolManager::activeToolChanged, this, [this] {
        const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
        if (Tool* tool = ActiveTool()) viewport()->setCursor(tool->HoverCursor(*this, p.x(), p.y()));
    });
}

PictureAxis WindowEditingView::Across() const {
    return PictureAxis{layout_.OffsetX, ScrollX(), Zoom(), PictureSize().width()};
}

PictureAxis WindowEditingView::Down() const {
    return PictureAxis{layout_.OffsetY, ScrollY(), Zoom(), PictureSize().height()};
}

void WindowEditingView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    Tool* tool = ActiveTool();
    if (tool == nullptr) return;
    if (tool->GestureRunning()) {
        // The right button, like Escape, gives the gesture up.
        if (event->button() == Qt::RightButton) tool->Cancel(*this);
        return;
    }
    if (event->button() == Qt::LeftButton) tool->Press(*this, PointOf(event));
}

// A quick second click is a press like the first.
void WindowEditingView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void WindowEditingView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    Tool* tool = ActiveTool();
    if (tool == nullptr) return;
    const ToolPoint at = PointOf(event);
    if (!tool->GestureRunning()) {
        const Qt::CursorShape shape = tool->HoverCursor(*this, at.X, at.Y);
        if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
        return;
    }
    // The release went elsewhere (the window lost the mouse): the gesture ends where it is.
    if (!(event->buttons() & Qt::LeftButton)) {
        autoScroll_->stop();
        tool->Release(*this, at);
        return;
    }
    FollowEdge(at);
    tool->Move(*this, at);
}

void WindowEditingView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    Tool* tool = ActiveTool();
    if (tool == nullptr || event->button() != Qt::LeftButton || !tool->GestureRunning()) return;
    autoScroll_->stop();
    tool->Release(*this, PointOf(event));
}

void WindowEditingView::keyPressEvent(QKeyEvent* event) {
    if (transportKeys_ && !frame_.IsTracking() && transportKeys_(*event)) {
        event->accept();
        return;
    }
    Tool* tool = ActiveTool();
    if (tool != nullptr && tool->Key(*this, event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    PictureScrollView::keyPressEvent(event);
}

void WindowEditingView::ShowGuides(const std::vector<SnapGuide>& guides) {
    if (guides == guides_) return;
    guides_ = guides;
    viewport()->update();
}

void WindowEditingView::DrawToolOverlay(QPainter& painter) {
    const ViewRect picture = PictureScrollView::PictureRect();
    const PictureAxis across = Across();
    const PictureAxis down = Down();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int step = tools_ != nullptr && tools_->Snap().GridShown() ? tools_->Snap().GridStep() : 0;
    // A grid finer than four screen pixels would only grey the picture.
    if (step > 0 && step * Zoom() >= 4.0f) {
        painter.setPen(QPen(QColor(255, 255, 255, 90), 0));
        const QRect clip = QRect(0, 0, viewport()->width(), viewport()->height());
        for (int k = step; k < across.Length; k += step) {
            const int x = BoundaryToClient(across, k);
            if (x >= clip.left() && x <= clip.right()) painter.drawLine(x, picture.top, x, picture.bottom - 1);
        }
        for (int k = step; k < down.Length; k += step) {
            const int y = BoundaryToClient(down, k);
            if (y >= clip.top() && y <= clip.bottom()) painter.drawLine(picture.left, y, picture.right - 1, y);
        }
    }
    painter.setPen(QPen(QColor(255, 0, 255), 0));
    for (const SnapGuide& guide : guides_) {
        if (guide.Orientation == GuideOrientation::Vertical) {
            const int x = BoundaryToClient(across, guide.Position);
            painter.drawLine(x, picture.top - 10, x, picture.bottom + 9);
        } else {
            const int y = BoundaryToClient(down, guide.Position);
            painter.drawLine(picture.left - 10, y, picture.right + 9, y);
        }
    }
    painter.restore();
}

bool WindowEditingView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && frame_.IsTracking()) {
        event->accept();
        return true;
    }
    return PictureScrollView::event(event);
}

}  // namespace tesselink
