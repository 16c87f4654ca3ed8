#pragma once
// The pixel size a bmp, jpg, png or gif file declares in its header, read without decoding:
// a decoder's own failure cannot tell "too large" from "corrupt", and some refuse to report
// a size they will not decode.

#include <QSize>
#include <QString>

namespace tesselink {

// The declared width x height, or an invalid size when the header is not one of the four
// formats or is cut short.
QSize ReadDeclaredPictureSize(const QString& path);

}  // namespace tesselink
