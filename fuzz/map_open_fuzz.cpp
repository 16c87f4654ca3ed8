// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes through the whole map-open path: a file on disk read by ReadMapFile.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "map/map_file.h"

using namespace tesselink;

namespace {

// One scratch file per process, rewritten for every input.
const std::string& ScratchPath() {
    static const std::string path = [] {
        // In memory where there is a tmpfs for it: the disk would be most of the time per input.
        char shm[] = "/dev/shm/tesselink-map-open-fuzz-XXXXXX";
        char tmp[] = "/tmp/tesselink-map-open-fuzz-XXXXXX";
        int fd = mkstemp(shm);
        const char* name = shm;
        if (fd < 0) {
            fd = mkstemp(tmp);
            name = tmp;
        }
        if (fd < 0) std::abort();
        close(fd);
        return std::string(name);
    }();
    static const int removeAtExit = std::atexit([] { unlink(ScratchPath().c_str()); });
    (void)removeAtExit;
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();

    Map map;
    map.Head.TargetWidth = 777;
    map.Windows.push_back(MakeWindow(1, 2, 3, 4, 5, 6, 1));
    const MapLoadResult result = ReadMapFile(map, path);
    if (!result.ReadError.empty()) std::abort();  // a regular file that exists is always read
    if (!result.Accepted) {
        // Refused: the list emptied, the rest of the head as it was.
        if (!map.Windows.empty() || map.Head.WindowCount != 0 || map.Head.TargetWidth != 777) std::abort();
    }
    // Reading no further than a map can reach decides exactly as parsing every byte does.
    Map parsed;
    parsed.Head.TargetWidth = 777;
    parsed.Windows.push_back(MakeWindow(1, 2, 3, 4, 5, 6, 1));
    const MapLoadResult direct = ParseMapImage(parsed, data, static_cast<long long>(size));
    if (!direct.Accepted) {
        parsed.ClearWindows();
        parsed.Head.WindowCount = 0;
    }
    if (direct.Accepted != result.Accepted || parsed.Head != map.Head || parsed.Windows != map.Windows) std::abort();
    if (direct.Message != result.Message) std::abort();
    return 0;
}
