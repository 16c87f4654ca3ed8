// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Map heads of given picture sizes for tests of the engine.

#include <cstdint>

#include "map/map_model.h"

namespace tesselink::testing {

inline MapFileHead Head(int originalWidth, int originalHeight, int targetWidth, int targetHeight) {
    MapFileHead head;
    head.OriginalWidth = static_cast<std::uint16_t>(originalWidth);
    head.OriginalHeight = static_cast<std::uint16_t>(originalHeight);
    head.TargetWidth = static_cast<std::uint16_t>(targetWidth);
    head.TargetHeight = static_cast<std::uint16_t>(targetHeight);
    return head;
}

}  // namespace tesselink::testing
