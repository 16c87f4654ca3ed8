// SPDX-License-Identifier: GPL-3.0-or-later
// Remapping planes with strides, and 4:2:0 chroma through the half-rate windows, against the
// per-pixel rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "remap/half_rate_windows.h"
#include "remap/remap.h"
#include "support/test_planes.h"

using namespace tesselink;

namespace {

PlaybackWindows RandomWindows(std::mt19937& random, int sourceWidth, int sourceHeight, int targetWidth,
                              int targetHeight) {
    PlaybackWindows windows;
    const int count = 1 + static_cast<int>(random() % 7);
    for (int k = 0; k < count; ++k) {
        const int w = 1 + static_cast<int>(random() % 25), h = 1 + static_cast<int>(random() % 25);
        // Some windows reach past either picture's edge, so clipping is exercised too.
        windows.push_back(MakeWindow(static_cast<int>(random() % sourceWidth),
                                     static_cast<int>(random() % sourceHeight), w, h,
                                     static_cast<int>(random() % targetWidth),
                                     static_cast<int>(random() % targetHeight), static_cast<int>(random() % 6)));
    }
    if (random() % 4 == 0) windows.back().MapMode = 7;  // unknown: skipped
    return windows;
}

// The index of the last window of `windows` whose mode puts a pixel of a sourceWidth x sourceHeight
// source on target pixel (x, y), with that source pixel in (sx, sy); -1 when none does.
int ShowingWindow(const PlaybackWindows& windows, int sourceWidth, int sourceHeight, long long x, long long y,
                  long long& sx, long long& sy) {
    int found = -1;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const PlaybackWindow& w = windows[i];
        if (w.MapMode >= MapModeCount) continue;
        const long long u = x - w.TargetStartX, v = y - w.TargetStartY;
        const long long W = w.Width, H = w.Height;
        long long c = 0, r = 0;
        switch (w.MapMode) {
        case 0: c = u, r = v; break;
        case 1: c = v, r = H - 1 - u; break;
        case 2: c = W - 1 - v, r = u; break;
        case 3: c = u, r = H - 1 - v; break;
        case 4: c = W - 1 - u, r = v; break;
        default: c = W - 1 - u, r = H - 1 - v; break;
        }
        if (c < 0 || r < 0 || c >= W || r >= H) continue;
        if (w.OriginalStartX + c >= sourceWidth || w.OriginalStartY + r >= sourceHeight) continue;
        sx = w.OriginalStartX + c;
        sy = w.OriginalStartY + r;
        found = static_cast<int>(i);
    }
    return found;
}

}  // namespace

TEST(PlaneRemap, PlanesWithPaddedRowsGiveWhatThePlaneSetRemapGives) {
    std::mt19937 random(11);
    const int sw = 53, sh = 41, tw = 47, th = 39;
    const ColourPlanes source = tesselink::testing::NumberedPlanes(sw, sh);
    for (int round = 0; round < 100; ++round) {
        const PlaybackWindows windows = RandomWindows(random, sw, sh, tw, th);
        TargetPlanes expected;
        RemapWindows(source, windows, tw, th, expected);
        // Copies of the planes in rows wider than the pictures, as a video frame has them.
        const std::ptrdiff_t sourceStride = sw + 11, targetStride = tw + 5;
        std::vector<std::uint8_t> padded[3], out[3];
        SourcePlane sources[3];
        TargetPlane targets[3];
        for (int p = 0; p < 3; ++p) {
            padded[p].assign(static_cast<std::size_t>(sourceStride * sh), 0);
            for (int y = 0; y < sh; ++y)
                std::copy_n(source.Plane(p) + y * sw, sw, padded[p].begin() + y * sourceStride);
            out[p].assign(static_cast<std::size_t>(targetStride * th), 99);
            sources[p] = {padded[p].data(), sourceStride};
            targets[p] = {out[p].data(), targetStride, TargetFillValue};
        }
        RemapPlanes(sources, targets, 3, sw, sh, windows, tw, th);
        for (int p = 0; p < 3; ++p)
            for (int y = 0; y < th; ++y) {
                for (int x = 0; x < tw; ++x)
                    ASSERT_EQ(out[p][y * targetStride + x], expected.Plane(p)[y * tw + x])
                        << "round " << round << " plane " << p << " at (" << x << ", " << y << ")";
                // Bytes past the row's end are not the picture's and stay untouched.
                for (std::ptrdiff_t x = tw; x < targetStride; ++x) ASSERT_EQ(out[p][y * targetStride + x], 99);
            }
    }
}

TEST(HalfRateMap, EachChromaSampleIsTheMeanOfWhatItsPixelsShowInEveryModeAndParity) {
    std::mt19937 random(23);
    for (int round = 0; round < 400; ++round) {
        // Odd and even sizes, and the original area at odd and even places inside the frame.
        const int sw = 20 + static_cast<int>(random() % 21), sh = 20 + static_cast<int>(random() % 21);
        const int tw = 20 + static_cast<int>(random() % 21), th = 20 + static_cast<int>(random() % 21);
        const int originX = static_cast<int>(random() % 4), originY = static_cast<int>(random() % 4);
        const int frameWidth = originX + sw + static_cast<int>(random() % 3);
        const int frameHeight = originY + sh + static_cast<int>(random() % 3);
        const int frameChromaWidth = (frameWidth + 1) / 2, frameChromaHeight = (frameHeight + 1) / 2;
        std::vector<std::uint8_t> chroma(static_cast<std::size_t>(frameChromaWidth * frameChromaHeight));
        for (std::uint8_t& sample : chroma) sample = static_cast<std::uint8_t>(random() % 200);
        const PlaybackWindows windows = RandomWindows(random, sw, sh, tw, th);

        HalfRateMap map;
        map.Build(windows, sw, sh, originX, originY, tw, th);
        ASSERT_EQ(map.SourceWidth(), HalfRateSpan(originX, sw));
        const int targetChromaWidth = (tw + 1) / 2, targetChromaHeight = (th + 1) / 2;
        ASSERT_EQ(map.TargetWidth(), targetChromaWidth);
        ASSERT_EQ(map.TargetHeight(), targetChromaHeight);
        std::vector<std::uint8_t> out(static_cast<std::size_t>(targetChromaWidth * targetChromaHeight), 0);
        const SourcePlane source{chroma.data() + (originY / 2) * frameChromaWidth + originX / 2, frameChromaWidth};
        const TargetPlane target{out.data(), targetChromaWidth, 250};
        std::vector<std::uint8_t> scratch;
        map.Remap(source, target, scratch);

        for (int cy = 0; cy < targetChromaHeight; ++cy)
            for (int cx = 0; cx < targetChromaWidth; ++cx) {
                // The sample under the source pixel each pixel of the block shows, or the fill.
                int sum = 0, pixels = 0;
                for (int y = 2 * cy; y < std::min(2 * cy + 2, th); ++y)
                    for (int x = 2 * cx; x < std::min(2 * cx + 2, tw); ++x) {
                        long long sx = 0, sy = 0;
                        sum += ShowingWindow(windows, sw, sh, x, y, sx, sy) < 0
                                   ? 250
                                   : chroma[((originY + sy) / 2) * frameChromaWidth + (originX + sx) / 2];
                        ++pixels;
                    }
                ASSERT_EQ(out[cy * targetChromaWidth + cx], (sum + pixels / 2) / pixels)
                    << "round " << round << " sample (" << cx << ", " << cy << "), origin (" << originX << ", "
                    << originY << ")";
            }
    }
}
