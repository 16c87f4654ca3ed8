// SPDX-License-Identifier: GPL-3.0-or-later
#include "stage/target_composer.h"

#include <new>

#include "picture/colour_plane_refresh.h"
#include "remap/remap.h"
#include "remap/window_clip.h"

namespace tesselink {
namespace {

bool SameHead(const MapFileHead& a, const MapFileHead& b) {
    return a.OriginalWidth == b.OriginalWidth && a.OriginalHeight == b.OriginalHeight &&
           a.TargetWidth == b.TargetWidth && a.TargetHeight == b.TargetHeight;
}

}  // namespace

CoverMode CoverModeDrawn(CoverMode mode, const PlaybackWindows& windows, const MapFileHead& head, bool pictureShown) {
    const bool drawn = mode != CoverMode::None && !windows.empty() && pictureShown &&
                       AreaTooLargeText("target", head.TargetWidth, head.TargetHeight).empty();
    return drawn ? mode : CoverMode::None;
}

bool TargetComposer::SetMap(const PlaybackWindows& windows, const MapFileHead& head, CoverMode mode) {
    if (prepared_ && mode == mode_ && SameHead(head, head_) && windows == windows_) return !coverRefused_;
    windows_ = windows;
    head_ = head;
    mode_ = mode;
    prepared_ = true;
    coverShown_ = false;
    coverRefused_ = false;
    problem_.clear();
    if (mode != CoverMode::None && !windows.empty()) {
        // The tiles begin with the map's own windows, so the cover replaces the whole target.
        if (cover_.Build(windows, head, mode) == CoverBuild::TooLarge) {
            coverRefused_ = true;
            problem_ = CoverTooLargeText(windows);
        } else {
            coverShown_ = cover_.HasTiles();
        }
    }
    return !coverRefused_;
}

void TargetComposer::ComposeArea(const ColourPlanes& source, const PixelRect& area, TargetPlanes& out) {
    if (coverShown_) {
        cover_.RemapArea(source, area.left, area.top, area.Width(), area.Height(), out);
        return;
    }
    ClipWindowsToArea(windows_, area, clipped_);
    RemapWindows(source, clipped_, area.Width(), area.Height(), out);
}

bool TargetComposer::ComposeWholeInto(const ColourPlanes& source, std::uint32_t* out, std::ptrdiff_t strideWords,
                                      std::string* why) {
    if (coverRefused_) {
        if (why) *why = problem_;
        return false;
    }
    bool done = false;
    try {
        done = coverShown_
                   ? RemapCoverToRgb32(source, cover_, head_.TargetWidth, head_.TargetHeight, out, strideWords, bands_)
                   : RemapWindowsToRgb32(source, windows_, head_.TargetWidth, head_.TargetHeight, out, strideWords,
                                         bands_);
    } catch (const std::bad_alloc&) {
        done = false;
    }
    if (!done && why) *why = source.IsPresent() ? "not enough memory for the target picture" : "no original picture";
    return done;
}

bool TargetComposer::ComposeWhole(const ColourPlanes& source, QImage& image, std::string* why) {
    const QSize size(head_.TargetWidth, head_.TargetHeight);
    if (!source.IsPresent() || size.isEmpty()) {
        image = QImage();
        if (why) *why = source.IsPresent() ? "the target size is 0" : "no original picture";
        return false;
    }
    if (image.size() != size || image.format() != QImage::Format_RGB32) image = QImage(size, QImage::Format_RGB32);
    if (image.isNull()) {
        if (why) *why = "not enough memory for the target picture";
        return false;
    }
    if (!ComposeWholeInto(source, reinterpret_cast<std::uint32_t*>(image.bits()), image.bytesPerLine() / 4, why)) {
        image = QImage();
        return false;
    }
    return true;
}

}  // namespace tesselink
