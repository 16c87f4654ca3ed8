// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colour planes for tests of the remap and of drawing from planes.

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <random>

#include "remap/colour_planes.h"

namespace tesselink::testing {

// Every pixel differs from its neighbours, so a misplaced pixel shows.
inline ColourPlanes NumberedPlanes(int width, int height) {
    ColourPlanes planes;
    planes.Allocate(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            planes.Red()[i] = static_cast<std::uint8_t>(x);
            planes.Green()[i] = static_cast<std::uint8_t>(y);
            planes.Blue()[i] = static_cast<std::uint8_t>(x * 3 + y * 7);
        }
    }
    return planes;
}

inline ColourPlanes RandomPlanes(int width, int height, std::mt19937& random) {
    ColourPlanes planes;
    planes.Allocate(width, height);
    for (int c = 0; c < 3; ++c)
        for (std::size_t i = 0; i < planes.PlaneSize(); ++i) planes.Plane(c)[i] = static_cast<std::uint8_t>(random());
    return planes;
}

// Same size and the same bytes in every plane.
inline bool SamePlanes(const PlaneSet& a, const PlaneSet& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int c = 0; c < 3; ++c)
        if (!std::equal(a.Plane(c), a.Plane(c) + a.PlaneSize(), b.Plane(c))) return false;
    return true;
}

}  // namespace tesselink::testing
