// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "views/plane_blit.h"
#include "views/scaled_picture.h"

using namespace tesselink;

namespace {

QImage Solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

}  // namespace

TEST(ScaledPictureTest, KeepsTheScalingUntilTheSourceChanges) {
    QImage source = Solid(100, 80, qRgb(10, 20, 30));
    ScaledPicture scaled;
    QPoint origin;
    const QRect visible(0, 0, 150, 120);
    EXPECT_EQ(scaled.Get(source, 1, source.rect(), QSize(150, 120), visible, origin).pixel(75, 60), qRgb(10, 20, 30));
    EXPECT_EQ(origin, QPoint(0, 0));

    source.fill(qRgb(200, 0, 0));
    EXPECT_EQ(scaled.Get(source, 1, source.rect(), QSize(150, 120), visible, origin).pixel(75, 60), qRgb(10, 20, 30))
        << "same generation, same zoom: the kept scaling";
    EXPECT_EQ(scaled.Get(source, 2, source.rect(), QSize(150, 120), visible, origin).pixel(75, 60), qRgb(200, 0, 0));
    EXPECT_EQ(scaled.Get(source, 2, source.rect(), QSize(50, 40), visible, origin).size(), QSize(50, 40))
        << "a new zoom scales again";
}

TEST(ScaledPictureTest, LargeScalingsKeepOnlyTheVisiblePartWithAMargin) {
    const QImage source = Solid(1000, 1000, qRgb(1, 2, 3));
    ScaledPicture scaled;
    QPoint origin;
    const QSize full(3000, 3000);  // 9 M pixels: more than is kept whole
    const QImage& part = scaled.Get(source, 1, source.rect(), full, QRect(1000, 800, 400, 200), origin);
    EXPECT_EQ(origin, QPoint(900, 750));
    EXPECT_EQ(part.size(), QSize(600, 300));

    // A small scroll stays inside the margin; a large one scales the new part.
    scaled.Get(source, 1, source.rect(), full, QRect(1050, 820, 400, 200), origin);
    EXPECT_EQ(origin, QPoint(900, 750));
    scaled.Get(source, 1, source.rect(), full, QRect(2000, 0, 400, 200), origin);
    EXPECT_EQ(origin, QPoint(1900, 0));
}

TEST(PlaneBlit, PictureRepeatedFromAPartOfIt) {
    QImage source = Solid(10, 10, qRgb(0, 0, 0));
    source.setPixel(4, 3, qRgb(255, 0, 0));
    source.setPixel(5, 3, qRgb(0, 255, 0));
    QImage dest = Solid(20, 20, qRgb(9, 9, 9));
    // Source part from (4, 3), 3 x 2, doubled at (1, 1), clipped at x 6.
    BlitImageScaled(source, QRect(4, 3, 3, 2), 2, dest, QPoint(1, 1), QRect(0, 0, 6, 20));
    EXPECT_EQ(dest.pixel(0, 1), qRgb(9, 9, 9));
    EXPECT_EQ(dest.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(dest.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(dest.pixel(3, 2), qRgb(0, 255, 0));
    EXPECT_EQ(dest.pixel(5, 4), qRgb(0, 0, 0));
    EXPECT_EQ(dest.pixel(6, 1), qRgb(9, 9, 9)) << "clipped";
    EXPECT_EQ(dest.pixel(1, 5), qRgb(9, 9, 9)) << "below the part";
}
