#include "picture/picture_cache.h"

#include <QFileInfo>

namespace tesselink {

const Picture& PictureCache::Get(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    const bool exists = !path.empty() && info.isFile();
    const qint64 size = exists ? info.size() : -1;
    const QDateTime modified = exists ? info.lastModified() : QDateTime();
    reloaded_ = false;
    if (path == path_ && size == size_ && modified == modified_)
        return picture_;  // an undecodable file is not retried until it changes

    path_ = path;
    size_ = size;
    modified_ = modified;
    reloaded_ = true;
    error_.clear();
    if (!exists) {
        picture_.Destroy();
        error_ = "no such file: " + path;
        return picture_;
    }
    picture_.Load(path, &error_);
    return picture_;
}

void PictureCache::Clear() {
    picture_.Destroy();
    path_.clear();
    size_ = -1;
    modified_ = QDateTime();
    reloaded_ = false;
    error_.clear();
}

}  // namespace tesselink
