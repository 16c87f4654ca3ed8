// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cabling order drawn over a picture of the wall: a line through the windows' centres in
// list order, an arrow on every step, the first window ringed. Used by the lineup pictures and
// the Target view alike.

#include <vector>

#include <QColor>
#include <QPointF>

class QPainter;

namespace tesselink {

// The line's own colour, drawn over a dark edge so that it reads on any picture.
inline const QColor CablingLineColour(255, 255, 255);
inline const QColor CablingEdgeColour(0, 0, 0);
// Half the width of the light line, and of the dark edge around it, in pixels.
constexpr int CablingLineHalfWidth = 1;
constexpr int CablingEdgeWidth = 2;

// Draws the path through `centres` (at least one for the ring, two for a line) with `painter`
// as it is set up (its transform and clip apply). Leaves the painter's state as it was.
void DrawCablingPath(QPainter& painter, const std::vector<QPointF>& centres);

}  // namespace tesselink
