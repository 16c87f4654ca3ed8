// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The zoom commands of the main window, acting on the zoom objects of the two picture views
// that the zoom area names.

#include <QObject>

#include "views/view_zoom.h"
#include "views/zoom_area.h"

namespace tesselink {

class ZoomController : public QObject {
    Q_OBJECT
public:
    // The zooms belong to the views and outlive this object.
    ZoomController(ViewZoom& original, ViewZoom& target, QObject* parent = nullptr);

    ZoomArea Area() const { return area_; }
    void SetArea(ZoomArea area);

    // One step of half in (Magnification) or out (minify) for each named view; a view at its
    // limit stays.
    void Magnification();
    void minify();
    // Both views back to 1.0, the Original view first.
    void ResetBoth();

signals:
    void areaChanged(tesselink::ZoomArea area);

private:
    bool ActsOnOriginal() const { return area_ != ZoomArea::Target; }
    bool ActsOnTarget() const { return area_ != ZoomArea::Original; }

    ViewZoom& original_;
    ViewZoom& target_;
    ZoomArea area_ = ZoomArea::All;
};

}  // namespace tesselink
