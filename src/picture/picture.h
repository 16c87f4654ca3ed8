// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A background picture: load bmp/jpg/png/gif, measure, read pixels, create blank.

#include <cstdint>
#include <string>

#include <QImage>

#include "remap/colour_planes.h"

namespace tesselink {

// Why the file at `path` cannot be read as a picture before a byte of it is read (missing, a
// folder, not a regular file, a symlink loop, a name too long), in one line; empty when it can.
// Never opens the file, so a FIFO cannot block it.
std::string PictureFileProblem(const std::string& path);

// The first line of the box that says a background picture cannot be used: "can't find PATH"
// when nothing is there, otherwise "Cannot use the picture PATH: REASON".
std::string UnusablePictureLine(const std::string& path);

class Picture {
public:
    // Largest picture decoded, in pixels (width x height); beyond it a load fails with a reason.
    static constexpr long long MaxPixels = 16384LL * 16384LL;

    // Loads the whole file; on failure the picture is empty and `error` (if given) says why.
    bool Load(const std::string& path, std::string* error = nullptr);
    // A blank 32-bit picture of exactly width x height (black); false when the size is unusable.
    bool CreateBlank(int width, int height);
    void Destroy() { image_ = QImage(); }

    bool HasBitmap() const { return !image_.isNull(); }
    int Width() const { return image_.isNull() ? 0 : image_.width(); }
    int Height() const { return image_.isNull() ? 0 : image_.height(); }

    // 0x00BBGGRR, red in the low byte; 0xFFFFFFFF outside the picture.
    std::uint32_t GetPixel(int x, int y) const;

    // The pixels, always QImage::Format_RGB32 when present.
    const QImage& Image() const { return image_; }
    QImage& Image() { return image_; }
    PixelSource Pixels() const;

private:
    QImage image_;
};

}  // namespace tesselink
