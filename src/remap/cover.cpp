// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/cover.h"

#include <algorithm>

#include "remap/remap.h"

namespace tesselink {

CoverMode CoverModeFromOption(std::uint8_t coverOption) {
    if ((coverOption & CoverFullScreen) == 0) return CoverMode::None;
    return (coverOption & CoverDifferentDirection) ? CoverMode::Different : CoverMode::Same;
}

namespace {

struct BlockExtents {
    long long c = 0, d = 0, b = 0, e = 0;
};

// Sums in long long, so 16-bit starts and sizes never wrap.
BlockExtents ExtentsOf(const PlaybackWindows& windows) {
    BlockExtents x;
    for (const PlaybackWindow& w : windows) {
        x.c = std::max<long long>(x.c, w.OriginalStartX + w.Width);
        x.d = std::max<long long>(x.d, w.OriginalStartY + w.Height);
        x.b = std::max<long long>(x.b, w.TargetStartX + w.PlacedWidth);
        x.e = std::max<long long>(x.e, w.TargetStartY + w.PlacedHeight);
    }
    return x;
}

}  // namespace

CoverBuild BuildCoverWindows(const PlaybackWindows& windows, const MapFileHead& head, CoverMode mode,
                             PlaybackWindows& cover) {
    cover.clear();
    const auto [c, d, b, e] = ExtentsOf(windows);
    if (c == 0 || d == 0 || b == 0 || e == 0) return CoverBuild::NotPossible;

    const long long gx = head.OriginalWidth / c, gy = head.OriginalHeight / d;
    const long long tx = head.TargetWidth / b, ty = head.TargetHeight / e;
    const bool different = mode == CoverMode::Different;
    // Different direction transposes the tile grid: source row i goes to target column i.
    const long long rows = different ? std::min(tx, gy) : std::min(gy, ty);
    const long long columns = different ? std::min(ty, gx) : std::min(gx, tx);
    const long long total = rows * columns * static_cast<long long>(windows.size());
    if (total > static_cast<long long>(MaxCoverWindows)) return CoverBuild::TooLarge;
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
    return CoverBuild::Filled;
}

CoverBuild CoverBlock::Build(const PlaybackWindows& windows, const MapFileHead& head, CoverMode mode) {
    if (built_ && mode == builtMode_ && head == builtHead_ && windows == builtWindows_) return builtResult_;
    built_ = true;
    builtWindows_ = windows;
    builtHead_ = head;
    builtMode_ = mode;
    builtResult_ = BuildTable(windows, head, mode);
    return builtResult_;
}

CoverBuild CoverBlock::BuildTable(const PlaybackWindows& windows, const MapFileHead& head, CoverMode mode) {
    table_.clear();
    rows_ = columns_ = 0;
    const BlockExtents x = ExtentsOf(windows);
    if (x.c == 0 || x.d == 0 || x.b == 0 || x.e == 0) return CoverBuild::NotPossible;
    c_ = x.c, d_ = x.d, b_ = x.b, e_ = x.e;
    different_ = mode == CoverMode::Different;
    const long long gx = head.OriginalWidth / c_, gy = head.OriginalHeight / d_;
    const long long tx = head.TargetWidth / b_, ty = head.TargetHeight / e_;
    rows_ = different_ ? std::min(tx, gy) : std::min(gy, ty);
    columns_ = different_ ? std::min(ty, gx) : std::min(gx, tx);
    if (rows_ <= 0 || columns_ <= 0) return CoverBuild::Filled;
    if (c_ * d_ > MaxBlockPixels || b_ * e_ > MaxBlockPixels) {
        rows_ = columns_ = 0;
        return CoverBuild::TooLarge;
    }

    // The block's source pixels numbered in their colour bytes (red high), remapped by the very
    // code that remaps pictures, so every mode lands exactly where it does in a picture. A second
    // remap from an all-zero source tells landed pixels from the 172 fill, which is also a number.
    const int c = static_cast<int>(c_), d = static_cast<int>(d_), b = static_cast<int>(b_), e = static_cast<int>(e_);
    ColourPlanes numbers;
    numbers.Allocate(c, d);
    for (std::size_t p = 0; p < numbers.PlaneSize(); ++p) {
        numbers.Red()[p] = static_cast<std::uint8_t>(p >> 16);
        numbers.Green()[p] = static_cast<std::uint8_t>(p >> 8);
        numbers.Blue()[p] = static_cast<std::uint8_t>(p);
    }
    TargetPlanes landed;
    RemapWindows(numbers, windows, b, e, landed);
    for (int ch = 0; ch < 3; ++ch) std::fill_n(numbers.Plane(ch), numbers.PlaneSize(), 0);
    TargetPlanes mask;
    RemapWindows(numbers, windows, b, e, mask);

    table_.assign(static_cast<std::size_t>(b) * e, -1);
    for (std::size_t p = 0; p < table_.size(); ++p) {
        if (mask.Red()[p] != 0) continue;  // still the fill: no window lands here
        table_[p] = static_cast<std::int32_t>((landed.Red()[p] << 16) | (landed.Green()[p] << 8) | landed.Blue()[p]);
    }
    return CoverBuild::Filled;
}

void CoverBlock::RemapArea(const ColourPlanes& source, int left, int top, int width, int height,
                           TargetPlanes& target) const {
    if (!source.IsPresent()) return;
    target.Allocate(width, height);
    for (int ch = 0; ch < 3; ++ch) std::fill_n(target.Plane(ch), target.PlaneSize(), TargetFillValue);
    if (!HasTiles() || width <= 0 || height <= 0) return;
    const long long sw = source.Width(), sh = source.Height();
    for (int row = 0; row < height; ++row) {
        const long long y = top + row;
        const long long tileRow = y / e_, inTileY = y % e_;
        const std::size_t out = static_cast<std::size_t>(row) * width;
        long long tileColumn = left / b_, inTileX = left % b_;
        for (int col = 0; col < width; ++col) {
            // Same direction: target tile (column j, row i) shows source tile (j, i);
            // different direction: target tile (i, j) shows source tile (j, i).
            const long long i = different_ ? tileColumn : tileRow;
            const long long j = different_ ? tileRow : tileColumn;
            const std::int32_t at = i < rows_ && j < columns_ ? table_[inTileY * b_ + inTileX] : -1;
            if (at >= 0) {
                const long long sx = j * c_ + at % c_, sy = i * d_ + at / c_;
                if (sx < sw && sy < sh) {
                    const std::size_t in = static_cast<std::size_t>(sy * sw + sx);
                    target.Red()[out + col] = source.Red()[in];
                    target.Green()[out + col] = source.Green()[in];
                    target.Blue()[out + col] = source.Blue()[in];
                }
            }
            if (++inTileX == b_) inTileX = 0, ++tileColumn;
        }
    }
}

std::string CoverTooLargeText(const PlaybackWindows& windows) {
    const BlockExtents x = ExtentsOf(windows);
    return "The cover is not shown: its block of windows is " + std::to_string(x.c) + " x " + std::to_string(x.d) +
           " in the original and " + std::to_string(x.b) + " x " + std::to_string(x.e) +
           " in the target, and neither may exceed " + std::to_string(CoverBlock::MaxBlockPixels) + " pixels";
}

}  // namespace tesselink
