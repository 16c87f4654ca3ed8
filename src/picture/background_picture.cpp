#include "picture/background_picture.h"

#include <QFileInfo>

namespace tesselink {

void BackgroundPicture::Sync(const std::string& path, int originalWidth, int originalHeight) {
    exists_ = !path.empty() && QFileInfo(QString::fromStdString(path)).isFile();
    picture_ = &cache_.Get(exists_ ? path : std::string());
    if (cache_.Reloaded()) ++generation_;
    source_ = ChooseColourPlaneSource(picture_->Width(), picture_->Height(), originalWidth, originalHeight);
    // The same path with the file changed on disk is a new picture too.
    if (planesGeneration_ != generation_) planesState_.LoadedPicturePath.clear();
    if (RefreshColourPlanes(planes_, planesState_, path, *picture_, source_.StretchBackground, source_.OriginX,
                            source_.OriginY, originalWidth, originalHeight, &refusal_))
        planesGeneration_ = generation_;
}

void BackgroundPicture::Free() {
    cache_.Clear();
    picture_ = &empty_;
    exists_ = false;
    planes_.Free();
    planesState_ = ColourPlaneState();
    refusal_.clear();
}

}  // namespace tesselink
