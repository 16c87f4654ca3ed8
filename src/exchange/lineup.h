// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lineup pictures: what an installer holds against a wall to see each panel's window and which
// way is up.

#include <cstdint>
#include <string>

#include <QImage>
#include <QPointF>

#include "map/map_model.h"
#include "remap/cover.h"

namespace tesselink {

// The fill colour of window `index` in a lineup (0xRRGGBB): hues a golden angle apart, so
// windows next to each other in the list differ clearly.
std::uint32_t LineupColour(int index);

// The original lineup, of the original size (Format_RGB32): a dark neutral background with a
// grid line every 10 pixels; each window's original rectangle, in list order, filled with its
// colour and bordered by one light pixel, its number (1-based) large and centred, "W x H" below
// it and below that its row and column ("row 2, col 5") when the windows' places show it belongs
// to an array, or else its target place ("1680,945"), and an "F" with an arrow pointing up in
// its top-left quarter. Text that does not fit a small window is left out. Needs a QGuiApplication for the font. Null,
// with the reason in `why`, for a size of 0 or an area too large to show.
QImage OriginalLineup(const Map& map, std::string* why = nullptr);

// The original lineup carried through the map as --render carries a picture, with `coverMode`
// (none, the same direction or the other). Null, with the reason in `why`, when it cannot be built.
QImage TargetLineup(const Map& map, CoverMode coverMode, std::string* why = nullptr);

// The same with the cabling order drawn over it when `cabling` is true: a line through the
// windows' centres (original rectangles, or target places) in list order, an arrow on each
// step, the first window ringed (exchange/cabling_path.h).
QImage OriginalLineup(const Map& map, bool cabling, std::string* why);
QImage TargetLineup(const Map& map, CoverMode coverMode, bool cabling, std::string* why);

// The centre of a rectangle, in the pixel grid the lines are drawn on.
inline QPointF WindowCentre(int x, int y, int width, int height) { return QPointF(x + width / 2, y + height / 2); }

}  // namespace tesselink
