// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/cover_frames.h"

#include <algorithm>
#include <cmath>

#include "views/view_geometry.h"

namespace tesselink {

void VisibleCoverFrames(const PlaybackWindows& windows, const MapFileHead& head, bool different,
                        const TargetOnScreen& screen, std::vector<CoverFrame>& frames) {
    frames.clear();
    long long c = 0, d = 0, b = 0, e = 0;  // the block: original c x d, target b x e
    for (const PlaybackWindow& w : windows) {
        c = std::max<long long>(c, w.OriginalStartX + w.Width);
        d = std::max<long long>(d, w.OriginalStartY + w.Height);
        b = std::max<long long>(b, w.TargetStartX + w.PlacedWidth);
        e = std::max<long long>(e, w.TargetStartY + w.PlacedHeight);
    }
    if (c == 0 || d == 0 || b == 0 || e == 0 || screen.Zoom <= 0.0f) return;
    // The tile loops the cover tiling runs: source rows i and columns j; the other direction
    // sends source row i to target column i.
    const long long gx = head.OriginalWidth / c, gy = head.OriginalHeight / d;
    const long long tx = head.TargetWidth / b, ty = head.TargetHeight / e;
    const long long rows = different ? std::min(tx, gy) : std::min(gy, ty);
    const long long columns = different ? std::min(ty, gx) : std::min(gx, tx);
    if (rows <= 0 || columns <= 0) return;

    // The target pixels on screen, a pixel of margin each way for the truncations.
    const double left = (screen.ScrollX - screen.OffsetX) / static_cast<double>(screen.Zoom) - 1;
    const double top = (screen.ScrollY - screen.OffsetY) / static_cast<double>(screen.Zoom) - 1;
    const double right = left + screen.ClientWidth / static_cast<double>(screen.Zoom) + 2;
    const double bottom = top + screen.ClientHeight / static_cast<double>(screen.Zoom) + 2;
    const long long targetColumns = different ? rows : columns;
    const long long targetRows = different ? columns : rows;
    const auto tileRange = [](double from, double to, long long tile, long long count, long long& first,
                              long long& last) {
        first = std::max<long long>(0, static_cast<long long>(std::floor(from / tile)));
        last = std::min<long long>(count - 1, static_cast<long long>(std::floor(to / tile)));
    };
    long long firstColumn, lastColumn, firstRow, lastRow;
    tileRange(left, right, b, targetColumns, firstColumn, lastColumn);
    tileRange(top, bottom, e, targetRows, firstRow, lastRow);
    const long long n = static_cast<long long>(windows.size());
    for (long long targetRow = firstRow; targetRow <= lastRow; ++targetRow) {
        for (long long targetColumn = firstColumn; targetColumn <= lastColumn; ++targetColumn) {
            const long long i = different ? targetColumn : targetRow;
            const long long j = different ? targetRow : targetColumn;
            for (long long k = 0; k < n; ++k) {
                const PlaybackWindow& w = windows[static_cast<std::size_t>(k)];
                const long long x = w.TargetStartX + targetColumn * b;
                const long long y = w.TargetStartY + targetRow * e;
                if (x + w.PlacedWidth < left || x > right || y + w.PlacedHeight < top || y > bottom) continue;
                const ViewRect rect =
                    PictureToClient(static_cast<int>(x), static_cast<int>(y), w.PlacedWidth, w.PlacedHeight,
                                    screen.Zoom, screen.OffsetX, screen.OffsetY, screen.ScrollX, screen.ScrollY);
                frames.push_back(CoverFrame{rect, (i * columns + j) * n + k});
            }
        }
    }
}

}  // namespace tesselink
