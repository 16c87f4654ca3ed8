// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Original view: the background picture at the map's original size, zoomed and centred,
// with corner labels, a title and every window's original rectangle outlined.

#include <cstdint>
#include <string>

#include "map/message_boxes.h"
#include "views/scaled_picture.h"
#include "views/window_editing_view.h"

class QPainter;

namespace tesselink {

class Picture;

class CTesselinkView : public WindowEditingView {
    Q_OBJECT
public:
    // Follows `doc`; a picture that cannot be found is told through `boxes` when given.
    CTesselinkView(CTesselinkDoc& doc, const Backdrop& backdrop, MessageBoxes* boxes = nullptr,
                   QWidget* parent = nullptr);

    // Once, after the document and the views exist: sets the scroll extent to
    // (client width - 100, 1000).
    void OnInitialUpdate();

    int PlaneOriginX() const { return backdrop_.Background().Source().OriginX; }
    int PlaneOriginY() const { return backdrop_.Background().Source().OriginY; }

protected:
    void PaintView(QImage& buffer) override;
    QSize PictureSize() const override;
    int ExtentMarginHeight() const override { return OriginalExtentMarginHeight; }
    WindowSide Side() const override { return WindowSide::Original; }
    void RelayoutContent() override;
    QString IdleStatus() const override;

private:
    void ReportMissingPictureOnce();
    // Draws the picture on screen; returns the screen rectangle it covered.
    QRect DrawPicture(QPainter& painter, QImage& buffer, const Picture& picture, const ViewRect& source,
                      const ViewRect& visible);
    void DrawLabels(QPainter& painter);
    void DrawWindowFrames(QImage& buffer);

    MessageBoxes* boxes_ = nullptr;
    ScaledPicture scaled_;
    // The missing path already reported, so that relayouts do not raise the box again.
    std::string reportedMissingPath_;
};

}  // namespace tesselink
