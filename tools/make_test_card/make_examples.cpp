// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the example maps of examples/ with the program's own map writer.
// Usage: make_examples FOLDER
#include <cstdio>
#include <string>

#include "map/map_file.h"

namespace {

using tesselink::MakeWindow;
using tesselink::Map;

bool Write(const Map& map, const std::string& folder, const char* name) {
    const auto result = tesselink::WriteMapFile(map, folder + "/" + name);
    if (!result) std::fprintf(stderr, "make_examples: %s\n", result.Error.c_str());
    return static_cast<bool>(result);
}

Map Finish(Map map, int targetWidth, int targetHeight, std::uint8_t coverOption = 0) {
    map.Head.TargetWidth = static_cast<std::uint16_t>(targetWidth);
    map.Head.TargetHeight = static_cast<std::uint16_t>(targetHeight);
    map.Head.CoverOption = coverOption;
    map.Head.WindowCount = static_cast<std::uint8_t>(map.Windows.size());
    return map;
}

// Four 240 x 240 panels from the middle of the picture on a 480 x 480 wall; the bottom-right
// panel is mounted a quarter turn clockwise.
Map Wall2x2() {
    Map map;
    map.Windows = {MakeWindow(80, 0, 240, 240, 0, 0, 0), MakeWindow(320, 0, 240, 240, 240, 0, 0),
                   MakeWindow(80, 240, 240, 240, 0, 240, 0), MakeWindow(320, 240, 240, 240, 240, 240, 1)};
    return Finish(map, 480, 480);
}

// One 640 x 144 strip (the card's rows C and D) shown three times: as it is, reversed left to
// right, upside down.
Map MirroredStrip() {
    Map map;
    map.Windows = {MakeWindow(0, 144, 640, 144, 0, 0, 0), MakeWindow(0, 144, 640, 144, 0, 144, 4),
                   MakeWindow(0, 144, 640, 144, 0, 288, 3)};
    return Finish(map, 640, 432);
}

// A 160 x 144 block of two windows (two by two cells; the right column turned half round),
// meant to be tiled over the whole 640 x 480 target with "Covered with full screen".
Map CoverBlock() {
    Map map;
    map.Windows = {MakeWindow(0, 0, 80, 144, 0, 0, 0), MakeWindow(80, 0, 80, 144, 80, 0, 5)};
    return Finish(map, 640, 480, tesselink::CoverFullScreen);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_examples FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool ok = Write(Wall2x2(), folder, "wall_2x2.map") && Write(MirroredStrip(), folder, "mirrored_strip.map") &&
                    Write(CoverBlock(), folder, "cover_block.map");
    return ok ? 0 : 1;
}
