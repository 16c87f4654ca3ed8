// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A whole map as JSON:
// {"original": {"width": W, "height": H}, "target": {"width": W, "height": H},
//  "cover": {"full-screen": bool, "direction": "same" | "different"},
//  "windows": [{"original": [x, y, width, height], "target": [x, y], "mode": NAME}, ...]}

#include <string>

#include <QByteArray>

#include "exchange/exchange_problem.h"
#include "map/map_model.h"

namespace tesselink {

// The JSON name of map mode 0-5 ("copy", "clockwise", "anticlockwise", "vertical-mirror",
// "level-mirror", "half-turn"); nullptr for other values.
const char* MapModeJsonName(int mode);

// The map as JSON text, one window a line. Empty, with the reason in `why`, for a map the
// format cannot hold (a mode without a name, more than 255 windows). Cover bits other than
// full screen and the direction carry no meaning and are not written.
QByteArray WriteMapJson(const Map& map, std::string* why = nullptr);

// Reads `json` into `map` (replaced whole) or leaves `map` alone and names the first problem:
// the line of a syntax error, or the element that is missing, of the wrong kind or out of range.
// Every window passes the check a map file's windows pass on reading (head sizes above 2000
// with windows, the four fit tests) and has an area, and at most 255 windows are taken; "cover"
// may be left out (no cover, same direction). A member given twice in one object, and text in
// UTF-16 or UTF-32, are refused.
ExchangeRead ReadMapJson(const QByteArray& json, Map& map);

}  // namespace tesselink
