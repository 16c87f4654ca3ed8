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


}  // namespace
}  // namespace tesselink
