#include "picture/background_picture.h"

#include <atomic>

#include <QFileInfo>

namespace tesselink {
namespace {

std::uint64_t NextGeneration() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

}  // namespace

void BackgroundPicture::Sync(const std::string& path, int originalWidth, int originalHeight, bool mayDecode) {
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

void BackgroundPicture::Free() {
    cache_.Clear();
    made_.Destroy();
    picture_ = &empty_;
    exists_ = false;
    planes_.Free();
    planesState_ = ColourPlaneState();
    refusal_.clear();
}

}  // namespace tesselink
