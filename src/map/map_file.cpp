// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/map_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace tesselink {
namespace {

MapWriteResult WriteFailed(std::string why) {
    MapWriteResult r;
    r.Error = std::move(why);
    return r;
}

// Opens `path` for reading if it is a regular file: the descriptor, or -1 with the reason in
// `why`. Non-blocking, so that a FIFO or a terminal cannot stall the open; checked before a byte
// is read, so that a device cannot feed bytes without end.
int OpenRegularFile(const std::string& path, struct stat& info, std::string& why) {
    if (path.empty()) {
        why = "no file name was given";
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = SystemErrorText(errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = S_ISDIR(info.st_mode) ? "is a folder" : "is not a regular file";
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::string MapFileReadProblem(const std::string& path) {
    struct stat info {};
    std::string why;
    const int fd = OpenRegularFile(path, info, why);
    if (fd >= 0) ::close(fd);
    return why;
}

MapWriteResult WriteMapFile(const Map& map, const std::string& path) {
    if (map.Windows.size() > MaxWindowCount) {
        return WriteFailed("A map can hold at most 255 windows; this one has " + std::to_string(map.Windows.size()) +
                           ".");
    }
    const int size = BuildMapImage(map, nullptr, 0);
    std::vector<std::uint8_t> image(static_cast<std::size_t>(size));
    if (BuildMapImage(map, image.data(), size) != size) return WriteFailed("The map could not be encoded.");

    return WriteFileSafely(path, image.data(), image.size());
}

MapLoadResult ReadMapFile(Map& map, const std::string& path) {
    MapLoadResult failed;
    struct stat info {};
    const int fd = OpenRegularFile(path, info, failed.ReadError);
    if (fd < 0) return failed;
    // Nothing past the head and the most entries a count byte can name is ever used.
    const std::size_t wanted = static_cast<std::size_t>(std::min<long long>(info.st_size, MaxMapFileBytes));
    std::vector<std::uint8_t> bytes(wanted);
    std::size_t got = 0;
    errno = 0;
    while (got < wanted) {
        const ssize_t n = ::read(fd, bytes.data() + got, wanted - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    const int readErrno = errno;
    ::close(fd);
    if (got != wanted) {
        failed.ReadError = got < wanted && readErrno ? SystemErrorText(readErrno) : "the file changed while being read";
        return failed;
    }

    MapLoadResult result = ParseMapImage(map, bytes.data(), static_cast<long long>(got));
    if (!result.Accepted) {
        map.ClearWindows();
        map.Head.WindowCount = 0;
    }
    return result;
}

}  // namespace tesselink
