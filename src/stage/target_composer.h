// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one place that turns the original area's colour planes into target pixels: the Target
// view at any zoom, --render, Export Target Picture and the output windows all ask it, so they
// cannot disagree. What it prepares from the map (the cover block, the windows clipped to an
// area) is kept until the map or the sizes change.

#include <cstddef>
#include <cstdint>
#include <string>

#include <QImage>

#include "map/map_model.h"
#include "remap/colour_planes.h"
#include "remap/cover.h"
#include "remap/pixel_rect.h"
#include "remap/target_bands.h"

namespace tesselink {

// The cover the Target view and the outputs draw: the map's `mode`, over a picture that is there
// and a target that can be held; else none.
CoverMode CoverModeDrawn(CoverMode mode, const PlaybackWindows& windows, const MapFileHead& head, bool pictureShown);

class TargetComposer {
public:
    // The map to compose, with the cover mode in force. Cheap when nothing changed; the cover
    // block is rebuilt only when the windows, the head or the mode differ from the last call.
    // False when the cover is too large (Problem() says why; the windows are shown instead, as
    // the Target view has always done, while ComposeWhole refuses).
    bool SetMap(const PlaybackWindows& windows, const MapFileHead& head, CoverMode mode);

    int TargetWidth() const { return head_.TargetWidth; }
    int TargetHeight() const { return head_.TargetHeight; }
    const PlaybackWindows& Windows() const { return windows_; }
    // The cover's tiles replace the windows in what is composed.
    bool CoverShown() const { return coverShown_; }
    // Why the cover could not be built, or empty.
    const std::string& Problem() const { return problem_; }

    // The target pixels of `area` (target coordinates, inside the target) as planes of the
    // area's size, into `out` (memory reused). Nothing happens without `source`.
    void ComposeArea(const ColourPlanes& source, const PixelRect& area, TargetPlanes& out);

    // The whole target as 0xffRRGGBB words into `out`, rows `strideWords` apart. False, with
    // the reason, when `source` is absent, the cover is too large or memory runs out.
    bool ComposeWholeInto(const ColourPlanes& source, std::uint32_t* out, std::ptrdiff_t strideWords,
                          std::string* why = nullptr);
    // The same into `image`, made TW x TH Format_RGB32 (its memory reused); a null image on failure.
    bool ComposeWhole(const ColourPlanes& source, QImage& image, std::string* why = nullptr);

private:
    PlaybackWindows windows_;
    MapFileHead head_;
    CoverMode mode_ = CoverMode::None;
    bool prepared_ = false;
    CoverBlock cover_;
    bool coverShown_ = false;
    bool coverRefused_ = false;
    std::string problem_;
    PlaybackWindows clipped_;
    TargetBandScratch bands_;
};

}  // namespace tesselink
