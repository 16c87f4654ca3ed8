// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A rectangle as the views keep it: the engine's pixel rectangle, possibly inverted after a drag.

#include "remap/pixel_rect.h"

namespace tesselink {

using ViewRect = PixelRect;

// Where a selection frame goes when nothing is selected; such a frame is neither drawn nor labelled.
constexpr ViewRect HiddenFrameRect{-200, -200, 0, 0};
inline bool IsHiddenFrame(const ViewRect& r) { return r.left == -200 && r.top == -200; }

}  // namespace tesselink
