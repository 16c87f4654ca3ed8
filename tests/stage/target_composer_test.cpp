// SPDX-License-Identifier: GPL-3.0-or-later
// The composer against the engine's plain remap: random maps, random areas, both cover modes. The
// whole target, any band of it and a part of it are the same pixels as remapping the map's (or
// the cover's) window list over the full target with the portable movers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "remap/cover.h"
#include "remap/remap.h"
#include "stage/target_composer.h"
#include "support/random_maps.h"

namespace tesselink {
namespace {

int Pick(std::mt19937& random, int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

Map RandomMap(std::mt19937& random, bool tiled) {
    return testing::RandomRemapMap(random, {31, 221, 40, 700, 40, 300, 9}, tiled);
}

ColourPlanes RandomPlanes(std::mt19937& random, int width, int height) {
    ColourPlanes planes;
    planes.Allocate(width, height);
    for (int c = 0; c < 3; ++c) {
        std::uint8_t* p = planes.Plane(c);
        for (int i = 0; i < width * height; ++i) p[i] = static_cast<std::uint8_t>(random());
    }
    return planes;
}

// The reference target: the window list (the cover's tiles when a cover is shown) remapped over
// the whole target by the portable movers.
TargetPlanes Reference(const Map& map, const ColourPlanes& source, CoverMode mode) {
    PlaybackWindows windows = map.Windows;
    if (mode != CoverMode::None) {
        PlaybackWindows tiles;
        if (BuildCoverWindows(map.Windows, map.Head, mode, tiles) == CoverBuild::Filled && !tiles.empty())
            windows = tiles;
    }
    TargetPlanes target;
    RemapWindowsPortable(source, windows, map.Head.TargetWidth, map.Head.TargetHeight, target);
    return target;
}

std::uint32_t Word(const TargetPlanes& planes, int x, int y) {
    const int i = y * planes.Width() + x;
    return 0xFF000000u | (std::uint32_t{planes.Plane(0)[i]} << 16) | (std::uint32_t{planes.Plane(1)[i]} << 8) |
           planes.Plane(2)[i];
}

TEST(TargetComposer, WholeTargetAndEveryAreaEqualThePlainRemap) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 60; ++round) {
        const CoverMode mode = static_cast<CoverMode>(round % 3);
        const Map map = RandomMap(random, mode != CoverMode::None);
        const MapFileHead& head = map.Head;
        const ColourPlanes source = RandomPlanes(random, head.OriginalWidth, head.OriginalHeight);
        const TargetPlanes reference = Reference(map, source, mode);
        ASSERT_TRUE(reference.IsPresent());

        TargetComposer composer;
        ASSERT_TRUE(composer.SetMap(map.Windows, head, mode));
        QImage whole;
        ASSERT_TRUE(composer.ComposeWhole(source, whole));
        ASSERT_EQ(whole.size(), QSize(head.TargetWidth, head.TargetHeight));
        for (int y = 0; y < head.TargetHeight; ++y)
            for (int x = 0; x < head.TargetWidth; ++x)
                ASSERT_EQ(whole.pixel(x, y), Word(reference, x, y)) << "round " << round << " at " << x << "," << y;

        // Bands and parts, as the view asks for them at any zoom.
        TargetPlanes part;
        for (int n = 0; n < 6; ++n) {
            PixelRect area;
            area.left = Pick(random, 0, head.TargetWidth - 1);
            area.top = Pick(random, 0, head.TargetHeight - 1);
            area.right = Pick(random, area.left + 1, head.TargetWidth);
            area.bottom = Pick(random, area.top + 1, head.TargetHeight);
            composer.ComposeArea(source, area, part);
            ASSERT_EQ(part.Width(), area.Width());
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x)
                    ASSERT_EQ(Word(part, x - area.left, y - area.top), Word(reference, x, y))
                        << "round " << round << " area " << area.left << "," << area.top << " at " << x << "," << y;
        }
    }
}

TEST(TargetComposer, FollowsAMapChangedAfterItWasPrepared) {
    std::mt19937 random(7);
    Map map = RandomMap(random, false);
    const ColourPlanes source = RandomPlanes(random, map.Head.OriginalWidth, map.Head.OriginalHeight);
    TargetComposer composer;
    ASSERT_TRUE(composer.SetMap(map.Windows, map.Head, CoverMode::None));
    QImage before;
    ASSERT_TRUE(composer.ComposeWhole(source, before));

    // A moved window must show at once, though the composer kept what it prepared.
    map.Windows[0].TargetStartX = static_cast<std::uint16_t>(map.Windows[0].TargetStartX == 0 ? 1 : 0);
    ASSERT_TRUE(composer.SetMap(map.Windows, map.Head, CoverMode::None));
    QImage after;
    ASSERT_TRUE(composer.ComposeWhole(source, after));
    const TargetPlanes reference = Reference(map, source, CoverMode::None);
    for (int y = 0; y < map.Head.TargetHeight; ++y)
        for (int x = 0; x < map.Head.TargetWidth; ++x) ASSERT_EQ(after.pixel(x, y), Word(reference, x, y));
}

}  // namespace
}  // namespace tesselink
