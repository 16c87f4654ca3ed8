#include "views/window_editing_view.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tesselink {
namespace {

ToolPoint PointOf(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return ToolPoint{p.x(), p.y(), event->modifiers()};
}

}  // namespace

WindowEditingView::WindowEditingView(CTesselinkDoc& doc, PictureViewRole role, QWidget* parent)
    : PictureScrollView(doc, role, parent) {}

void WindowEditingView::SetToolManager(ToolManager* tools) {
    if (tools_ != nullptr) disconnect(tools_, nullptr, this, nullptr);
    tools_ = tools;
    if (tools_ == nullptr) return;
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
        tool->Release(*this, at);
        return;
    }
    tool->Move(*this, at);
}

void WindowEditingView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    Tool* tool = ActiveTool();
    if (tool == nullptr || event->button() != Qt::LeftButton || !tool->GestureRunning()) return;
    tool->Release(*this, PointOf(event));
}

void WindowEditingView::keyPressEvent(QKeyEvent* event) {
    Tool* tool = ActiveTool();
    if (tool != nullptr && tool->Key(*this, event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    PictureScrollView::keyPressEvent(event);
}

bool WindowEditingView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && frame_.IsTracking()) {
        event->accept();
        return true;
    }
    return PictureScrollView::event(event);
}

}  // namespace tesselink
