// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the editor panel's window list: headings and one row per window.

#include <QString>

#include <array>

#include "map/map_model.h"

namespace tesselink {

constexpr int WindowListColumnCount = 5;

struct WindowListColumn {
    const char* Heading;
    int Width;  // pixels
};

const std::array<WindowListColumn, WindowListColumnCount>& WindowListColumns();

// "No" (index + 1), the mode's text ("Mode N" for an unknown mode N), "(x,y)" of the original
// start, "(w,h)" of the size, "(x,y)" of the target start.
std::array<QString, WindowListColumnCount> WindowRowTexts(int index, const PlaybackWindow& window);

}  // namespace tesselink
