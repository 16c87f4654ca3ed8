// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/snap_settings.h"

#include <algorithm>

namespace tesselink {

void SnapSettings::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    emit changed();
}

void SnapSettings::SetGridShown(bool shown) {
    if (shown == gridShown_) return;
    gridShown_ = shown;
    emit changed();
}

void SnapSettings::SetGridStep(int step) {
    step = std::clamp(step, 1, 2000);
    if (step == gridStep_) return;
    gridStep_ = step;
    emit changed();
}

}  // namespace tesselink
