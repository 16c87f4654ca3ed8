#pragma once
// Keeps a decoded picture between paints; decodes again only when the path or the file changes.

#include <string>

#include <QDateTime>

#include "picture/picture.h"

namespace tesselink {

class PictureCache {
public:
    // The picture at `path`, decoded now only if the path, the file's size or its modification
    // time differ from the last call. An empty picture when the file is missing or undecodable.
    const Picture& Get(const std::string& path);
    // True when the last Get decoded the file again.
    bool Reloaded() const { return reloaded_; }
    const std::string& LastError() const { return error_; }
    void Clear();

private:
    Picture picture_;
    std::string path_;
    qint64 size_ = -1;
    QDateTime modified_;
    bool reloaded_ = false;
    std::string error_;
};

}  // namespace tesselink
