#pragma once
// The Target view: the target picture the map builds from the background picture, zoomed and
// centred, with corner labels, a title, every window's place outlined and the cover preview.

#include <vector>

#include <QImage>

class QPainter;

#include "document/tesselink_doc.h"
#include "document/view_panes.h"
#include "map/map_model.h"
#include "map/message_boxes.h"
#include "picture/plane_scale.h"
#include "remap/cover.h"
#include "views/window_editing_view.h"
#include "views/view_geometry.h"

namespace tesselink {

class CRightView : public WindowEditingView, public TargetViewPane {
    Q_OBJECT
public:
    // Registers itself with `doc` as its Target view and follows the document's changes.
    // Refused edits are reported through `boxes`.
    CRightView(CTesselinkDoc& doc, MessageBoxes& boxes, QWidget* parent = nullptr);
    // A view that reports no refusals (edits that leave the picture are not stored either way).
    explicit CRightView(CTesselinkDoc& doc, QWidget* parent = nullptr);
    ~CRightView() override;

    // Once at start-up: extent 500 x 1000, scrolled to (0, 0).
    void OnInitialUpdate();

    // No cover, covered in the same direction or in the other: as the map's cover option says.
    tesselink::CoverMode CoverMode() const;
    const PlaybackWindows& CoverWindows() const { return coverWindows_; }
    const std::vector<ViewRect>& DisplayRects() const { return displayRects_; }
    const std::vector<ViewRect>& CoverDisplayRects() const { return coverDisplayRects_; }
    ViewRect PictureRect() const { return pictureRect_; }
    int PictureOffsetX() const { return layout_.OffsetX; }
    int PictureOffsetY() const { return layout_.OffsetY; }

protected:
    void PaintView(QImage& buffer) override;
    void PressAt(int x, int y) override;
    void ShowHoverCursor(int x, int y) override;
    bool WindowForTrackedFrame(PlaybackWindow& window) override;
    void FinishGesture() override;
    // Moves the selected window's target place by (dx, dy) target pixels.
    void NudgeSelected(int dx, int dy) override;
    QSize PictureSize() const override;
    int ExtentMarginHeight() const override { return TargetExtentMarginHeight; }

private:
    // The window with its target start taken from the tracked frame.
    PlaybackWindow ProposedWindow() const;
    void PaintPlaceholder(QPainter& painter, const ViewRect& visible);
    void DrawTargetPicture(QPainter& painter, QImage& buffer, const ViewRect& visible, const ColourPlanes& planes,
                           const PlaybackWindows& windows);
    // Builds the target pixels of `area` into visiblePlanes_: the cover block's when a cover is
    // drawn, else those of `windows`.
    void RemapTargetArea(const ColourPlanes& planes, const PlaybackWindows& windows, const ViewRect& area);
    void DrawTargetLabels(QPainter& painter);
    void DrawWindowFrames(QImage& buffer, const std::vector<ViewRect>& rects, std::size_t count);
    void ComputeLayout(int clientWidth, int clientHeight) override;
    float Zoom() const override { return doc_.TargetZoom; }
    int SelectedWindow() const override { return doc_.SelectedTargetWindow(); }

    PlaybackWindows coverWindows_;
    std::vector<ViewRect> coverDisplayRects_;
    // The cover picture is the block repeated; it needs no list, so covers too large to list
    // (and outline) are still drawn. Set during a paint that draws a cover.
    CoverBlock coverBlock_;
    const CoverBlock* cover_ = nullptr;
    QImage targetPicture_;  // the target picture at zooms that are not whole numbers; only the part used is current
    // Only the target pixels on screen are built at whole-number zooms; memory kept between paints.
    PlaybackWindows clippedWindows_;
    tesselink::TargetPlanes visiblePlanes_;
    QImage scaledPart_;  // the visible part of the scaled target picture, memory kept between paints
    PlaneScaler halfStepScaler_;  // scales the visible planes at the other zooms; its maps kept between paints
};

}  // namespace tesselink
