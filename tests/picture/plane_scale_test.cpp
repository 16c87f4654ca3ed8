// SPDX-License-Identifier: GPL-3.0-or-later
// Scaling straight from colour planes against ScaleAreaAverage of the same picture.
#include <gtest/gtest.h>

#include <QImage>

#include <random>

#include "picture/area_scale.h"
#include "picture/plane_scale.h"

namespace tesselink {
namespace {

struct Picture {
    QImage image;
    PlaneSet planes;
};

Picture RandomPicture(int w, int h, std::mt19937& random) {
    Picture p;
    p.image = QImage(w, h, QImage::Format_RGB32);
    p.planes.Allocate(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb v = 0xFF000000u | (random() & 0xFFFFFF);
            p.image.setPixel(x, y, v);
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            p.planes.Red()[i] = static_cast<std::uint8_t>(qRed(v));
            p.planes.Green()[i] = static_cast<std::uint8_t>(qGreen(v));
            p.planes.Blue()[i] = static_cast<std::uint8_t>(qBlue(v));
        }
    }
    return p;
}

// The planes of `area` of the picture only.
PlaneSet Crop(const PlaneSet& planes, const QRect& area) {
    PlaneSet out;
    out.Allocate(area.width(), area.height());
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                out.Plane(c)[static_cast<std::size_t>(y) * area.width() + x] =
                    planes.Plane(c)[static_cast<std::size_t>(area.top() + y) * planes.Width() + area.left() + x];
    return out;
}

// The source pixels that a part needs, found from the axis maps.
QRect NeededSource(QSize source, QSize full, const QRect& part) {
    AreaAxisMap columns, rows;
    EXPECT_TRUE(columns.Make(source.width(), full.width(), part.left(), part.right() + 1));
    EXPECT_TRUE(rows.Make(source.height(), full.height(), part.top(), part.bottom() + 1));
    const QRect needed(
        QPoint(columns.first.front(), rows.first.front()),
        QPoint(columns.first.back() + columns.count.back() - 1, rows.first.back() + rows.count.back() - 1));
    // What the views build before scaling: the same pixels, found without making the maps.
    int left = 0, right = 0, top = 0, bottom = 0;
    AreaAxisMap::SourceSpan(source.width(), full.width(), part.left(), part.right() + 1, left, right);
    AreaAxisMap::SourceSpan(source.height(), full.height(), part.top(), part.bottom() + 1, top, bottom);
    EXPECT_EQ(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), needed);
    return needed;
}

// Sizes odd and even, narrower than a vector and wider; every half-step class of zoom; the
// whole picture, parts touching each edge and an inner part; planes of the whole picture and
// of just the source pixels needed; every instruction set this processor runs.
TEST(PlaneScaler, MatchesAreaAveragingOfThePicture) {
    std::mt19937 random(3);
    for (const QSize size : {QSize(641, 97), QSize(200, 120), QSize(37, 23), QSize(15, 9)}) {
        const Picture picture = RandomPicture(size.width(), size.height(), random);
        for (const float zoom : {0.5f, 1.5f, 2.5f, 7.5f}) {
            const QSize full(static_cast<int>(size.width() * zoom), static_cast<int>(size.height() * zoom));
            const QImage reference =
                ScaleAreaAverage(picture.image, picture.image.rect(), full, QRect(QPoint(0, 0), full));
            const int w = full.width(), h = full.height();
            for (const QRect part : {QRect(0, 0, w, h), QRect(w / 3, h / 4, w - w / 3, h - h / 4),
                                     QRect(0, 1, std::min(w, 33), h - 2), QRect(w / 2, h / 2, 1, 1)}) {
                const QRect needed = NeededSource(size, full, part);
                const PlaneSet cropped = Crop(picture.planes, needed);
                for (const kernels::KernelSet set : {kernels::KernelSet::Portable, kernels::KernelSet::Sse2,
                                                     kernels::KernelSet::Ssse3, kernels::KernelSet::Avx2}) {
                    if (!kernels::KernelSetAvailable(set)) continue;
                    for (const bool crop : {false, true}) {
                        PlaneScaler scaler;
                        QImage out(part.size(), QImage::Format_RGB32);
                        out.fill(0xFF123456u);
                        ASSERT_TRUE(scaler.Scale(crop ? cropped : picture.planes,
                                                 crop ? needed.topLeft() : QPoint(0, 0), size, full, part, out,
                                                 QPoint(0, 0), set));
                        ASSERT_EQ(out, reference.copy(part))
                            << size.width() << "x" << size.height() << " zoom " << zoom << " part " << part.x() << ","
                            << part.y() << " " << part.width() << "x" << part.height() << " "
                            << kernels::KernelSetName(set) << " crop " << crop;
                    }
                }
            }
        }
    }
}

