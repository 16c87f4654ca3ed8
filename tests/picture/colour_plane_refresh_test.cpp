// SPDX-License-Identifier: GPL-3.0-or-later
// Colour-plane refresh: crop or stretch, and rebuilding only when the path or the original size changed.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "picture/area_scale.h"
#include "picture/colour_plane_refresh.h"

namespace tesselink {
namespace {

class Refresh : public ::testing::Test {
protected:
    std::string SavePng(const QImage& image, const char* name) {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(image.save(path, "png"));
        return path.toStdString();
    }
    // Loads the file and refreshes as the Original view's paint does.
    bool Run(const std::string& path, int ow, int oh) {
        picture_.Load(path);
        const ColourPlaneSource choice = ChooseColourPlaneSource(picture_.Width(), picture_.Height(), ow, oh);
        return RefreshColourPlanes(planes_, state_, path, picture_, choice.StretchBackground, choice.OriginX,
                                   choice.OriginY, ow, oh);
    }

    QTemporaryDir dir_;
    Picture picture_;
    ColourPlanes planes_;
    ColourPlaneState state_;
};

QImage Coordinates(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x >> 8) | ((y >> 8) << 4)));
    return image;
}

TEST_F(Refresh, PureRedPictureGivesRedPlanes) {
    QImage red(640, 480, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(Run(SavePng(red, "red.png"), 640, 480));
    ASSERT_EQ(planes_.Width(), 640);
    for (std::size_t i = 0; i < planes_.PlaneSize(); ++i) {
        ASSERT_EQ(planes_.Red()[i], 255);
        ASSERT_EQ(planes_.Green()[i], 0);
        ASSERT_EQ(planes_.Blue()[i], 0);
    }
}

TEST_F(Refresh, LargerPictureGivesTheCentredCrop) {
    ASSERT_TRUE(Run(SavePng(Coordinates(801, 600), "big.png"), 640, 480));
    // Plane pixel (x, y) is picture pixel (80 + x, 60 + y).
    for (int y : {0, 17, 479})
        for (int x : {0, 100, 639}) {
            const std::size_t i = static_cast<std::size_t>(y) * 640 + x;
            EXPECT_EQ(planes_.Red()[i], (80 + x) & 0xFF);
            EXPECT_EQ(planes_.Green()[i], (60 + y) & 0xFF);
            EXPECT_EQ(planes_.Blue()[i], ((80 + x) >> 8) | (((60 + y) >> 8) << 4));
        }
}

TEST_F(Refresh, NarrowerPictureIsStretchedWhole) {
    const QImage tall = Coordinates(600, 900);
    ASSERT_TRUE(Run(SavePng(tall, "tall.png"), 640, 480));
    const QImage stretched = ScaleAreaAverage(tall, tall.rect(), QSize(640, 480), QRect(0, 0, 640, 480));
    for (int y : {0, 240, 479})
        for (int x : {0, 320, 639}) {
            const std::size_t i = static_cast<std::size_t>(y) * 640 + x;
            EXPECT_EQ(planes_.Red()[i], qRed(stretched.pixel(x, y)));
            EXPECT_EQ(planes_.Green()[i], qGreen(stretched.pixel(x, y)));
        }
    // The stretch spans the whole picture: the bottom row comes from rows 897.5 to 899 (y >> 8 = 3).
    EXPECT_EQ(planes_.Blue()[479 * 640], 0x30);
    EXPECT_EQ(planes_.Green()[479 * 640], qGreen(stretched.pixel(0, 479)));
}

TEST_F(Refresh, RebuildsOnlyWhenPathOrOriginalSizeChanges) {
    QImage grey(700, 500, QImage::Format_RGB32);
    grey.fill(qRgb(9, 9, 9));
    const std::string a = SavePng(grey, "a.png");
    const std::string b = SavePng(grey, "b.png");
    EXPECT_TRUE(Run(a, 640, 480));
    EXPECT_FALSE(Run(a, 640, 480));  // a target-size change or a mere redraw
    EXPECT_TRUE(Run(a, 320, 480));
    EXPECT_EQ(planes_.Width(), 320);
    EXPECT_TRUE(Run(b, 320, 480));
    EXPECT_EQ(state_.LoadedPicturePath, b);
    EXPECT_EQ(state_.PlanesOriginalWidth, 320);
}

// A head without windows may ask for 65535 x 65535: refused before any allocation, earlier
// planes dropped, the reason given; the largest accepted area still builds.
TEST_F(Refresh, AnAreaTooLargeToShowIsRefusedWithItsReason) {
    QImage grey(64, 48, QImage::Format_RGB32);
    grey.fill(qRgb(7, 8, 9));
    const std::string path = SavePng(grey, "g.png");
    ASSERT_TRUE(Run(path, 64, 48));
    picture_.Load(path);
    std::string why;
    EXPECT_FALSE(RefreshColourPlanes(planes_, state_, path, picture_, true, 0, 0, 65535, 65535, &why));
    EXPECT_EQ(why, "The original area 65535 x 65535 is too large to show (more than 16777216 pixels)");
    EXPECT_FALSE(planes_.IsPresent());
    EXPECT_TRUE(RefreshColourPlanes(planes_, state_, path, picture_, true, 0, 0, 8192, 2048, &why));
    EXPECT_EQ(why, "");
    EXPECT_EQ(planes_.Blue()[8192 * 2048 - 1], 9);
}

TEST_F(Refresh, MissingFileKeepsEarlierPlanes) {
    QImage grey(64, 48, QImage::Format_RGB32);
    grey.fill(qRgb(7, 8, 9));
    ASSERT_TRUE(Run(SavePng(grey, "g.png"), 64, 48));
    EXPECT_FALSE(Run(dir_.filePath("missing.png").toStdString(), 64, 48));
    ASSERT_TRUE(planes_.IsPresent());
    EXPECT_EQ(planes_.Blue()[0], 9);
}

TEST_F(Refresh, UndecodableFileGivesBlackPlanes) {
    const std::string path = dir_.filePath("junk.png").toStdString();
    QFile junk(QString::fromStdString(path));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    ASSERT_TRUE(Run(path, 32, 16));
    ASSERT_EQ(planes_.PlaneSize(), 512u);
    for (std::size_t i = 0; i < planes_.PlaneSize(); ++i) ASSERT_EQ(planes_.Red()[i], 0);
}

}  // namespace
}  // namespace tesselink
