#include "picture/picture.h"

#include "picture/picture_header.h"

#include <QFileInfo>
#include <QImageReader>
#include <QString>

namespace tesselink {
namespace {

bool Fail(std::string* error, std::string why) {
    if (error) *error = std::move(why);
    return false;
}

std::string Text(const QString& s) { return s.toStdString(); }

}  // namespace

bool Picture::Load(const std::string& path, std::string* error) {
    image_ = QImage();
    const QString file = QString::fromStdString(path);
    if (path.empty() || !QFileInfo(file).isFile()) return Fail(error, "no such file: " + path);

    QImageReader reader(file);
    reader.setAutoTransform(false);  // pixels as stored, whatever the file's orientation tag says
    // The reader's own failure cannot tell "too large" from "corrupt": measure from the header first.
    QSize size = ReadDeclaredPictureSize(file);
    if (!size.isValid()) size = reader.size();
    if (size.isValid()) {
        const long long pixels = static_cast<long long>(size.width()) * size.height();
        if (pixels > MaxPixels) {
            return Fail(error, "the picture is " + std::to_string(size.width()) + " x " +
                                   std::to_string(size.height()) + " pixels, more than the " +
                                   std::to_string(MaxPixels) + " pixels that can be loaded");
        }
    }
    if (!reader.canRead()) {
        return Fail(error, "not a bmp, jpg, png or gif picture (" + Text(reader.errorString()) + ")");
    }
    // A header that understates the size still cannot make the decoder allocate past the limit.
    reader.setAllocationLimit(static_cast<int>(MaxPixels * 4 / (1024 * 1024)) + 1);

    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull()) {
        return Fail(error, "the picture cannot be decoded (" + Text(reader.errorString()) + ")");
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
