// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The zoom commands of the main window, acting on the zoom of the two picture views that the
// zoom area names.

#include <QObject>

#include "views/zoom_area.h"

namespace tesselink {

class PictureScrollView;

class ZoomController : public QObject {
    Q_OBJECT
public:
    // The views outlive this object.
    ZoomController(PictureScrollView& original, PictureScrollView& target, QObject* parent = nullptr);

    ZoomArea Area() const { return area_; }
    void SetArea(ZoomArea area);

    // One step of a half in (Magnification) or out (minify) for each named view; a view at its
    // limit stays.
    void Magnification();
    void minify();
    // One step of the fine ladder in or out for each named view.
    void ZoomIn();
    void ZoomOut();
    // Each named view at the largest zoom that shows its whole picture.
    void Fit();
    // Both views back to 1.0, the Original view first.
    void ResetBoth();

signals:
    void areaChanged(tesselink::ZoomArea area);

private:
    bool ActsOnOriginal() const { return area_ != ZoomArea::Target; }
    bool ActsOnTarget() const { return area_ != ZoomArea::Original; }

    PictureScrollView& original_;
    PictureScrollView& target_;
    ZoomArea area_ = ZoomArea::All;
};

}  // namespace tesselink
