// SPDX-License-Identifier: GPL-3.0-or-later
// Lineup pictures: what the original one shows where, and the target one as the renderer makes it.
#include "exchange/lineup.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>

#include "exchange/cabling_path.h"
#include "layout/window_array.h"
#include "remap/cover.h"
#include "render/render_target.h"
#include "support/random_maps.h"

namespace tesselink {
namespace {

QRgb Rgb(std::uint32_t colour) { return 0xFF000000u | colour; }

TEST(Lineup, OriginalShowsGridWindowsBordersAndLabels) {
    Map map;
    map.Head.OriginalWidth = 300;
    map.Head.OriginalHeight = 200;
    map.Windows = {MakeWindow(20, 30, 120, 100, 0, 0, 0), MakeWindow(100, 60, 150, 120, 0, 0, 1),
                   MakeWindow(280, 5, 4, 3, 0, 0, 0)};
    const QImage lineup = OriginalLineup(map);
    ASSERT_EQ(lineup.size(), QSize(300, 200));
    EXPECT_EQ(lineup.pixel(5, 5), qRgb(40, 40, 40)) << "background";
    EXPECT_EQ(lineup.pixel(10, 5), qRgb(58, 58, 58)) << "grid column";
    EXPECT_EQ(lineup.pixel(5, 190), qRgb(58, 58, 58)) << "grid row";

    // Window 1 is partly under window 2: its visible corner is bordered and filled.
    EXPECT_EQ(lineup.pixel(20, 30), qRgb(240, 240, 240));
    EXPECT_EQ(lineup.pixel(21, 129), qRgb(240, 240, 240)) << "bottom border";
    EXPECT_EQ(lineup.pixel(22, 126), Rgb(LineupColour(0)));
    // Window 2 is drawn over window 1, border all round.
    for (QPoint p : {QPoint(100, 60), QPoint(249, 60), QPoint(100, 179), QPoint(249, 179), QPoint(100, 100)})
        EXPECT_EQ(lineup.pixel(p), qRgb(240, 240, 240)) << p.x() << "," << p.y();
    EXPECT_EQ(lineup.pixel(247, 177), Rgb(LineupColour(1)));
    // Its number, size and up-mark are drawn: its centre row and its top-left quarter hold more than the fill.
    auto inked = [&](QRect area, std::uint32_t fill) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += lineup.pixel(x, y) != Rgb(fill);
        return n;
    };
    EXPECT_GT(inked(QRect(160, 110, 30, 10), LineupColour(1)), 20) << "the number";
    EXPECT_GT(inked(QRect(101, 61, 74, 59), LineupColour(1)), 50) << "the F and the arrow";
    EXPECT_GT(inked(QRect(101, 140, 148, 25), LineupColour(1)), 50) << "the size";
    EXPECT_EQ(inked(QRect(281, 6, 2, 1), LineupColour(2)), 0) << "a 4 x 3 window has room for no text";
}

TEST(Lineup, WindowsNextInTheListDifferClearly) {
    for (int i = 0; i < 255; ++i) {
        const QColor a = QColor::fromRgb(LineupColour(i)), b = QColor::fromRgb(LineupColour(i + 1));
        const int distance =
            std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
        EXPECT_GT(distance, 90) << i;
    }
}

// The target lineup is the original one carried by the renderer, from a PNG of it as --render reads it.
TEST(Lineup, TargetIsTheRenderedOriginal) {
    std::mt19937 random(25);
    QTemporaryDir dir;
    const std::string path = dir.filePath("original.png").toStdString();
    for (int round = 0; round < 20; ++round) {
        const Map map = testing::RandomValidMap(random, 20, 260, 9);
        const QImage original = OriginalLineup(map);
        ASSERT_TRUE(original.save(QString::fromStdString(path), "png"));
        Picture picture;
        ASSERT_TRUE(picture.Load(path));
        for (CoverMode cover : {CoverMode::None, CoverMode::Same, CoverMode::Different}) {
            SCOPED_TRACE("round " + std::to_string(round) + " cover " + std::to_string(static_cast<int>(cover)));
            const QImage expected = RenderTarget(map, path, picture, cover);
            const QImage target = TargetLineup(map, cover);
            ASSERT_EQ(target.size(), QSize(map.Head.TargetWidth, map.Head.TargetHeight));
            ASSERT_TRUE(target == expected);
        }
    }
}

TEST(Lineup, SizesWithNoPictureAreRefused) {
    Map map;
    map.Head.OriginalWidth = 0;
    std::string why;
    EXPECT_TRUE(OriginalLineup(map, &why).isNull());
    EXPECT_EQ(why, "the original size is 0 x 480");
    map.Head.OriginalWidth = 640;
    map.Head.TargetHeight = 0;
    EXPECT_TRUE(TargetLineup(map, CoverMode::None, &why).isNull());
    EXPECT_EQ(why, "the target size is 640 x 0");
    map.Head.TargetHeight = 65535;
    map.Head.TargetWidth = 65535;
    EXPECT_TRUE(TargetLineup(map, CoverMode::None, &why).isNull());
    EXPECT_EQ(why, "The target area 65535 x 65535 is too large to show (more than 16777216 pixels)");
}

}  // namespace
}  // namespace tesselink

