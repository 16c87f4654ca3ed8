// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stretching by area averaging: each destination pixel averages the source pixels it covers,
// whether shrinking or enlarging.

#include <QImage>
#include <QRect>
#include <QSize>

namespace tesselink {

// Scales `sourceRect` of `source` (Format_RGB32) to `fullSize` and returns only the part
// `part` of that scaled picture (in scaled coordinates, clipped to it), so that a zoomed
// view computes just what it shows. `reuse`, when given, is filled instead of a fresh image.
QImage ScaleAreaAverage(const QImage& source, const QRect& sourceRect, const QSize& fullSize, const QRect& part);
void ScaleAreaAverageInto(const QImage& source, const QRect& sourceRect, const QSize& fullSize, const QRect& part,
                          QImage& out);

}  // namespace tesselink
