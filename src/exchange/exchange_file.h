// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files in the exchange formats on disk: told by their extension, read whole, loaded as maps.

#include <string>
#include <vector>

#include <QByteArray>

#include "map/map_model.h"

namespace tesselink {

enum class ExchangeFormat { Unknown, Map, Json, Csv, Ffmpeg };

// By the extension, in any letter case: .map, .json, .csv, .ffmpeg.
ExchangeFormat FormatOfPath(const std::string& path);

// Largest JSON or CSV file read: 255 windows take a few tens of kilobytes.
constexpr long long MaxExchangeFileBytes = 4 * 1024 * 1024;

// Reads the whole regular file at `path`; false with the reason (no such file, is a folder, not
// a regular file, too large, the file is empty) in `why`.
bool ReadExchangeFile(const std::string& path, QByteArray& data, std::string& why);

// Loads the map at `path` into `map`: JSON for a .json file, the binary map file otherwise.
// False with one line a problem in `problems`, each naming the file and the line or element.
// A window of no area is refused from either (EmptyWindows::Refused), as the exchange readers do.
bool LoadMapOrJson(const std::string& path, Map& map, std::vector<std::string>& problems);

// The map a command reads: as LoadMapOrJson, and a .csv file as its window table under the head
// and cover option of `headPath` (a .map or .json), which a .csv needs and the others must not
// have. A usage mistake there (no head for a .csv, a head for anything else) is one problem and
// sets `usageMistake`.
bool LoadMapInput(const std::string& path, const std::string& headPath, Map& map, std::vector<std::string>& problems,
                  bool* usageMistake = nullptr);

}  // namespace tesselink
