// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a map of N windows (argv[2]) to argv[1]; exit 0 when written, 1 when refused. Starts as
// the program does, with a file-size limit turned into a failing write.
#include <cstdio>
#include <cstdlib>

#include "map/map_file.h"

int main(int argc, char** argv) {
    tesselink::IgnoreFileSizeSignal();
    if (argc < 3) return 2;
    tesselink::Map map;
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) map.Windows.push_back(tesselink::MakeWindow(i % 600, 0, 1, 1, 0, i % 400, 0));
    map.Head.WindowCount = static_cast<std::uint8_t>(count);
    const tesselink::MapWriteResult r = tesselink::WriteMapFile(map, argv[1]);
    if (!r) std::fprintf(stderr, "%s\n", r.Error.c_str());
    return r ? 0 : 1;
}
