// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map as an FFmpeg filter graph (for `ffmpeg -filter_complex_script`): one video input of the
// original size in, the target picture out on the link [out].

#include <cstddef>
#include <string>

#include "map/map_model.h"
#include "remap/cover.h"

namespace tesselink {

// Windows one graph carries at most (each is a split branch, a crop and an input of one xstack).
constexpr std::size_t MaxGraphWindows = 4096;

// The graph for `map` drawn with `coverMode` (none, the same direction or the other), as --render
// draws it: a grey (172, 172, 172) picture of the target size made from each input frame, so
// the output keeps the input's timing, then every window cropped, turned or mirrored by its mode
// and laid on it in list order (later windows on top) by one xstack. With a cover that has tiles, the cover's windows
// are the list. Everything runs in planar RGB (gbrp), so an RGB input comes out unchanged where a window shows it.
// Empty, with the reason in `why`, when the map has no picture to give (a size of 0, an area too large to show) or the
// list exceeds MaxGraphWindows.
std::string WriteFfmpegGraph(const Map& map, CoverMode coverMode, std::string* why = nullptr);

}  // namespace tesselink
