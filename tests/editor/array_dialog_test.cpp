// SPDX-License-Identifier: GPL-3.0-or-later
// Make Array's numbering choice: every order offered, its picture marking the start corner.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "editor/array_dialog.h"
#include "editor/array_order_picture.h"

using namespace tesselink;

namespace {

Map WallOfOne() {
    Map map;
    map.Head = MapFileHead{1, 0, 1920, 1080, 1920, 1080};
    map.Windows = {MakeWindow(0, 0, 240, 135, 0, 0, 0)};
    return map;
}

bool IsStartFill(QRgb c) { return qRed(c) > 230 && qGreen(c) > 170 && qGreen(c) < 230 && qBlue(c) < 60; }

TEST(ArrayDialogTest, OffersSixteenOrdersWithTheDefaultFirstAndEachTakesEffect) {
    ArrayDialog dialog(WallOfOne(), 0);
    QComboBox* box = dialog.OrderBox();
    ASSERT_EQ(box->count(), 16);
    EXPECT_EQ(box->currentText(), "Rows, left to right");
    EXPECT_EQ(dialog.Shape().Order, ArrayOrder::RowsLeftToRight);
    QTest::keyClicks(dialog.RowsEdit(), "\b8");
    QTest::keyClicks(dialog.ColumnsEdit(), "\b8");
    for (int i = 0; i < box->count(); ++i) {
        box->setCurrentIndex(i);
        const ArrayOrder order = dialog.Shape().Order;
        EXPECT_EQ(box->itemText(i).toStdString(), ArrayOrderName(order));
        ASSERT_TRUE(dialog.Plan().Fits) << dialog.Plan().Verdict;
        // The plan follows the choice: its first window sits in the order's start corner.
        const ArrayCorner corner = StartCorner(order);
        const bool right = corner == ArrayCorner::TopRight || corner == ArrayCorner::BottomRight;
        const bool bottom = corner == ArrayCorner::BottomLeft || corner == ArrayCorner::BottomRight;
        EXPECT_EQ(dialog.Plan().First.TargetStartX, right ? 1680 : 0) << i;
        EXPECT_EQ(dialog.Plan().First.TargetStartY, bottom ? 945 : 0) << i;
        // And so does its picture: the start cell filled, the opposite corner not.
        const QImage picture = dialog.findChild<QLabel*>("ArrayOrderPicture")->pixmap().toImage();
        ASSERT_FALSE(picture.isNull());
        const int x = right ? picture.width() - 4 : 3, y = bottom ? picture.height() - 4 : 3;
        const int ox = right ? 3 : picture.width() - 4, oy = bottom ? 3 : picture.height() - 4;
        EXPECT_TRUE(IsStartFill(picture.pixel(x, y))) << i;
        EXPECT_FALSE(IsStartFill(picture.pixel(ox, oy))) << i;
    }
}

TEST(ArrayDialogTest, PicturesOfTheOrdersDifferFromEachOther) {
    std::vector<QImage> pictures;
    for (const ArrayOrder order : ArrayOrdersOffered()) pictures.push_back(ArrayOrderPicture(order, QSize(32, 24)));
    for (std::size_t a = 0; a < pictures.size(); ++a)
        for (std::size_t b = a + 1; b < pictures.size(); ++b) EXPECT_NE(pictures[a], pictures[b]) << a << " " << b;
}

}  // namespace
