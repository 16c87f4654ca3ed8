// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the benchmarks' 64-window map (bench_maps.h) as a map file, and the FFmpeg filter graph
// that draws the same target from a video (crop, transpose, flips, overlay on a colour source),
// for timing the two side by side: video_bench_map MAP GRAPH [FRAME_RATE [COPY_MAP]]. COPY_MAP, if
// given, gets a map of one window copying the whole picture: the render without a map's cost.
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_maps.h"
#include "map/map_file.h"

int main(int argc, char** argv) {
    using namespace tesselink;
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s MAP GRAPH [FRAME_RATE [COPY_MAP]]\n", argv[0]);
        return 2;
    }
    const std::string rate = argc > 3 ? argv[3] : "30";
    Map map;
    map.Windows = bench::Windows64();
    map.Head.WindowCount = static_cast<std::uint8_t>(map.Windows.size());
    map.Head.CoverOption = 0;
    map.Head.OriginalWidth = map.Head.TargetWidth = bench::MapWidth;
    map.Head.OriginalHeight = map.Head.TargetHeight = bench::MapHeight;
    const MapWriteResult written = WriteMapFile(map, argv[1]);
    if (!written) {
        std::fprintf(stderr, "%s\n", written.Error.c_str());
        return 1;
    }

    // The turns and mirrors of the map modes 1 to 5, as FFmpeg filters.
    const char* const turns[] = {"", ",transpose=clock", ",transpose=cclock", ",vflip", ",hflip", ",hflip,vflip"};
    const std::size_t n = map.Windows.size();
    std::string graph = "color=c=0xACACAC:s=" + std::to_string(bench::MapWidth) + "x" +
                        std::to_string(bench::MapHeight) + ":r=" + rate + "[o0];\n[0:v]split=" + std::to_string(n);
    for (std::size_t i = 0; i < n; ++i) graph += "[s" + std::to_string(i) + "]";
    graph += ";\n";
    for (std::size_t i = 0; i < n; ++i) {
        const PlaybackWindow& w = map.Windows[i];
        const std::string s = std::to_string(i);
        graph += "[s" + s + "]crop=" + std::to_string(w.Width) + ":" + std::to_string(w.Height) + ":" +
                 std::to_string(w.OriginalStartX) + ":" + std::to_string(w.OriginalStartY) + ":exact=1" +
                 turns[w.MapMode] + "[w" + s + "];\n";
        const std::string next = i + 1 == n ? std::string("out") : "o" + std::to_string(i + 1);
        graph += "[o" + s + "][w" + s + "]overlay=" + std::to_string(w.TargetStartX) + ":" +
                 std::to_string(w.TargetStartY) + ":shortest=1[" + next + "];\n";
    }
    graph.erase(graph.size() - 2);  // no empty filter after the last
    if (argc > 4) {
        Map copy = map;
        copy.Windows = {MakeWindow(0, 0, bench::MapWidth, bench::MapHeight, 0, 0, 0)};
        copy.Head.WindowCount = 1;
        const MapWriteResult copied = WriteMapFile(copy, argv[4]);
        if (!copied) {
            std::fprintf(stderr, "%s\n", copied.Error.c_str());
            return 1;
        }
    }
    std::ofstream out(argv[2]);
    out << graph << '\n';
    if (!out.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
