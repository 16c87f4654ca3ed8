// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Target view: the target picture the map builds from the background picture, zoomed and
// centred, with corner labels, a title, every window's place outlined and the cover preview.

#include <vector>

#include <QImage>

#include "map/map_model.h"
#include "picture/plane_scale.h"
#include "remap/cover.h"
#include "stage/target_composer.h"
#include "views/cover_frames.h"
#include "views/window_editing_view.h"

class QPainter;

namespace tesselink {

class CRightView : public WindowEditingView {
    Q_OBJECT
public:
    CRightView(CTesselinkDoc& doc, const Backdrop& backdrop, QWidget* parent = nullptr);

    // Once at start-up: extent 500 x 1000, scrolled to (0, 0).
    void OnInitialUpdate();

    // No cover, covered in the same direction or in the other: as the map's cover option says.
    tesselink::CoverMode CoverMode() const;
    // The outlines of the cover tiles in the visible part, as the next paint draws them.
    const std::vector<CoverFrame>& CoverFrames() const { return coverFrames_; }
    // Whether the cabling order is drawn: a line through the places' centres in list order.
    void SetCablingShown(bool shown);
    bool CablingShown() const { return cablingShown_; }

protected:
    void PaintView(QImage& buffer) override;
    QSize PictureSize() const override;
    int ExtentMarginHeight() const override { return TargetExtentMarginHeight; }
    WindowSide Side() const override { return WindowSide::Target; }
    void RelayoutContent() override;
    QString IdleStatus() const override;

private:
    void PaintPlaceholder(QPainter& painter, const ViewRect& visible);
    void DrawTargetPicture(QPainter& painter, QImage& buffer, const ViewRect& visible, const ColourPlanes& planes);
    // The composer's target pixels of `area` into visiblePlanes_.
    void ComposeTargetArea(const ColourPlanes& planes, const ViewRect& area);
    void DrawTargetLabels(QPainter& painter);
    void DrawWindowFrames(QImage& buffer);
    void DrawCablingOrder(QPainter& painter);

    // Prepared by the relayout.
    std::vector<CoverFrame> coverFrames_;
    TargetComposer composer_;  // prepared for the map and the cover as drawn
    bool cablingShown_ = false;

    // Memory kept between paints.
    QImage targetPicture_;  // the target picture at zooms below one half; only the part used is current
    tesselink::TargetPlanes visiblePlanes_;
    QImage scaledPart_;
    PlaneScaler halfStepScaler_;
};

}  // namespace tesselink
