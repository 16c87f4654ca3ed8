// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a bmp, jpg, png or gif file declares about itself, read without decoding: its format,
// its pixel size and whether its data ends before the format says it must. A decoder's own
// failure cannot tell "too large" from "corrupt" from "cut short", and some decode a cut file
// as partly black without a word.

#include <QIODevice>
#include <QSize>
#include <QString>

namespace tesselink {

enum class PictureFormat { Unknown, Bmp, Gif, Jpeg, Png };

struct PictureHeader {
    PictureFormat Format = PictureFormat::Unknown;  // from the first bytes, not the file name
    QSize Size;                                     // the declared width x height; invalid when not found
    bool Truncated = false;                         // the file ends inside the head or the picture data
};

// Reads `device` (open, seekable) from its start; its position afterwards is unspecified.
// Only the structure is walked: chunk, block and segment lengths, never the pixel data.
// A JPEG cut inside its compressed data is told by the decoder, not here.
PictureHeader InspectPicture(QIODevice& device);

// The format's name for QImageReader ("bmp", "gif", "jpeg", "png"), or empty.
const char* PictureFormatName(PictureFormat format);

}  // namespace tesselink
