// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small picture of a numbering order: a 3 x 4 grid of cells with the path through their
// centres, the first cell filled.

#include <QImage>
#include <QSize>

#include "layout/window_array.h"

namespace tesselink {

QImage ArrayOrderPicture(ArrayOrder order, QSize size);

}  // namespace tesselink
