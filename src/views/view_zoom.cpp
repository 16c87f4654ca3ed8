// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/view_zoom.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tesselink {
namespace {

constexpr std::array<float, 21> Ladder{1.0f / 64, 1.0f / 32, 1.0f / 16, 0.125f, 0.25f, 0.5f, 1.0f,
                                       1.5f,      2.0f,      2.5f,      3.0f,   3.5f,  4.0f, 4.5f,
                                       5.0f,      5.5f,      6.0f,      6.5f,   7.0f,  7.5f, 8.0f};

// A factor this close to a ladder value counts as on it.
constexpr float Margin = 0.00001f;

}  // namespace

bool ViewZoom::StepBy(int direction) {
    if (direction > 0) {
        // The described test for "below 8.0".
        if (factor_ - (Max - Step) >= Step) return false;
        const float below = std::floor(factor_ / Step + Margin) * Step;
        SetFactor(factor_ < Min ? Min : below + Step);
        return true;
    }
    if (direction < 0) {
        if (factor_ <= Min + Margin) return false;
        const float above = std::ceil(factor_ / Step - Margin) * Step;
        SetFactor(above - Step);
        return true;
    }
    return false;
}

bool ViewZoom::StepFine(int direction) {
    if (direction > 0) {
        const auto next = std::find_if(Ladder.begin(), Ladder.end(), [this](float f) { return f > factor_ + Margin; });
        if (next == Ladder.end()) return false;
        SetFactor(*next);
        return true;
    }
    if (direction < 0) {
        const auto next =
            std::find_if(Ladder.rbegin(), Ladder.rend(), [this](float f) { return f < factor_ - Margin; });
        if (next == Ladder.rend()) return false;
        SetFactor(*next);
        return true;
    }
    return false;
}

void ViewZoom::SetFactor(float factor) {
    if (!(factor == factor)) return;  // NaN
    factor = std::clamp(factor, FineMin, Max);
    if (factor == factor_) return;
    factor_ = factor;
    emit changed(factor_);
}

}  // namespace tesselink