namespace tesselink {
namespace {

// An 8 x 8 wall of 240 x 135 panels on 1920 x 1080, listed in `order`.
Map CabledWall(ArrayOrder order) {
    Map map;
    map.Head = MapFileHead{0, 0, 1920, 1080, 1920, 1080};
    for (const ArrayCell& cell : ArrayCellOrder(8, 8, order))
        map.Windows.push_back(
            MakeWindow(cell.Column * 240, cell.Row * 135, 240, 135, cell.Column * 240, cell.Row * 135, 0));
    return map;
}

QPoint Along(QPointF a, QPointF b, double t) { return (a + (b - a) * t).toPoint(); }

TEST(LineupCabling, TheLineRunsThroughEveryWindowInListOrder) {
    const QRgb line = CablingLineColour.rgb();
    for (const ArrayOrder order : {ArrayOrder::SerpentineRows, MakeArrayOrder(ArrayCorner::BottomRight, true, false)}) {
        const Map map = CabledWall(order);
        const QImage plain = TargetLineup(map, CoverMode::None, false, nullptr);
        const QImage cabled = TargetLineup(map, CoverMode::None, true, nullptr);
        ASSERT_EQ(cabled.size(), QSize(1920, 1080));
        std::vector<QPointF> centres;
        for (const PlaybackWindow& w : map.Windows)
            centres.push_back(WindowCentre(w.TargetStartX, w.TargetStartY, w.PlacedWidth, w.PlacedHeight));
        for (std::size_t i = 1; i < centres.size(); ++i) {
            for (const double t : {0.1, 0.3, 0.45, 0.75, 0.9}) {
                const QPoint p = Along(centres[i - 1], centres[i], t);
                EXPECT_EQ(cabled.pixel(p), line) << "step " << i << " at " << t;
            }
            EXPECT_EQ(cabled.pixel(centres[i].toPoint()), line) << "through window " << i + 1;
        }
        // Between grid neighbours that are not one step apart in the list there is no line.
        int apart = 0;
        for (std::size_t a = 0; a < centres.size(); ++a) {
            for (std::size_t b = a + 2; b < centres.size(); ++b) {
                const QPointF d = centres[b] - centres[a];
                if (std::abs(d.x()) + std::abs(d.y()) > 240.5) continue;  // not grid neighbours
                const QPoint p = Along(centres[a], centres[b], 0.5);
                EXPECT_NE(cabled.pixel(p), line) << a + 1 << " and " << b + 1;
                ++apart;
            }
        }
        EXPECT_GT(apart, 20);
        // The first window is ringed: a dark dot in a light ring; the line is drawn over the
        // lineup only, which is otherwise unchanged.
        const QPoint first = centres[0].toPoint();
        EXPECT_EQ(cabled.pixel(first), CablingEdgeColour.rgb());
        EXPECT_EQ(cabled.pixel(first + QPoint(0, -6)), line);
        EXPECT_NE(plain.pixel(Along(centres[0], centres[1], 0.3)), line);
        EXPECT_EQ(cabled.pixel(30, 30), plain.pixel(30, 30));
    }
}

TEST(LineupCabling, LabelsNameTheRowAndColumnOfAnArrayOrThePlace) {
    // One array of four and a lone window, each drawn with a third line under the size.
    Map map;
    map.Head = MapFileHead{0, 0, 1920, 1080, 1920, 1080};
    map.Windows = {MakeWindow(0, 0, 240, 135, 0, 0, 0), MakeWindow(240, 0, 240, 135, 240, 0, 0),
                   MakeWindow(0, 135, 240, 135, 0, 135, 0), MakeWindow(240, 135, 240, 135, 240, 135, 0),
                   MakeWindow(1000, 500, 300, 200, 1000, 500, 0)};
    const QImage lineup = OriginalLineup(map);
    auto inked = [&](QRect area, std::uint32_t fill) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += lineup.pixel(x, y) != Rgb(fill);
        return n;
    };
    // The line under "240 x 135" (whose box ends about 26 + 17 below the centre).
    EXPECT_GT(inked(QRect(250, 135 + 67 + 45, 220, 12), LineupColour(3)), 30) << "row 2, col 2";
    EXPECT_GT(inked(QRect(1010, 500 + 100 + 50, 280, 14), LineupColour(4)), 30) << "1000,500";
}

}  // namespace
}  // namespace tesselink
