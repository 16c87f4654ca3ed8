// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/form_units.h"

namespace tesselink {

namespace {
int MulDivRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}
}  // namespace

int DialogUnitsToPixelsX(int units, DialogBaseUnits base) { return MulDivRounded(units, base.CharWidth, 4); }
int DialogUnitsToPixelsY(int units, DialogBaseUnits base) { return MulDivRounded(units, base.CharHeight, 8); }

PixelRect DialogRectToPixels(int x, int y, int width, int height, DialogBaseUnits base) {
    return {DialogUnitsToPixelsX(x, base), DialogUnitsToPixelsY(y, base), DialogUnitsToPixelsX(width, base),
            DialogUnitsToPixelsY(height, base)};
}

}  // namespace tesselink
