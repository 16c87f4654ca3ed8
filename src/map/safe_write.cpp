// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/safe_write.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace tesselink {
namespace {

FileWriteResult Failed(const std::string& path, const std::string& why) {
    FileWriteResult r;
    r.Error = "cannot write " + path + ": " + why;
    return r;
}

// Why `path` cannot take a new file, judged from what is there now; empty when it can. Only a
// regular file (or a symlink to one) is replaced: renaming over a FIFO or a device would swap the
// node for a file, and opening one could block.
std::string TargetProblem(const std::string& path) {
    if (path.empty()) return "no file name was given";
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return "is a folder";
        if (!S_ISREG(info.st_mode)) return "is not a regular file";
        return std::string();
    }
    // A name too long, a symlink loop, a file where a folder should be: the system's own words.
    if (errno != ENOENT) return SystemErrorText(errno);
    const QDir folder = QFileInfo(QString::fromStdString(path)).dir();
    if (!folder.exists()) return "the folder " + folder.path().toStdString() + " does not exist";
    return std::string();
}

}  // namespace

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

std::string SystemErrorText(int errorNumber) { return std::strerror(errorNumber); }

FileWriteResult WriteFileSafely(const std::string& path, const void* data, std::size_t size) {
    // QSaveFile's own text for these is vague or wrong, and it would rename over a FIFO.
    const std::string problem = TargetProblem(path);
    if (!problem.empty()) return Failed(path, problem);

    QSaveFile file(QString::fromStdString(path));
    // Unbuffered: each write reaches the system at once and its failure is seen there, rather
    // than in a final flush inside commit() whose error some Qt versions do not report.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return Failed(path, errno ? SystemErrorText(errno) : file.errorString().toStdString());
    }
    const char* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        errno = 0;
        const qint64 n = file.write(bytes + done, static_cast<qint64>(size - done));
        if (n <= 0) {
            const std::string why = errno ? SystemErrorText(errno) : file.errorString().toStdString();
            file.cancelWriting();
            return Failed(path, why);
        }
        done += static_cast<std::size_t>(n);
    }
    // Some file systems report a full disk only when the data is flushed; commit() would sync
    // too but ignores what the sync says.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const std::string why = SystemErrorText(errno);
        file.cancelWriting();
        return Failed(path, why);
    }
    errno = 0;
    // commit() closes and renames over the old file; a failure leaves the old one.
    if (!file.commit()) return Failed(path, errno ? SystemErrorText(errno) : file.errorString().toStdString());
    FileWriteResult ok;
    ok.Written = true;
    return ok;
}

}  // namespace tesselink
