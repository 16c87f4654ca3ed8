// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every exchange reader must hold to, whatever it is given: a refusal leaves the map as it
// was and says why in a bounded line without control bytes; an accepted map has at most 255
// windows that all fit and have an area, and reads back the same through JSON, CSV and .map.

#include <cstdlib>
#include <vector>

#include "exchange/map_json.h"
#include "exchange/window_csv.h"
#include "map/map_image.h"

namespace tesselink::fuzz {

// A map no reader makes, to tell whether a refusal touched it.
inline Map Sentinel() {
    Map map;
    map.Head.TargetWidth = 777;
    map.Head.CoverOption = 0x55;
    map.Windows.push_back(MakeWindow(1, 2, 3, 4, 5, 6, 1));
    map.Windows.back().Reserved = 9;
    map.Head.WindowCount = 1;
    return map;
}

inline bool Same(const Map& a, const Map& b) { return a.Head == b.Head && a.Windows == b.Windows; }

inline void Check(bool ok) {
    if (!ok) std::abort();
}

inline void CheckRefusal(const ExchangeRead& read, const Map& map) {
    Check(!read.Problems.empty());
    Check(Same(map, Sentinel()));
    for (const ExchangeProblem& p : read.Problems) {
        Check(!p.Reason.empty());
        // A value from the file is shown escaped and cut: no terminal control, no endless line.
        const std::string line = DescribeProblem("f", p);
        Check(line.size() < 600);
        for (unsigned char c : line) Check(c >= 0x20 && c != 0x7F);
    }
}

inline void CheckAccepted(const Map& map) {
    Check(map.Windows.size() <= MaxWindowCount);
    Check(map.Head.WindowCount == map.Windows.size());
    for (const PlaybackWindow& w : map.Windows) Check(CheckMapWindow(w, map.Head, EmptyWindows::Refused).Accepted);

    // JSON
    std::string why;
    const QByteArray json = WriteMapJson(map, &why);
    Check(!json.isEmpty());
    Map fromJson;
    Check(ReadMapJson(json, fromJson).Ok());
    Check(Same(fromJson, map));
    // CSV, under the map's own head
    const QByteArray csv = WriteWindowCsv(map, &why);
    Check(!csv.isEmpty());
    Map fromCsv;
    Check(ReadWindowCsv(csv, map.Head, fromCsv).Ok());
    Check(Same(fromCsv, map));
    // .map
    std::vector<std::uint8_t> image(static_cast<std::size_t>(BuildMapImage(map, nullptr, 0)));
    Check(BuildMapImage(map, image.data(), static_cast<int>(image.size())) == static_cast<int>(image.size()));
    Map fromImage;
    Check(ParseMapImage(fromImage, image.data(), static_cast<long long>(image.size())).Accepted);
    Check(Same(fromImage, map));
}

}  // namespace tesselink::fuzz
