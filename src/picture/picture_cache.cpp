// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_cache.h"

#include <QFileInfo>

namespace tesselink {

PictureFileStamp StampPictureFile(const std::string& path) {
    PictureFileStamp stamp;
    stamp.Path = path;
    if (path.empty()) return stamp;
    const QFileInfo info(QString::fromStdString(path));
    stamp.Exists = info.isFile();
    if (stamp.Exists) {
        stamp.Size = info.size();
        stamp.Modified = info.lastModified();
    }
    return stamp;
}

bool PictureCache::IsCurrent(const std::string& path) const {
    const PictureFileStamp now = StampPictureFile(path);
    // A cache that never decoded anything holds the empty picture of the empty path.
    return now.Path == stamp_.Path && now.Size == stamp_.Size && now.Modified == stamp_.Modified;
}

const Picture& PictureCache::Get(const std::string& path, bool mayDecode) {
    const PictureFileStamp now = StampPictureFile(path);
    reloaded_ = false;
    if (now.Path == stamp_.Path && now.Size == stamp_.Size && now.Modified == stamp_.Modified)
        return picture_;  // an undecodable file is not retried until it changes
    if (!mayDecode) return picture_;

    stamp_ = now;
    reloaded_ = true;
    error_.clear();
    if (!now.Exists) {
        picture_.Destroy();
        error_ = "no such file: " + path;
        return picture_;
    }
    picture_.Load(path, &error_);
    return picture_;
}

void PictureCache::Adopt(const PictureFileStamp& stamp, Picture picture, std::string error) {
    stamp_ = stamp;
    picture_ = std::move(picture);
    error_ = std::move(error);
    reloaded_ = true;
}

void PictureCache::Clear() {
    picture_.Destroy();
    stamp_ = PictureFileStamp();
    reloaded_ = false;
    error_.clear();
}

}  // namespace tesselink
