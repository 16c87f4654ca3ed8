// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor form is laid out in dialog units, as its template was drawn; these turn
// them into pixels for the form's font (a dialog unit is a quarter of the average
// character width across and an eighth of the character height down).

namespace tesselink {

struct DialogBaseUnits {
    int CharWidth = 6;    // average character width in pixels
    int CharHeight = 13;  // character height in pixels
};

struct PixelRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const PixelRect& o) const { return X == o.X && Y == o.Y && Width == o.Width && Height == o.Height; }
};

// Rounds to the nearest pixel, halves away from zero, as the template's units always have.
int DialogUnitsToPixelsX(int units, DialogBaseUnits base = {});
int DialogUnitsToPixelsY(int units, DialogBaseUnits base = {});
PixelRect DialogRectToPixels(int x, int y, int width, int height, DialogBaseUnits base = {});

}  // namespace tesselink
