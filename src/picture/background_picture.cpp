// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/background_picture.h"

#include <atomic>
#include <utility>

#include <QFileInfo>

namespace tesselink {
namespace {

std::uint64_t NextGeneration() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

}  // namespace

void PlanesToImage(const PlaneSet& planes, QImage& image) {
    const int width = planes.Width();
    const int height = planes.Height();
    if (width <= 0 || height <= 0) {
        image = QImage();
        return;
    }
    if (image.size() != QSize(width, height) || image.format() != QImage::Format_RGB32)
        image = QImage(width, height, QImage::Format_RGB32);
    if (image.isNull()) return;
    const std::uint8_t* red = planes.Red();
    const std::uint8_t* green = planes.Green();
    const std::uint8_t* blue = planes.Blue();
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        const std::size_t at = static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x)
            row[x] =
                0xff000000u | (std::uint32_t{red[at + x]} << 16) | (std::uint32_t{green[at + x]} << 8) | blue[at + x];
    }
}

void BackgroundPicture::Sync(const std::string& path, int originalWidth, int originalHeight, bool mayDecode) {
    if (showsFrame_) {
        // The frame stays until the next one comes at the new size; planes of another size would
        // send the remap outside them.
        if (planes_.IsPresent() && (planes_.Width() != originalWidth || planes_.Height() != originalHeight)) {
            planes_.Release();
            source_ = ColourPlaneSource{true, 0, 0};  // the old frame stretched over the new area meanwhile
        }
        return;
    }
    exists_ = !path.empty() && QFileInfo(QString::fromStdString(path)).isFile();
    picture_ = &cache_.Get(exists_ ? path : std::string(), mayDecode);
    if (cache_.Reloaded()) generation_ = NextGeneration();
    source_ = ChooseColourPlaneSource(picture_->Width(), picture_->Height(), originalWidth, originalHeight);
    // The same path with the file changed on disk is a new picture too.
    if (planesGeneration_ != generation_) planesState_.LoadedPicturePath.clear();
    if (RefreshColourPlanes(planes_, planesState_, path, *picture_, source_.StretchBackground, source_.OriginX,
                            source_.OriginY, originalWidth, originalHeight, &refusal_))
        planesGeneration_ = generation_;
}

bool BackgroundPicture::IsCurrent(const std::string& path) const {
    const bool exists = !path.empty() && QFileInfo(QString::fromStdString(path)).isFile();
    return cache_.IsCurrent(exists ? path : std::string());
}

void BackgroundPicture::Adopt(const PictureFileStamp& stamp, Picture picture, std::string error) {
    cache_.Adopt(stamp, std::move(picture), std::move(error));
    generation_ = NextGeneration();
}

void BackgroundPicture::SetImage(const QImage& image, const std::string& refusal, int originalWidth,
                                 int originalHeight) {
    made_.Image() = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    picture_ = &made_;
    exists_ = true;
    generation_ = NextGeneration();
    planesGeneration_ = generation_;
    planesState_ = ColourPlaneState();
    source_ = ChooseColourPlaneSource(made_.Width(), made_.Height(), originalWidth, originalHeight);
    refusal_ = refusal;
    if (refusal_.empty()) refusal_ = AreaTooLargeText("original", originalWidth, originalHeight);
    if (!refusal_.empty() || !made_.HasBitmap()) {
        planes_.Free();
        return;
    }
    const PixelSource pixels = made_.Pixels();
    BuildColourPlanes(planes_, &pixels, source_.OriginX, source_.OriginY, originalWidth, originalHeight);
}

void BackgroundPicture::ShowFrame(ColourPlanes& planes) {
    if (!showsFrame_) {
        // The picture's planes are not a frame's: they are rebuilt from the file afterwards.
        planes_.Free();
        planesState_ = ColourPlaneState();
    }
    showsFrame_ = true;
    std::swap(planes_, planes);
    PlanesToImage(planes_, frame_.Image());
    picture_ = &frame_;
    exists_ = true;
    refusal_.clear();
    source_ = ColourPlaneSource();  // the frame is the original area itself
    generation_ = NextGeneration();
}

void BackgroundPicture::EndFrames() {
    if (!showsFrame_) return;
    showsFrame_ = false;
    frame_.Destroy();
    picture_ = &empty_;
    exists_ = false;
    planes_.Free();
    planesState_ = ColourPlaneState();
    source_ = ColourPlaneSource();
    // Whatever the picture was, it is taken afresh.
    generation_ = NextGeneration();
}

void BackgroundPicture::Free() {
    EndFrames();
    cache_.Clear();
    made_.Destroy();
    picture_ = &empty_;
    exists_ = false;
    planes_.Free();
    planesState_ = ColourPlaneState();
    refusal_.clear();
}

}  // namespace tesselink
