// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture.h"

#include "picture/decoder_stderr.h"
#include "picture/picture_header.h"

#include <atomic>
#include <mutex>

#include <QFile>
#include <QImageReader>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

#include <cerrno>

#include "map/safe_write.h"

namespace tesselink {
namespace {

bool Fail(std::string* error, std::string why) {
    if (error) *error = std::move(why);
    return false;
}

std::string Text(const QString& s) { return s.toStdString(); }

const char* const Truncated = "the file is truncated: the picture data ends early";

// While alive, the decoders' warnings on this thread are collected instead of reaching stderr:
// a load that fails says why in its own one line. Loads may run on several threads at once (a
// large background picture is decoded off the user-interface thread), so one handler is kept
// installed while any load runs; it sends each message to the collector of the thread that
// logs it, and messages of threads without one to the handler that was there before.
class DecoderMessages {
public:
    explicit DecoderMessages(QStringList& into) {
        collector_ = &into;
        const std::lock_guard<std::mutex> lock(mutex_);
        if (active_++ == 0) previous_.store(qInstallMessageHandler(&Collect));
    }
    ~DecoderMessages() {
        collector_ = nullptr;
        const std::lock_guard<std::mutex> lock(mutex_);
        if (--active_ == 0) qInstallMessageHandler(previous_.load());
    }
    DecoderMessages(const DecoderMessages&) = delete;
    DecoderMessages& operator=(const DecoderMessages&) = delete;

private:
    static void Collect(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (collector_ != nullptr) {
            collector_->append(message);
        } else if (const QtMessageHandler previous = previous_.load()) {
            previous(type, context, message);
        }
    }
    static inline thread_local QStringList* collector_ = nullptr;
    static inline std::mutex mutex_;
    static inline int active_ = 0;
    static inline std::atomic<QtMessageHandler> previous_{nullptr};
};

}  // namespace

std::string PictureFileProblem(const std::string& path) {
    if (path.empty()) return "no file name was given";
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return SystemErrorText(errno);
    if (S_ISDIR(info.st_mode)) return "is a folder";
    if (!S_ISREG(info.st_mode)) return "is not a regular file";  // a FIFO would block the read
    return std::string();
}

std::string UnusablePictureLine(const std::string& path) {
    const std::string problem = PictureFileProblem(path);
    if (problem.empty() || problem == SystemErrorText(ENOENT)) return "can't find " + path;
    return "Cannot use the picture " + path + ": " + problem;
}

bool Picture::Load(const std::string& path, std::string* error) {
    image_ = QImage();
    const std::string problem = PictureFileProblem(path);
    if (!problem.empty()) return Fail(error, problem);
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return Fail(error, Text(file.errorString()));

    // The reader's own failure cannot tell "too large" from "corrupt": measure from the header first.
    const PictureHeader header = InspectPicture(file);
    if (header.Format == PictureFormat::Unknown) return Fail(error, "not a bmp, jpg, png or gif picture");
    if (header.Size.isValid()) {
        const long long pixels = static_cast<long long>(header.Size.width()) * header.Size.height();
        if (pixels > MaxPixels) {
            return Fail(error, "the picture is " + std::to_string(header.Size.width()) + " x " +
                                   std::to_string(header.Size.height()) + " pixels, more than the " +
                                   std::to_string(MaxPixels) + " pixels that can be loaded");
        }
    }
    if (header.Truncated) return Fail(error, Truncated);

    if (!file.seek(0)) return Fail(error, Text(file.errorString()));
    QImageReader reader(&file, PictureFormatName(header.Format));
    reader.setAutoTransform(false);  // pixels as stored, whatever the file's orientation tag says
    // A header that understates the size still cannot make the decoder allocate past the limit.
    reader.setAllocationLimit(static_cast<int>(MaxPixels * 4 / (1024 * 1024)) + 1);

    QImage decoded;
    bool read = false;
    QStringList complaints;
    {
        const DecoderMessages messages(complaints);
        const DecoderStderr held;
        read = reader.read(&decoded) && !decoded.isNull();
    }
    // The decoders say "premature end" when the data runs out; what they decoded is partly blank.
    if (complaints.filter("premature end", Qt::CaseInsensitive).size() > 0) return Fail(error, Truncated);
    if (!read) {
        // A decoder that cannot get its buffers says only that it failed; whether a picture of
        // that size fits tells memory apart from damage.
        if (!header.Size.isEmpty() && QImage(header.Size, QImage::Format_RGB32).isNull())
            return Fail(error, "not enough memory for the picture");
        return Fail(error, "the picture data is damaged");
    }
    image_ = decoded.convertToFormat(QImage::Format_RGB32);
    if (image_.isNull()) return Fail(error, "not enough memory for the picture");
    return true;
}

bool Picture::CreateBlank(int width, int height) {
    image_ = QImage();
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > MaxPixels) return false;
    image_ = QImage(width, height, QImage::Format_RGB32);
    if (image_.isNull()) return false;
    image_.fill(0xFF000000u);
    return true;
}

std::uint32_t Picture::GetPixel(int x, int y) const {
    if (image_.isNull() || x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return 0xFFFFFFFFu;
    const QRgb p = reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
    return static_cast<std::uint32_t>(qRed(p)) | (static_cast<std::uint32_t>(qGreen(p)) << 8) |
           (static_cast<std::uint32_t>(qBlue(p)) << 16);
}

PixelSource Picture::Pixels() const {
    PixelSource source;
    if (image_.isNull()) return source;
    source.Pixels = reinterpret_cast<const std::uint32_t*>(image_.constBits());
    source.Width = image_.width();
    source.Height = image_.height();
    source.StrideWords = image_.bytesPerLine() / 4;
    return source;
}

}  // namespace tesselink
