// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A map carried onto planes sampled at half the rate both ways, as 4:2:0 video keeps its colour:
// remapping a frame's chroma through it needs no colour conversion. Each 2 x 2 block of the target
// gets the mean of the source samples its pixels show (the samples a full-rate remap would move
// there, then averaged over the block, as a 4:2:0 conversion of the whole target would).

#include <cstdint>
#include <vector>

#include "map/map_model.h"
#include "remap/remap.h"

namespace tesselink {

// Samples of a half-rate plane that hold `size` pixels from pixel `origin` on.
inline int HalfRateSpan(int origin, int size) { return size <= 0 ? 0 : ((origin + size - 1) >> 1) - (origin >> 1) + 1; }

class HalfRateMap {
public:
    // `windows` move pixels from a source of sourceWidth x sourceHeight, whose top-left pixel is
    // pixel (originX, originY) of a larger frame, to a target of targetWidth x targetHeight.
    void Build(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, int originX, int originY,
               int targetWidth, int targetHeight);

    // Source samples counted from the frame's sample (originX / 2, originY / 2).
    int SourceWidth() const { return sourceWidth_; }
    int SourceHeight() const { return sourceHeight_; }
    int TargetWidth() const { return targetWidth_; }
    int TargetHeight() const { return targetHeight_; }

    // Fills `target` (TargetWidth x TargetHeight samples) from `source` (SourceWidth x SourceHeight);
    // a target pixel no window reaches counts as the target's fill. `scratch` is working memory
    // kept between calls.
    void Remap(const SourcePlane& source, const TargetPlane& target, std::vector<std::uint8_t>& scratch) const;

private:
    // A window between the half-rate planes, by the sample under each block's top-left pixel; a
    // block whose pixels fall on two samples of the source in x (or y) takes the mean of that
    // sample and the one AverageX (AverageY) away.
    struct Block {
        PlaybackWindow Window;
        int AverageX = 0, AverageY = 0;
    };
    // A target sample whose pixels are not all shown by one window (a window's edge on an odd row
    // or column, against another window or the fill), or that lies on an odd target's edge: each
    // pixel's source sample, SourceX < 0 for the fill.
    struct Seam {
        int X = 0, Y = 0;
        int SourceX[4] = {}, SourceY[4] = {};
        int Pixels = 0;
    };

    void FindSeams(const PlaybackWindows& clipped, int targetWidth, int targetHeight, int originX, int originY);

    std::vector<Block> blocks_;
    std::vector<Seam> seams_;
    int sourceWidth_ = 0, sourceHeight_ = 0, targetWidth_ = 0, targetHeight_ = 0;
};

}  // namespace tesselink
