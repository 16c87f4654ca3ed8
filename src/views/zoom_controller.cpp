// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/zoom_controller.h"

namespace tesselink {

ZoomController::ZoomController(ViewZoom& original, ViewZoom& target, QObject* parent)
    : QObject(parent), original_(original), target_(target) {}

void ZoomController::SetArea(ZoomArea area) {
    if (area == area_) return;
    area_ = area;
    emit areaChanged(area);
}

// The Target view first when zooming in, the Original view first when zooming out.
void ZoomController::Magnification() {
    if (ActsOnTarget()) target_.StepBy(+1);
    if (ActsOnOriginal()) original_.StepBy(+1);
}

void ZoomController::minify() {
    if (ActsOnOriginal()) original_.StepBy(-1);
    if (ActsOnTarget()) target_.StepBy(-1);
}

void ZoomController::ResetBoth() {
    original_.SetFactor(1.0f);
    target_.SetFactor(1.0f);
}

}  // namespace tesselink
