// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/safe_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <vector>

namespace tesselink {
namespace {

const char* const TemporaryMark = ".tesselink-";
constexpr int RandomLetters = 6;  // mkostemp's XXXXXX

// When this process began, near enough: a temporary last written before it belongs to an
// earlier run.
const struct timespec ProcessStart = [] {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}();

FileWriteResult Failed(const std::string& path, const std::string& why) {
    FileWriteResult r;
    r.Error = "cannot write " + path + ": " + why;
    return r;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a write to `path` lands: the end of its chain of symbolic links (which need not exist
// yet), or `path` itself.
std::string FinalTarget(const std::string& path) {
    std::string at = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return at;
        std::vector<char> link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t n = ::readlink(at.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return at;
        const std::string target(link.data(), static_cast<std::size_t>(n));
        at = target[0] == '/' ? target : FolderOf(at) + "/" + target;
    }
    return at;  // a loop: the open fails with the system's own reason
}

// The mode a file written over `finalPath` gets: the old file's, or what a plain create gives.
mode_t ModeFor(const std::string& finalPath) {
    struct stat info {};
    if (::stat(finalPath.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool IsTemporaryName(const std::string& name, const std::string& base) {
    const std::string prefix = "." + base + TemporaryMark;
    if (name.size() != prefix.size() + RandomLetters || name.compare(0, prefix.size(), prefix) != 0) return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

bool Before(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// Holds back the signals that end a run politely while a file is being replaced, so that the
// temporary is always renamed or removed first; they are delivered when the write is over.
class SignalHold {
public:
    SignalHold() {
        sigset_t set;
        sigemptyset(&set);
        for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&set, s);
        pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalHold() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;

private:
    sigset_t old_;
};

}  // namespace

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

std::string SystemErrorText(int errorNumber) { return std::strerror(errorNumber); }

std::string OutputTargetProblem(const std::string& path) {
    // Only a regular file (or a symlink to one) is replaced: renaming over a FIFO or a device
    // would swap the node for a file, and opening one could block.
    if (path.empty()) return "no file name was given";
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return "is a folder";
        if (!S_ISREG(info.st_mode)) return "is not a regular file";
        return std::string();
    }
    // A name too long, a symlink loop, a file where a folder should be: the system's own words.
    if (errno != ENOENT) return SystemErrorText(errno);
    const std::string folder = FolderOf(path);
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return "the folder " + folder + " does not exist";
    return std::string();
}

int SweepStaleTemporaries(const std::string& finalPath) {
    const std::string folder = FolderOf(finalPath), base = BaseOf(finalPath);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!IsTemporaryName(name, base)) continue;
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) continue;
        if (!Before(info.st_mtim, ProcessStart)) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        // A writer holds its lock until it renames or removes the file; a killed one holds none.
        struct stat opened {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && opened.st_ino == info.st_ino &&
            opened.st_dev == info.st_dev && ::unlink(path.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

bool CreateOutputTemporary(const std::string& path, OutputTemporary& temporary, std::string& why) {
    temporary = OutputTemporary();
    const std::string problem = OutputTargetProblem(path);
    if (!problem.empty()) {
        why = "cannot write " + path + ": " + problem;
        return false;
    }
    const std::string finalPath = FinalTarget(path);
    SweepStaleTemporaries(finalPath);
    const std::string pattern = FolderOf(finalPath) + "/." + BaseOf(finalPath) + TemporaryMark + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        why = "cannot write " + path + ": " + SystemErrorText(errno);
        return false;
    }
    ::flock(fd, LOCK_EX | LOCK_NB);  // new and unnamed to anyone else: it cannot be held
    temporary.Fd = fd;
    temporary.Path = name.data();
    temporary.FinalPath = finalPath;
    return true;
}

void DiscardOutputTemporary(OutputTemporary& temporary) {
    if (temporary.Fd >= 0) ::close(temporary.Fd);
    if (!temporary.Path.empty()) ::unlink(temporary.Path.c_str());
    temporary = OutputTemporary();
}

bool CommitOutputTemporary(OutputTemporary& temporary, const std::string& path, std::string& why) {
    auto fail = [&](const std::string& reason) {
        why = "cannot write " + path + ": " + reason;
        DiscardOutputTemporary(temporary);
        return false;
    };
    // Some file systems report a full disk only when the data is flushed.
    if (::fsync(temporary.Fd) != 0 && errno != EINVAL && errno != EROFS) return fail(SystemErrorText(errno));
    ::fchmod(temporary.Fd, ModeFor(temporary.FinalPath));
    const int fd = temporary.Fd;
    temporary.Fd = -1;
    if (::close(fd) != 0) return fail(SystemErrorText(errno));
    // Something other than a file may have been put there meanwhile.
    const std::string problem = OutputTargetProblem(temporary.FinalPath);
    if (!problem.empty()) return fail(problem);
    if (::rename(temporary.Path.c_str(), temporary.FinalPath.c_str()) != 0) return fail(SystemErrorText(errno));
    temporary = OutputTemporary();
    return true;
}

FileWriteResult WriteFileSafely(const std::string& path, const void* data, std::size_t size) {
    const SignalHold hold;
    OutputTemporary temporary;
    std::string why;
    if (!CreateOutputTemporary(path, temporary, why)) {
        FileWriteResult r;
        r.Error = why;
        return r;
    }
    const char* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(temporary.Fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string reason = SystemErrorText(n < 0 ? errno : ENOSPC);
            DiscardOutputTemporary(temporary);
            return Failed(path, reason);
        }
        done += static_cast<std::size_t>(n);
    }
    if (!CommitOutputTemporary(temporary, path, why)) {
        FileWriteResult r;
        r.Error = why;
        return r;
    }
    FileWriteResult ok;
    ok.Written = true;
    return ok;
}

}  // namespace tesselink
