// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture view without a widget, for driving tools: the picture at a fixed client place and
// zoom, laid out afresh from the document whenever a tool asks, the frame placed as the real
// views place it.

#include <QObject>
#include <QString>

#include "tools/tool.h"
#include "tools/tool_surface.h"

namespace tesselink::testing {

class FakeSurface : public ToolSurface {
public:
    // The picture's top-left corner in client coordinates.
    static constexpr int Left = 30;
    static constexpr int Top = 50;

    FakeSurface(CTesselinkDoc& doc, PictureViewRole role, float zoom = 1.0f) : doc_(doc), role_(role), zoom_(zoom) {
        // As the views do: outside a gesture the frame lies on the current window.
        follow_ = QObject::connect(&doc, &CTesselinkDoc::selectionChanged, [this] { FrameOnCurrent(); });
        followMap_ = QObject::connect(&doc, &CTesselinkDoc::changed, [this] {
            if (!gestureActive_) FrameOnCurrent();
        });
        FrameOnCurrent();
    }
    ~FakeSurface() override {
        QObject::disconnect(follow_);
        QObject::disconnect(followMap_);
    }
    FakeSurface(const FakeSurface&) = delete;
    FakeSurface& operator=(const FakeSurface&) = delete;

    PictureViewRole Role() const override { return role_; }
    ViewRect PictureRect() const override { return PictureToClient(0, 0, Width(), Height(), zoom_, Left, Top, 0, 0); }
    const std::vector<ViewRect>& DisplayRects() const override {
        rects_.clear();
        ComputeDisplayRects(doc_.GetPlaybackWindows(), Original() ? WindowSide::Original : WindowSide::Target, Width(),
                            Height(), zoom_, Left, Top, 0, 0, rects_);
        return rects_;
    }
    PictureAxis Across() const override { return PictureAxis{Left, 0, zoom_, Width()}; }
    PictureAxis Down() const override { return PictureAxis{Top, 0, zoom_, Height()}; }
    float ZoomFactor() const override { return zoom_; }
    RectTracker& Frame() override { return frame_; }
    void FrameChanged() override {}
    bool PlaceFrameOn(int index) override {
        const std::vector<ViewRect>& rects = DisplayRects();
        if (index < 0 || index >= static_cast<int>(rects.size())) return false;
        frame_.Rect = rects[static_cast<std::size_t>(index)].Normalized();
        return true;
    }
    void SetGestureActive(bool active) override {
        gestureActive_ = active;
        if (!active) FrameOnCurrent();
    }
    void ShowGuides(const std::vector<SnapGuide>&) override {}
    void ShowStatus(const QString& text) override { Status = text; }

    // The client point of picture point (x, y), and the client rectangle of a window there.
    ToolPoint At(int x, int y, Qt::KeyboardModifiers modifiers = {}) const {
        const ViewRect r = PictureToClient(x, y, 0, 0, zoom_, Left, Top, 0, 0);
        return ToolPoint{r.left, r.top, modifiers};
    }

    // Press, move there in `steps` even steps with the button held, release.
    void Drag(Tool& tool, ToolPoint from, ToolPoint to, int steps = 4) {
        tool.Press(*this, from);
        for (int s = 1; s <= steps; ++s)
            tool.Move(*this, ToolPoint{from.X + (to.X - from.X) * s / steps, from.Y + (to.Y - from.Y) * s / steps,
                                       from.Modifiers});
        tool.Release(*this, to);
    }
    void Click(Tool& tool, ToolPoint at) {
        tool.Press(*this, at);
        tool.Release(*this, at);
    }

    QString Status;

private:
    void FrameOnCurrent() {
        const int current = Original() ? doc_.SelectedOriginalWindow() : doc_.SelectedTargetWindow();
        if (!PlaceFrameOn(current)) frame_.Rect = HiddenFrameRect;
    }
    bool Original() const { return role_ == PictureViewRole::Original; }
    int Width() const { return Original() ? doc_.GetHead().OriginalWidth : doc_.GetHead().TargetWidth; }
    int Height() const { return Original() ? doc_.GetHead().OriginalHeight : doc_.GetHead().TargetHeight; }

    CTesselinkDoc& doc_;
    PictureViewRole role_;
    float zoom_;
    RectTracker frame_;
    bool gestureActive_ = false;
    mutable std::vector<ViewRect> rects_;
    QMetaObject::Connection follow_;
    QMetaObject::Connection followMap_;
};

}  // namespace tesselink::testing