// One scaler kept across calls, as the view keeps it: a scroll (another part) or a zoom step
// (another scaled size) must not reuse the old maps.
TEST(PlaneScaler, KeptScalerFollowsPartAndZoomChanges) {
    std::mt19937 random(4);
    const Picture picture = RandomPicture(120, 80, random);
    PlaneScaler scaler;
    for (const float zoom : {1.5f, 1.5f, 0.5f, 2.5f, 1.5f}) {
        const QSize full(static_cast<int>(120 * zoom), static_cast<int>(80 * zoom));
        const QImage reference = ScaleAreaAverage(picture.image, picture.image.rect(), full, QRect(QPoint(0, 0), full));
        for (const QPoint at : {QPoint(0, 0), QPoint(7, 3), QPoint(full.width() / 2, full.height() / 2)}) {
            const QRect part = QRect(at, QSize(40, 30)) & QRect(QPoint(0, 0), full);
            QImage out(part.size(), QImage::Format_RGB32);
            ASSERT_TRUE(scaler.Scale(picture.planes, QPoint(0, 0), QSize(120, 80), full, part, out, QPoint(0, 0)));
            ASSERT_EQ(out, reference.copy(part)) << zoom << " at " << at.x() << "," << at.y();
            // The same part from planes that start elsewhere (the view builds only what it needs).
            const QRect needed = NeededSource(QSize(120, 80), full, part);
            out.fill(0u);
            ASSERT_TRUE(scaler.Scale(Crop(picture.planes, needed), needed.topLeft(), QSize(120, 80), full, part, out,
                                     QPoint(0, 0)));
            ASSERT_EQ(out, reference.copy(part)) << zoom << " at " << at.x() << "," << at.y() << " from a crop";
        }
    }
}

// The part lands at an offset in a larger picture, is cut at the picture's edges, and nothing
// around it changes.
TEST(PlaneScaler, WritesOnlyThePartInsideTheDestination) {
    std::mt19937 random(5);
    const Picture picture = RandomPicture(64, 48, random);
    const QSize full(96, 72);
    const QImage reference = ScaleAreaAverage(picture.image, picture.image.rect(), full, QRect(QPoint(0, 0), full));
    QImage dest(80, 50, QImage::Format_RGB32);
    dest.fill(0xFF000000u);
    PlaneScaler scaler;
    // The part (10, 5) .. (95, 71) with its top-left at (-4, 20): dest columns 0..79 show scaled
    // columns 14..93, dest rows 20..49 scaled rows 5..34.
    ASSERT_TRUE(
        scaler.Scale(picture.planes, QPoint(0, 0), QSize(64, 48), full, QRect(10, 5, 96, 72), dest, QPoint(-4, 20)));
    for (int y = 0; y < dest.height(); ++y)
        for (int x = 0; x < dest.width(); ++x) {
            const int sx = x + 4 + 10, sy = y - 20 + 5;
            const bool inside = y >= 20 && sx < full.width() && sy < full.height();
            ASSERT_EQ(dest.pixel(x, y), inside ? reference.pixel(sx, sy) : 0xFF000000u) << x << "," << y;
        }
}

TEST(PlaneScaler, RefusesZoomsBelowAHalfAndPlanesMissingPixels) {
    std::mt19937 random(6);
    const Picture picture = RandomPicture(60, 30, random);
    PlaneScaler scaler;
    QImage out(40, 40, QImage::Format_RGB32);
    out.fill(0xFF000000u);
    const QImage before = out;
    EXPECT_FALSE(scaler.Scale(picture.planes, QPoint(0, 0), QSize(60, 30), QSize(15, 10), QRect(0, 0, 15, 10), out,
                              QPoint(0, 0)))
        << "a quarter across";
    // Planes of columns 10.. only, while the part needs column 0 on.
    const PlaneSet right = Crop(picture.planes, QRect(10, 0, 50, 30));
    EXPECT_FALSE(
        scaler.Scale(right, QPoint(10, 0), QSize(60, 30), QSize(90, 45), QRect(0, 0, 40, 40), out, QPoint(0, 0)));
    EXPECT_EQ(out, before);
}

}  // namespace
}  // namespace tesselink
