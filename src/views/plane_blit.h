// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Showing colour planes or a picture on screen at a whole-number zoom without an intermediate picture.
// At a whole-number factor every screen pixel lies inside one picture pixel, so averaging the
// area it covers gives exactly that pixel: repeating pixels is the area-averaged result.

#include <QImage>
#include <QPoint>
#include <QRect>

#include "remap/colour_planes.h"

namespace tesselink {

// The whole-number factor `zoom` stands for, or 0 when it is not one.
int WholeZoomFactor(float zoom);

// Writes `planes` scaled by `factor` into `dest` (Format_RGB32) with the picture's top-left at
// `origin`, only inside `clip` (dest coordinates). Nothing outside the picture is touched.
void BlitPlanesScaled(const PlaneSet& planes, int factor, QImage& dest, QPoint origin, const QRect& clip);

// The same for the part `sourceRect` of a Format_RGB32 picture.
void BlitImageScaled(const QImage& source, const QRect& sourceRect, int factor, QImage& dest, QPoint origin,
                     const QRect& clip);

}  // namespace tesselink
