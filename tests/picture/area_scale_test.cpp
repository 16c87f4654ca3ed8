// SPDX-License-Identifier: GPL-3.0-or-later
// Area-averaging scale against a floating-point coverage formula, and partial computation.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <random>

#include "picture/area_scale.h"

namespace tesselink {
namespace {

QImage RandomImage(int w, int h, std::mt19937& random) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
    return image;
}

// Overlap of [a0, a1) and [b0, b1).
double Overlap(double a0, double a1, double b0, double b1) {
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

// Channel `shift` of output pixel (ox, oy): each source pixel weighted by the area it shares
// with the output pixel's footprint, divided by that footprint's area.
double Expected(const QImage& src, const QRect& from, QSize full, int ox, int oy, int shift) {
    const double sx = static_cast<double>(from.width()) / full.width();
    const double sy = static_cast<double>(from.height()) / full.height();
    const double x0 = ox * sx, x1 = (ox + 1) * sx, y0 = oy * sy, y1 = (oy + 1) * sy;
    double total = 0;
    for (int y = static_cast<int>(y0); y < std::min<double>(y1, from.height()); ++y)
        for (int x = static_cast<int>(x0); x < std::min<double>(x1, from.width()); ++x) {
            const double area = Overlap(x0, x1, x, x + 1) * Overlap(y0, y1, y, y + 1);
            total += area * ((src.pixel(from.left() + x, from.top() + y) >> shift) & 0xFF);
        }
    return total / (sx * sy);
}

void ExpectMatchesFormula(const QImage& src, const QRect& from, QSize full) {
    const QImage out = ScaleAreaAverage(src, from, full, QRect(QPoint(0, 0), full));
    ASSERT_EQ(out.size(), full);
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x)
            for (int shift : {0, 8, 16}) {
                const int got = (out.pixel(x, y) >> shift) & 0xFF;
                ASSERT_NEAR(got, Expected(src, from, full, x, y, shift), 1.0)
                    << from.width() << "x" << from.height() << " -> " << full.width() << "x" << full.height() << " at "
                    << x << "," << y;
            }
}

TEST(ScaleAreaAverage, SameSizeIsACopy) {
    std::mt19937 random(1);
    const QImage src = RandomImage(19, 7, random);
    const QImage out = ScaleAreaAverage(src, src.rect(), src.size(), src.rect());
    EXPECT_EQ(out, src);
}

TEST(ScaleAreaAverage, HalvingAveragesEachTwoByTwoBlock) {
    QImage src(4, 2, QImage::Format_RGB32);
    src.setPixel(0, 0, qRgb(0, 0, 0));
    src.setPixel(1, 0, qRgb(100, 0, 0));
    src.setPixel(0, 1, qRgb(200, 0, 0));
    src.setPixel(1, 1, qRgb(100, 0, 0));
    src.setPixel(2, 0, qRgb(0, 255, 0));
    src.setPixel(3, 0, qRgb(0, 255, 0));
    src.setPixel(2, 1, qRgb(0, 255, 0));
    src.setPixel(3, 1, qRgb(0, 255, 4));
    const QImage out = ScaleAreaAverage(src, src.rect(), QSize(2, 1), QRect(0, 0, 2, 1));
    EXPECT_EQ(out.pixel(0, 0), qRgb(100, 0, 0));
    EXPECT_EQ(out.pixel(1, 0), qRgb(0, 255, 1));
}

TEST(ScaleAreaAverage, ShrinkingAndEnlargingFollowTheCoverageFormula) {
    std::mt19937 random(2);
    const QImage src = RandomImage(41, 29, random);
    ExpectMatchesFormula(src, src.rect(), QSize(13, 9));  // shrink by a fraction
    ExpectMatchesFormula(src, src.rect(), QSize(30, 20));
    ExpectMatchesFormula(src, src.rect(), QSize(100, 71));  // enlarge by a fraction
    ExpectMatchesFormula(src, src.rect(), QSize(1, 1));
    ExpectMatchesFormula(src, QRect(5, 3, 17, 11), QSize(40, 8));  // a source rectangle, mixed
}

TEST(ScaleAreaAverage, PartEqualsTheSameRegionOfTheWholeScaledPicture) {
    std::mt19937 random(3);
    const QImage src = RandomImage(64, 48, random);
    for (QSize full : {QSize(512, 384), QSize(96, 72), QSize(32, 24)}) {
        const QImage whole = ScaleAreaAverage(src, src.rect(), full, QRect(QPoint(0, 0), full));
        const QRect part(full.width() / 3, full.height() / 4, full.width() / 2, full.height() / 3);
        const QImage piece = ScaleAreaAverage(src, src.rect(), full, part);
        EXPECT_EQ(piece, whole.copy(part)) << full.width();
        // A part reaching past the picture is clipped to it.
        const QImage edge = ScaleAreaAverage(src, src.rect(), full, QRect(full.width() - 5, -3, 20, 10));
        EXPECT_EQ(edge.size(), QSize(5, 7));
        EXPECT_EQ(edge, whole.copy(QRect(full.width() - 5, 0, 5, 7)));
    }
}

TEST(ScaleAreaAverage, IntoReusesTheImageAndEmptyInputsAreSafe) {
    std::mt19937 random(4);
    const QImage src = RandomImage(10, 10, random);
    QImage out;
    ScaleAreaAverageInto(src, src.rect(), QSize(20, 20), QRect(0, 0, 8, 8), out);
    const uchar* bits = out.constBits();
    ScaleAreaAverageInto(src, src.rect(), QSize(40, 40), QRect(4, 4, 8, 8), out);
    EXPECT_EQ(out.constBits(), bits);

    EXPECT_TRUE(ScaleAreaAverage(src, src.rect(), QSize(0, 5), QRect(0, 0, 5, 5)).isNull());
    const QImage blank = ScaleAreaAverage(QImage(), QRect(0, 0, 4, 4), QSize(3, 3), QRect(0, 0, 3, 3));
    ASSERT_EQ(blank.size(), QSize(3, 3));
    EXPECT_EQ(blank.pixel(1, 1), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace tesselink
