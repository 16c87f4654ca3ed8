// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the map reader; whatever it accepts must write and read back the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "map/map_image.h"

using namespace tesselink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Map map;
    map.Windows.push_back(MakeWindow(1, 2, 3, 4, 5, 6, 1));  // the reader appends to what is there
    const Map before = map;
    const MapLoadResult result = ParseMapImage(map, data, static_cast<long long>(size));
    if (!result.Accepted) {
        if (map.Head != before.Head || map.Windows != before.Windows) std::abort();  // refusal changed the map
        return 0;
    }
    if (!result.Message.empty()) std::abort();  // accepted, yet something to complain about
    map.RemoveWindow(0);
    if (map.Windows.size() != map.Head.WindowCount) std::abort();
    for (const PlaybackWindow& w : map.Windows)
        if (!Fits(w, map.Head)) std::abort();

    std::vector<std::uint8_t> image(static_cast<std::size_t>(BuildMapImage(map, nullptr, 0)));
    if (BuildMapImage(map, image.data(), static_cast<int>(image.size())) != static_cast<int>(image.size()))
        std::abort();
    // The image repeats the input apart from the checksum and the reserved bytes, which are written as 0.
    if (image.size() > size) std::abort();
    for (std::size_t i = 0; i < image.size(); ++i) {
        const bool reserved = i >= 16 && (i - 16) % 14 == 13;
        if (i == 4 || i == 5) continue;
        if (image[i] != (reserved ? 0 : data[i])) std::abort();
    }

    Map back;
    if (!ParseMapImage(back, image.data(), static_cast<long long>(image.size()))) std::abort();
    if (back.Head != map.Head || back.Windows.size() != map.Windows.size()) std::abort();
    for (std::size_t i = 0; i < back.Windows.size(); ++i) {
        PlaybackWindow expected = map.Windows[i];
        expected.Reserved = 0;
        if (back.Windows[i] != expected) std::abort();
    }
    return 0;
}
