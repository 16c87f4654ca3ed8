// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture kept scaled for the current zoom, so that a repaint does not scale again.
// Small results are kept whole; large ones (high zoom) only for the part on screen.

#include <cstdint>

#include <QImage>
#include <QRect>
#include <QSize>

namespace tesselink {

class ScaledPicture {
public:
    // Whole scaled pictures up to this many pixels (about a screenful) are kept; larger ones only
    // around the visible part, so that a zoom step does not stall on scaling what is off screen.
    static constexpr std::int64_t MaxWholePixels = 2LL * 1024 * 1024;

    // The part `visible` (in scaled coordinates, clipped to fullSize) of `sourceRect` of `source`
    // scaled by area averaging to `fullSize`; `generation` names the source's content, so a
    // changed picture is scaled again. `origin` receives the scaled coordinates of the returned
    // image's top-left corner.
    const QImage& Get(const QImage& source, std::uint64_t generation, const QRect& sourceRect, const QSize& fullSize,
                      const QRect& visible, QPoint& origin);
    void Clear();

private:
    QImage scaled_;
    QRect scaledPart_;  // the part of the full scaled picture held in scaled_
    std::uint64_t generation_ = 0;
    QRect sourceRect_;
    QSize fullSize_;
    bool valid_ = false;
};

}  // namespace tesselink
