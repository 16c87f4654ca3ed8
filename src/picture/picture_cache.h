// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeps a decoded picture between paints; decodes again only when the path or the file changes.

#include <string>

#include <QDateTime>

#include "picture/picture.h"

namespace tesselink {

// What the cache compares to tell whether the file at a path is the one it decoded.
struct PictureFileStamp {
    std::string Path;
    bool Exists = false;  // a regular file is there
    qint64 Size = -1;
    QDateTime Modified;
    bool operator==(const PictureFileStamp& other) const {
        return Path == other.Path && Exists == other.Exists && Size == other.Size && Modified == other.Modified;
    }
    bool operator!=(const PictureFileStamp& other) const { return !(*this == other); }
};

// The file at `path` as it is now (an empty path is no file).
PictureFileStamp StampPictureFile(const std::string& path);

class PictureCache {
public:
    // The picture at `path`, decoded now only if the path, the file's size or its modification
    // time differ from the last call. An empty picture when the file is missing or undecodable.
    // With `mayDecode` false a file that would need decoding is not decoded: what is held stays.
    const Picture& Get(const std::string& path, bool mayDecode = true);
    // True when Get would return what is held without decoding.
    bool IsCurrent(const std::string& path) const;
    // Takes a picture decoded elsewhere (another thread) from the file `stamp` describes, as if
    // Get had decoded it: `error` says why it is empty, if it is.
    void Adopt(const PictureFileStamp& stamp, Picture picture, std::string error);
    // True when the last Get decoded the file again.
    bool Reloaded() const { return reloaded_; }
    const std::string& LastError() const { return error_; }
    void Clear();

private:
    Picture picture_;
    PictureFileStamp stamp_;
    bool reloaded_ = false;
    std::string error_;
};

}  // namespace tesselink
