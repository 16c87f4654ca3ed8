// SPDX-License-Identifier: GPL-3.0-or-later
// The displayable target picture.
#include <gtest/gtest.h>

#include "picture/target_image.h"
#include "remap/remap.h"

namespace tesselink {
namespace {

ColourPlanes Numbered(int w, int h) {
    ColourPlanes planes;
    planes.Allocate(w, h);
    for (std::size_t i = 0; i < planes.PlaneSize(); ++i) {
        planes.Red()[i] = static_cast<std::uint8_t>(i);
        planes.Green()[i] = static_cast<std::uint8_t>(i * 3);
        planes.Blue()[i] = static_cast<std::uint8_t>(255 - i);
    }
    return planes;
}

TEST(TargetImage, ShowsTheRemappedWindowsAndKeepsItsMemory) {
    const ColourPlanes source = Numbered(641, 3);
    const PlaybackWindows windows = {MakeWindow(0, 0, 641, 3, 0, 0, 0), MakeWindow(5, 0, 2, 2, 10, 1, 5)};
    TargetImage target;
    const QImage& image = target.Render(source, windows, 641, 4);
    ASSERT_EQ(image.size(), QSize(641, 4));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(640, 0), qRgb(640 & 0xFF, (640 * 3) & 0xFF, (255 - 640) & 0xFF));
    EXPECT_EQ(image.pixel(5, 2), qRgb((2 * 641 + 5) & 0xFF, ((2 * 641 + 5) * 3) & 0xFF, (255 - (2 * 641 + 5)) & 0xFF));
    EXPECT_EQ(image.pixel(10, 1), qRgb((641 + 6) & 0xFF, ((641 + 6) * 3) & 0xFF, (255 - (641 + 6)) & 0xFF))
        << "the half turn drawn over the copy";
    EXPECT_EQ(image.pixel(3, 3), qRgb(172, 172, 172)) << "no window there";
    const uchar* bits = image.constBits();
    target.Render(source, windows, 641, 4);
    EXPECT_EQ(target.Image().constBits(), bits);

    ColourPlanes absent;
    EXPECT_TRUE(target.Render(absent, windows, 641, 4).isNull());
}

}  // namespace
}  // namespace tesselink
