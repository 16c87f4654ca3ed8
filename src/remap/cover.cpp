#include "remap/cover.h"

#include <algorithm>

namespace tesselink {

int CoverModeFromOption(std::uint8_t coverOption) {
    if ((coverOption & CoverFullScreen) == 0) return CoverModeNone;
    return (coverOption & CoverDifferentDirection) ? CoverModeDifferent : CoverModeSame;
}

int BuildCoverWindows(const PlaybackWindows& windows, const MapFileHead& head, int mode, PlaybackWindows& cover) {
    cover.clear();
    // Block extents; sums in int, so 16-bit starts and sizes never wrap.
    long long c = 0, d = 0, b = 0, e = 0;
    for (const PlaybackWindow& w : windows) {
        c = std::max<long long>(c, w.OriginalStartX + w.Width);
        d = std::max<long long>(d, w.OriginalStartY + w.Height);
        b = std::max<long long>(b, w.TargetStartX + w.PlacedWidth);
        e = std::max<long long>(e, w.TargetStartY + w.PlacedHeight);
    }
    if (c == 0 || d == 0 || b == 0 || e == 0) return CoverNotPossible;

    const long long gx = head.OriginalWidth / c, gy = head.OriginalHeight / d;
    const long long tx = head.TargetWidth / b, ty = head.TargetHeight / e;
    const bool different = mode == CoverModeDifferent;
    // Different direction transposes the tile grid: source row i goes to target column i.
    const long long rows = different ? std::min(tx, gy) : std::min(gy, ty);
    const long long columns = different ? std::min(ty, gx) : std::min(gx, tx);
    const long long total = rows * columns * static_cast<long long>(windows.size());
    if (total > static_cast<long long>(MaxCoverWindows)) return CoverTooLarge;
    cover.reserve(static_cast<std::size_t>(total));

    // Floors keep every tile inside both pictures, and the shifted starts are at most the
    // picture sizes, so they stay 16-bit.
    for (long long i = 0; i < rows; ++i) {
        for (long long j = 0; j < columns; ++j) {
            const long long targetColumn = different ? i : j;
            const long long targetRow = different ? j : i;
            for (const PlaybackWindow& w : windows) {
                PlaybackWindow copy = w;
                copy.OriginalStartX = static_cast<std::uint16_t>(w.OriginalStartX + j * c);
                copy.OriginalStartY = static_cast<std::uint16_t>(w.OriginalStartY + i * d);
                copy.TargetStartX = static_cast<std::uint16_t>(w.TargetStartX + targetColumn * b);
                copy.TargetStartY = static_cast<std::uint16_t>(w.TargetStartY + targetRow * e);
                cover.push_back(copy);
            }
        }
    }
    return CoverFilled;
}

}  // namespace tesselink
