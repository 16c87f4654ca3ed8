// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>

#include <random>

#include "remap/colour_planes.h"
#include "support/test_planes.h"
#include "views/plane_blit.h"
#include "views/target_clip.h"

using namespace tesselink;
using tesselink::testing::NumberedPlanes;

TEST(TargetClip, AreaOnScreen) {
    // A 640 x 480 picture at (180, 80) in a 1000 x 400 client, zoom 1: rows up to 320 are on screen.
    EXPECT_EQ(TargetAreaOnScreen(ViewRect{0, 0, 1000, 400}, 180, 80, 1, 640, 480), (ViewRect{0, 0, 640, 320}));
    // Zoom 2, picture at (5, 80) scrolled so its top-left is at (-395, -70): partial pixels count.
    EXPECT_EQ(TargetAreaOnScreen(ViewRect{0, 0, 1000, 400}, -395, -71, 2, 640, 480), (ViewRect{197, 35, 640, 236}));
    EXPECT_EQ(TargetAreaOnScreen(ViewRect{0, 0, 100, 100}, 500, 500, 1, 640, 480).Width(), 0);
}

TEST(TargetClip, AreaUnderAScaledPart) {
    // 640 wide shown 960 wide (zoom 1.5): screen columns [300, 600) come from [200, 400), one more each side.
    EXPECT_EQ(TargetAreaForScaledPart(ViewRect{300, 0, 600, 720}, 960, 720, 640, 480), (ViewRect{199, 0, 401, 480}));
    // Zoom 0.5: each screen pixel averages two; the edges stay inside the picture.
    EXPECT_EQ(TargetAreaForScaledPart(ViewRect{0, 10, 320, 20}, 320, 240, 640, 480), (ViewRect{0, 19, 640, 41}));
    EXPECT_EQ(TargetAreaForScaledPart(ViewRect{0, 0, 0, 10}, 320, 240, 640, 480).Width(), 0);
}

TEST(PlaneBlit, WholeZoomsOnly) {
    EXPECT_EQ(WholeZoomFactor(1.0f), 1);
    EXPECT_EQ(WholeZoomFactor(8.0f), 8);
    EXPECT_EQ(WholeZoomFactor(1.5f), 0);
    EXPECT_EQ(WholeZoomFactor(0.5f), 0);
}

TEST(PlaneBlit, RepeatsPixelsAndStaysInsideTheClip) {
    const ColourPlanes planes = NumberedPlanes(3, 2);
    QImage dest(20, 10, QImage::Format_RGB32);
    dest.fill(qRgb(1, 2, 3));
    BlitPlanesScaled(planes, 3, dest, QPoint(2, 1), QRect(0, 0, 10, 10));
    EXPECT_EQ(dest.pixel(1, 1), qRgb(1, 2, 3));
    EXPECT_EQ(dest.pixel(2, 1), qRgb(0, 0, 0));
    EXPECT_EQ(dest.pixel(4, 3), qRgb(0, 0, 0));
    EXPECT_EQ(dest.pixel(5, 3), qRgb(1, 0, 3));
    EXPECT_EQ(dest.pixel(7, 4), qRgb(1, 1, 10));  // picture (1, 1)
    EXPECT_EQ(dest.pixel(9, 6), qRgb(2, 1, 13));  // picture (2, 1), last column inside the clip
    EXPECT_EQ(dest.pixel(10, 6), qRgb(1, 2, 3)) << "clipped";
    EXPECT_EQ(dest.pixel(5, 7), qRgb(1, 2, 3)) << "below the picture";
}

// Every factor with its vector and tail forms, clips that cut a pixel on either side, and
// nothing written outside the picture or the clip.
TEST(PlaneBlit, PictureBlitMatchesRepeatingEachPixelAtEveryFactor) {
    std::mt19937 random(9);
    QImage source(37, 5, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) source.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
    const QRect part(2, 1, 33, 4);
    for (int factor = 1; factor <= 9; ++factor) {
        for (const QRect& clip : {QRect(0, 0, 400, 50), QRect(7, 3, 101, 9), QRect(12, 0, 3, 40)}) {
            QImage dest(400, 50, QImage::Format_RGB32);
            dest.fill(0xFF010203u);
            const QPoint origin(5, 2);
            BlitImageScaled(source, part, factor, dest, origin, clip);
            const QRect picture(origin, part.size() * factor);
            for (int y = 0; y < dest.height(); ++y) {
                for (int x = 0; x < dest.width(); ++x) {
                    const bool inside = picture.contains(x, y) && clip.contains(x, y);
                    const QRgb expected = inside ? source.pixel(part.left() + (x - origin.x()) / factor,
                                                                part.top() + (y - origin.y()) / factor)
                                                 : 0xFF010203u;
                    ASSERT_EQ(dest.pixel(x, y), expected) << "factor " << factor << " at (" << x << ", " << y << ")";
                }
            }
        }
    }
}
