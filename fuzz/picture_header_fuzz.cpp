// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the picture header check that runs before any decoder sees a file.
#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

#include "picture/picture_header.h"

using namespace tesselink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer device(&bytes);
    if (!device.open(QIODevice::ReadOnly)) std::abort();
    const PictureHeader header = InspectPicture(device);
    // Sizes never come out negative, however the header lies.
    if (header.Size.isValid() && (header.Size.width() < 0 || header.Size.height() < 0)) std::abort();
    // The format is told by the first bytes alone; without one there is nothing to measure.
    if (header.Format == PictureFormat::Unknown && (header.Size.isValid() || header.Truncated)) std::abort();
    // A file cut anywhere before its end is never whole when the whole one is truncated: the
    // check only looks at structure, so shortening cannot repair it.
    if (header.Truncated && size > 1) {
        QByteArray shorter = bytes.left(static_cast<qsizetype>(size - 1));
        QBuffer cut(&shorter);
        cut.open(QIODevice::ReadOnly);
        const PictureHeader again = InspectPicture(cut);
        if (again.Format != PictureFormat::Unknown && !again.Truncated) std::abort();
    }
    return 0;
}
