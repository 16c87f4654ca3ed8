// The displayable target picture and its scaled draw.
#include <gtest/gtest.h>

#include <QPainter>

#include "picture/target_image.h"

namespace tesselink {
namespace {

TargetPlanes Planes(int w, int h) {
    TargetPlanes planes;
    planes.Allocate(w, h);
    for (std::size_t i = 0; i < planes.PlaneSize(); ++i) {
        planes.Red()[i] = static_cast<std::uint8_t>(i);
        planes.Green()[i] = static_cast<std::uint8_t>(i * 3);
        planes.Blue()[i] = static_cast<std::uint8_t>(255 - i);
    }
    return planes;
}

TEST(TargetImage, HoldsThePlanesAsRgb32AndKeepsItsMemory) {
    const TargetPlanes planes = Planes(641, 3);
    TargetImage target;
    const QImage& image = target.Update(planes);
    ASSERT_EQ(image.size(), QSize(641, 3));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(640, 0), qRgb(640 & 0xFF, (640 * 3) & 0xFF, (255 - 640) & 0xFF));
    EXPECT_EQ(image.pixel(5, 2), qRgb((2 * 641 + 5) & 0xFF, ((2 * 641 + 5) * 3) & 0xFF, (255 - (2 * 641 + 5)) & 0xFF));
    const uchar* bits = image.constBits();
    target.Update(planes);
    EXPECT_EQ(target.Image().constBits(), bits);

    TargetPlanes absent;
    EXPECT_TRUE(target.Update(absent).isNull());
}

TEST(ScaledTargetSize, TruncatesTheFloatProducts) {
    EXPECT_EQ(ScaledTargetSize(641, 481, 1.5f), QSize(961, 721));
    EXPECT_EQ(ScaledTargetSize(641, 481, 0.5f), QSize(320, 240));
    EXPECT_EQ(ScaledTargetSize(640, 480, 8.0f), QSize(5120, 3840));
}

TEST(DrawScaledPicture, DrawsOnlyTheExposedPart) {
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(3, 3, qRgb(250, 0, 0));
    QImage canvas(40, 40, QImage::Format_RGB32);
    canvas.fill(qRgb(1, 2, 3));
    QImage scratch;
    {
        QPainter painter(&canvas);
        DrawScaledPicture(painter, QPoint(5, 5), picture, QSize(16, 16), QRect(0, 0, 17, 40), scratch);
    }
    EXPECT_EQ(canvas.pixel(4, 4), qRgb(1, 2, 3));      // outside the picture
    EXPECT_EQ(canvas.pixel(5, 5), qRgb(10, 20, 30));
    EXPECT_EQ(canvas.pixel(16, 20), qRgb(10, 20, 30));
    EXPECT_EQ(canvas.pixel(17, 20), qRgb(1, 2, 3));    // outside the exposed part
    EXPECT_EQ(scratch.size(), QSize(12, 16));          // only the exposed part was scaled
    {
        QPainter painter(&canvas);
        DrawScaledPicture(painter, QPoint(5, 5), picture, QSize(16, 16), QRect(0, 0, 40, 40), scratch);
    }
    EXPECT_EQ(canvas.pixel(20, 20), qRgb(250, 0, 0));  // enlarged 4 x: (3, 3) covers 17..20
}

}  // namespace
}  // namespace tesselink
