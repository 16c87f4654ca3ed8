// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/view_zoom.h"

#include <algorithm>
#include <cmath>

namespace tesselink {

bool ViewZoom::StepBy(int direction) {
    // Compared with a margin: the factors are sums of halves, exact in binary anyway.
    if (direction > 0 && factor_ - (Max - Step) >= Step) return false;
    if (direction < 0 && std::fabs(factor_ - Min) <= 0.00001f) return false;
    if (direction == 0) return false;
    SetFactor(factor_ + (direction > 0 ? Step : -Step));
    return true;
}

void ViewZoom::SetFactor(float factor) {
    factor = std::round(std::clamp(factor, Min, Max) / Step) * Step;
    if (factor == factor_) return;
    factor_ = factor;
    emit changed(factor_);
}

}  // namespace tesselink
