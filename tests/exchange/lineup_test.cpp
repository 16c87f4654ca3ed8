// SPDX-License-Identifier: GPL-3.0-or-later
// Lineup pictures: what the original one shows where, and the target one as the renderer makes it.
#include "exchange/lineup.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>

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
