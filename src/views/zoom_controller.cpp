// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/zoom_controller.h"

#include "views/picture_scroll_view.h"

namespace tesselink {

ZoomController::ZoomController(PictureScrollView& original, PictureScrollView& target, QObject* parent)
    : QObject(parent), original_(original), target_(target) {}

void ZoomController::SetArea(ZoomArea area) {
    if (area == area_) return;
    area_ = area;
    emit areaChanged(area);
}

// The Target view first when zooming in, the Original view first when zooming out.
void ZoomController::Magnification() {
    if (ActsOnTarget()) target_.ZoomObject().StepBy(+1);
    if (ActsOnOriginal()) original_.ZoomObject().StepBy(+1);
}

void ZoomController::minify() {
    if (ActsOnOriginal()) original_.ZoomObject().StepBy(-1);
    if (ActsOnTarget()) target_.ZoomObject().StepBy(-1);
}

void ZoomController::ZoomIn() {
    if (ActsOnTarget()) target_.ZoomObject().StepFine(+1);
    if (ActsOnOriginal()) original_.ZoomObject().StepFine(+1);
}

void ZoomController::ZoomOut() {
    if (ActsOnOriginal()) original_.ZoomObject().StepFine(-1);
    if (ActsOnTarget()) target_.ZoomObject().StepFine(-1);
}

void ZoomController::Fit() {
    if (ActsOnOriginal()) original_.ZoomToFit();
    if (ActsOnTarget()) target_.ZoomToFit();
}

void ZoomController::ResetBoth() {
    original_.ZoomObject().SetFactor(1.0f);
    target_.ZoomObject().SetFactor(1.0f);
}

}  // namespace tesselink
