// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What stands in for a live source that sends nothing: a plain card of the original area's size
// saying "No signal" and which source is missing. Carried through the map like any picture, so
// the wall still shows its layout while the source is away.

#include <string>

#include <QImage>

#include "remap/colour_planes.h"

namespace tesselink {

// The card's background and ink (0xRRGGBB).
constexpr unsigned NoSignalCardBackground = 0x1c2230;
constexpr unsigned NoSignalCardInk = 0xffffff;

// The card as a 32-bit picture of originalWidth x originalHeight; a null picture, with the reason
// in `why`, when the size is empty, too large or memory runs out. `source` is shown as given, cut
// in the middle when it is too long for the card.
QImage NoSignalCardImage(int originalWidth, int originalHeight, const std::string& source, std::string* why = nullptr);

// The same card as the colour planes of the original area; false, with the reason, as above.
bool BuildNoSignalCard(ColourPlanes& planes, int originalWidth, int originalHeight, const std::string& source,
                       std::string* why = nullptr);

}  // namespace tesselink
