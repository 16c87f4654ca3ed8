// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map a headless mode shows, checked as --render checks it, with the same reasons.

#include <string>

#include "map/map_model.h"

namespace tesselink {

// Reads the map at `path` into `map`. Empty when it can be rendered, else the line to print
// ("cannot load map PATH: ...", "cannot render PATH: ...").
std::string LoadMapToRender(const std::string& path, Map& map);

}  // namespace tesselink
