#include "map/safe_write.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tesselink {
namespace {

FileWriteResult Failed(const std::string& path, const std::string& why) {
    FileWriteResult r;
    r.Error = "cannot write " + path + ": " + why;
    return r;
}

}  // namespace

std::string SystemErrorText(int errorNumber) { return std::strerror(errorNumber); }

FileWriteResult WriteFileSafely(const std::string& path, const void* data, std::size_t size) {
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    // QSaveFile's own text for these is vague; the folder checks name the real reason.
    if (info.isDir()) return Failed(path, "is a folder");
    if (!info.dir().exists()) return Failed(path, "the folder " + info.dir().path().toStdString() + " does not exist");

    QSaveFile file(name);
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
