// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/target_clip.h"

#include <algorithm>

namespace tesselink {
namespace {

// Floor division for a positive divisor.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

ViewRect TargetAreaOnScreen(const ViewRect& screen, int pictureOriginX, int pictureOriginY, int factor, int width,
                            int height) {
    ViewRect a;
    a.left = std::clamp(FloorDiv(screen.left - pictureOriginX, factor), 0, width);
    a.top = std::clamp(FloorDiv(screen.top - pictureOriginY, factor), 0, height);
    a.right = std::clamp(FloorDiv(screen.right - pictureOriginX + factor - 1, factor), 0, width);
    a.bottom = std::clamp(FloorDiv(screen.bottom - pictureOriginY + factor - 1, factor), 0, height);
    return a;
}

namespace {

// Source pixels [first, last) under output pixels [from, to) of an axis scaled from `size` to `scaled`:
// output d covers [d * size, (d + 1) * size) in units where a source pixel is `scaled` long.
void SourceSpan(int from, int to, int scaled, int size, int& first, int& last) {
    const long long s = size, d = scaled;
    first = static_cast<int>(std::max(0LL, from * s / d - 1));
    last = static_cast<int>(std::min(s, (to * s - 1) / d + 2));
}

}  // namespace

ViewRect TargetAreaForScaledPart(const ViewRect& part, int scaledWidth, int scaledHeight, int width, int height) {
    ViewRect a;
    if (part.Width() <= 0 || part.Height() <= 0 || scaledWidth <= 0 || scaledHeight <= 0) return a;
    SourceSpan(part.left, part.right, scaledWidth, width, a.left, a.right);
    SourceSpan(part.top, part.bottom, scaledHeight, height, a.top, a.bottom);
    return a;
}

}  // namespace tesselink
