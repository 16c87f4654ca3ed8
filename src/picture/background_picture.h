// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The background picture as the views and the remap use it: the decoded file, whether the
// original area is its centred crop or the whole picture stretched, and the colour planes of
// that area. Kept between paints; rebuilt only when the path, the file or the original size changes.

#include <cstdint>
#include <string>

#include <QImage>

#include "picture/colour_plane_refresh.h"
#include "picture/picture_cache.h"
#include "remap/colour_planes.h"

namespace tesselink {

// `planes` as a 32-bit picture of their size (null when they are absent); reuses `image`'s memory.
void PlanesToImage(const PlaneSet& planes, QImage& image);

class BackgroundPicture {
public:
    // Brings everything up to date; costs a file status look-up when nothing changed. With
    // `mayDecode` false a file that changed is not decoded: the picture held is kept (its planes
    // follow the original size all the same).
    void Sync(const std::string& path, int originalWidth, int originalHeight, bool mayDecode = true);
    // True when Sync(path, ...) would not decode.
    bool IsCurrent(const std::string& path) const;
    // A picture decoded elsewhere from the file `stamp` describes; the next Sync of that path
    // takes it without decoding.
    void Adopt(const PictureFileStamp& stamp, Picture picture, std::string error);
    // Shows `image` (made by the program, of exactly the original size) instead of a file; a null
    // image shows nothing, `refusal` saying why.
    void SetImage(const QImage& image, const std::string& refusal, int originalWidth, int originalHeight);
    // Forgets the picture and frees the planes.
    void Free();

    // A video frame in place of the picture, until EndFrames(): `planes` (the original area) are
    // swapped in, and `planes` receives the previous frame's for reuse. The frame is shown as a
    // picture of the original size. Sync() then keeps the frame, and only drops its planes when
    // the original size no longer matches them.
    void ShowFrame(ColourPlanes& planes);
    // Back to the picture file; the next Sync() reads it again.
    void EndFrames();
    bool ShowsFrame() const { return showsFrame_; }

    // A file exists at the path (it may still not decode).
    bool Exists() const { return exists_; }
    const Picture& Image() const { return *picture_; }
    // Why the file gave no picture, when it exists but did not decode.
    const std::string& LoadError() const { return cache_.LastError(); }
    // Why there are no planes for the original area although the picture loaded (too large), or empty.
    const std::string& Refusal() const { return refusal_; }
    const ColourPlaneSource& Source() const { return source_; }
    const tesselink::ColourPlanes& Planes() const { return planes_; }
    // Tells pictures apart, so that what is kept from one picture knows when it is stale: no two
    // pictures shown, by any BackgroundPicture, get the same number.
    std::uint64_t Generation() const { return generation_; }

private:
    PictureCache cache_;
    Picture empty_;
    Picture made_;  // the picture given to SetImage
    const Picture* picture_ = &empty_;
    bool exists_ = false;
    ColourPlaneSource source_;
    tesselink::ColourPlanes planes_;
    ColourPlaneState planesState_;
    std::string refusal_;
    std::uint64_t generation_ = 0;
    std::uint64_t planesGeneration_ = 0;
    bool showsFrame_ = false;
    Picture frame_;  // the current frame as shown
};

}  // namespace tesselink
