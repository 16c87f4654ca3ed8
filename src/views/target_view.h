#pragma once
// The Target view: the target picture the map builds from the background picture, zoomed and
// centred, with corner labels, a title, every window's place outlined and the cover preview.

#include <vector>

#include <QImage>

class QPainter;

#include "document/tesselink_doc.h"
#include "document/view_panes.h"
#include "map/map_model.h"
#include "picture/plane_scale.h"
#include "views/picture_scroll_view.h"
#include "views/view_geometry.h"

namespace tesselink {

class CRightView : public PictureScrollView, public TargetViewPane {
    Q_OBJECT
public:
    // Attaches itself to `doc` as its last view.
    explicit CRightView(CTesselinkDoc& doc, QWidget* parent = nullptr);
    ~CRightView() override;

    // Once at start-up: extent 500 x 1000, scrolled to (0, 0).
    void OnInitialUpdate();

    // TargetViewPane
    void ApplyZoom(float zoom) override;
    void SetZoomChanged(int flag) override { zoomChanged_ = flag; }
    void Repaint() override;
    void ClearSelectionFrame() override;
    void ShowWindowFrame(int index) override { FrameWindow(index); }
    void UpdateSelectionPictureRect(int index) override { StoreSelectionPictureRect(index, doc_.TargetZoom); }
    void SetCoverMode(int mode) override { coverMode_ = mode; }

    int CoverMode() const { return coverMode_; }
    const PlaybackWindows& CoverWindows() const { return coverWindows_; }
    const std::vector<ViewRect>& DisplayRects() const { return displayRects_; }
    const std::vector<ViewRect>& CoverDisplayRects() const { return coverDisplayRects_; }
    ViewRect PictureRect() const { return pictureRect_; }
    int PictureOffsetX() const { return layout_.OffsetX; }
    int PictureOffsetY() const { return layout_.OffsetY; }

protected:
    void PaintView(QImage& buffer) override;

private:
    void PaintPlaceholder(QPainter& painter, const ViewRect& visible);
    void DrawTargetPicture(QPainter& painter, QImage& buffer, const ViewRect& visible, const PlaybackWindows& windows);
    void DrawTargetLabels(QPainter& painter);
    void DrawWindowFrames(QPainter& painter, const std::vector<ViewRect>& rects, std::size_t count);
    void EnsureDisplayRect(int index) override;

    CTesselinkDoc& doc_;
    int coverMode_ = -1;
    PlaybackWindows coverWindows_;
    PictureLayout layout_;
    std::vector<ViewRect> coverDisplayRects_;
    QImage targetPicture_;  // the target picture at zooms that are not whole numbers; only the part used is current
    // Only the target pixels on screen are built at whole-number zooms; memory kept between paints.
    PlaybackWindows clippedWindows_;
    tesselink::TargetPlanes visiblePlanes_;
    QImage scaledPart_;  // the visible part of the scaled target picture, memory kept between paints
    PlaneScaler halfStepScaler_;  // scales the visible planes at the other zooms; its maps kept between paints
};

}  // namespace tesselink
