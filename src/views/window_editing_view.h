// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture view whose mouse and keys go to the active tool: the view translates the input,
// the tool decides what it means and edits through the document.

#include <QTimer>

#include <functional>

#include "tools/tool_manager.h"
#include "tools/tool_surface.h"
#include "views/picture_scroll_view.h"

namespace tesselink {

class WindowEditingView : public PictureScrollView, public ToolSurface {
    Q_OBJECT
public:
    WindowEditingView(CTesselinkDoc& doc, const Backdrop& backdrop, PictureViewRole role, QWidget* parent = nullptr);

    // The tools whose active one receives this view's input; without them the view only shows.
    void SetToolManager(ToolManager* tools);
    // Keys offered before the tool sees them while no gesture runs (the video transport: Space,
    // comma, period); true takes the key.
    void SetTransportKeyHandler(std::function<bool(const QKeyEvent&)> handler) { transportKeys_ = std::move(handler); }

    // ToolSurface
    PictureViewRole Role() const override { return PictureScrollView::Role(); }
    ViewRect PictureRect() const override { return PictureScrollView::PictureRect(); }
    const std::vector<ViewRect>& DisplayRects() const override { return PictureScrollView::DisplayRects(); }
    PictureAxis Across() const override;
    PictureAxis Down() const override;
    float ZoomFactor() const override { return Zoom(); }
    RectTracker& Frame() override { return frame_; }
    void FrameChanged() override { KeepTrackedFrame(); }
    bool PlaceFrameOn(int index) override { return SnapFrameTo(index); }
    void SetGestureActive(bool active) override { PictureScrollView::SetGestureActive(active); }
    void ShowStatus(const QString& text) override { SetStatus(text); }
    void ShowGuides(const std::vector<SnapGuide>& guides) override;
    const std::vector<SnapGuide>& Guides() const { return guides_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // While a gesture runs every key comes to the view (Escape cancels), none goes to a
    // shortcut: an undo in the middle of a drag would pull the window from under it.
    bool event(QEvent* event) override;
    // The grid when shown, and the lines a dragged edge snapped to.
    void DrawToolOverlay(QPainter& painter) override;

private:
    // While a gesture runs with the mouse near or past the viewport's edge, the view scrolls
    // that way and the gesture follows.
    void FollowEdge(const ToolPoint& at);
    void AutoScroll();

    Tool* ActiveTool() const { return tools_ != nullptr ? tools_->ActiveTool() : nullptr; }

    ToolManager* tools_ = nullptr;
    std::function<bool(const QKeyEvent&)> transportKeys_;
    std::vector<SnapGuide> guides_;
    QTimer* autoScroll_ = nullptr;
    ToolPoint lastPoint_;
};

}  // namespace tesselink
