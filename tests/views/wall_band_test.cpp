// SPDX-License-Identifier: GPL-3.0-or-later
// Selecting bands on a fully tiled wall, where no empty picture area is left: from the margin
// around the picture, and with Ctrl+Shift from anywhere, through real mouse events.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <QTest>
#include <QUndoStack>

#include "exchange/cabling_path.h"
#include "support/editing_tools.h"
#include "support/recording_message_boxes.h"
#include "view_test_support.h"
#include "views/original_view.h"
#include "views/target_view.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

// An 8 x 8 wall of 240 x 135 windows on a 1920 x 1080 map, numbered rows left to right. At
// zoom 0.5 in a 1000 x 700 viewport each picture lies at (20, 80) to (980, 620) and a window
// is 120 x 67.5 screen pixels.
struct WallFixture : ::testing::Test {
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    RecordingMessageBoxes boxes;
    EditingTools tools{doc, &boxes};
    CTesselinkView original{doc, backdrop, &boxes};
    CRightView target{doc, backdrop};

    WallFixture() {
        Map map;
        map.Head.OriginalWidth = 1920;
        map.Head.OriginalHeight = 1080;
        map.Head.TargetWidth = 1920;
        map.Head.TargetHeight = 1080;
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column)
                map.Windows.push_back(MakeWindow(column * 240, row * 135, 240, 135, column * 240, row * 135, 0));
        doc.ReplaceMap(map);
        for (WindowEditingView* view :
             {static_cast<WindowEditingView*>(&original), static_cast<WindowEditingView*>(&target)}) {
            FixViewport(*view, 1000, 700);
            view->SetToolManager(&tools.Manager);
            view->ZoomObject().SetFactor(0.5f);
        }
        tools.Pick();
    }

    // The screen point of picture point (x, y).
    static QPoint At(float x, float y) { return {20 + static_cast<int>(x * 0.5f), 80 + static_cast<int>(y * 0.5f)}; }
    // The centre of window (row, column) on screen.
    static QPoint CentreOf(int row, int column) { return At(column * 240 + 120, row * 135 + 67); }

    void Band(PictureScrollView& view, QPoint from, QPoint to, Qt::KeyboardModifiers mods = {}) {
        QTest::mousePress(view.viewport(), Qt::LeftButton, mods, from);
        for (int s = 1; s <= 4; ++s) QTest::mouseMove(view.viewport(), from + (to - from) * s / 4);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, mods, to);
    }

    std::vector<int> Selected() const {
        std::vector<int> s = doc.Selection();
        std::sort(s.begin(), s.end());
        return s;
    }
    static std::vector<int> Block(int row0, int row1, int column0, int column1) {
        std::vector<int> s;
        for (int r = row0; r <= row1; ++r)
            for (int c = column0; c <= column1; ++c) s.push_back(r * 8 + c);
        return s;
    }
};

TEST_F(WallFixture, BandFromTheMarginSelectsTheWindowsWhollyInside) {
    ASSERT_EQ(original.PictureRect(), (ViewRect{20, 80, 980, 620}));
    const Map before = doc.GetMap();
    // From above and left of the picture to a little beyond the corner of windows (1, 1).
    Band(original, QPoint(8, 60), At(490, 280));
    EXPECT_EQ(Selected(), Block(0, 1, 0, 1));
    // From below and right of the picture back into it: the part over the picture counts (not
    // the band pushed inside whole), so only the corner window lies inside.
    Band(target, QPoint(995, 690), At(1450, 820));
    EXPECT_EQ(Selected(), Block(7, 7, 7, 7));
    Band(target, QPoint(995, 690), At(1430, 800));
    EXPECT_EQ(Selected(), Block(6, 7, 6, 7));
    // Across the whole wall from one margin to the other.
    Band(original, QPoint(5, 75), QPoint(995, 690));
    EXPECT_EQ(Selected().size(), 64u);
    EXPECT_EQ(doc.GetMap().Windows, before.Windows) << "a band moves nothing";
    EXPECT_EQ(doc.UndoStack().count(), 0);

    // A click in the margin changes nothing, not even the selection.
    QTest::mouseClick(original.viewport(), Qt::LeftButton, {}, QPoint(10, 300));
    EXPECT_EQ(Selected().size(), 64u);

    // With a drawing tool the margin band selects too; on the picture it would draw.
    tools.Draw(0);
    Band(original, QPoint(990, 690), At(1200, 700));
    EXPECT_EQ(Selected(), Block(6, 7, 5, 7));
    EXPECT_EQ(doc.WindowCount(), 64);
}

TEST_F(WallFixture, CtrlShiftBandStartsOnAWindowAndSelectsWhatItTouches) {
    const Map before = doc.GetMap();
    // From the middle of window (2, 2) to the middle of window (4, 5), in both views.
    Band(original, CentreOf(2, 2), CentreOf(4, 5), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Selected(), Block(2, 4, 2, 5));
    Band(target, CentreOf(7, 7), CentreOf(6, 0), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Selected(), Block(6, 7, 0, 7)) << "dragged up and left";
    EXPECT_EQ(doc.GetMap().Windows, before.Windows) << "nothing moved under the band";
    EXPECT_EQ(doc.UndoStack().count(), 0);

    // The same drag without the keys moves the window it started on; Ctrl alone toggles it.
    QTest::mouseClick(original.viewport(), Qt::LeftButton, Qt::ControlModifier, CentreOf(0, 0));
    EXPECT_TRUE(doc.IsSelected(0));
    EXPECT_EQ(Selected().size(), 17u);
    QTest::mouseClick(original.viewport(), Qt::LeftButton, {}, CentreOf(3, 3));
    Band(original, CentreOf(3, 3), CentreOf(3, 3) + QPoint(30, 0));
    EXPECT_EQ(doc.GetPlaybackWindows()[27].OriginalStartX, 3 * 240 + 60);
}

}  // namespace

namespace {

// View > Cabling Order on the same wall: a line through the places' centres in list order.
TEST_F(WallFixture, TheTargetViewDrawsTheCablingLineInListOrderOnlyWhenAsked) {
    const QRgb line = CablingLineColour.rgb();
    const auto centre = [this](int i) {
        const ViewRect& r = target.DisplayRects()[static_cast<std::size_t>(i)];
        return QPointF((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    const auto at = [&](int i, double t) { return (centre(i - 1) + (centre(i) - centre(i - 1)) * t).toPoint(); };
    // Without a picture the view is white, as the line is: its dark edge tells it.
    const QPoint edge(0, 2);
    QImage image = target.RenderViewport();
    EXPECT_NE(image.pixel(at(1, 0.3) + edge), CablingEdgeColour.rgb()) << "off at first";
    target.SetCablingShown(true);
    image = target.RenderViewport();
    EXPECT_EQ(image.pixel(at(1, 0.3) + edge), CablingEdgeColour.rgb());
    for (int i = 1; i < 64; ++i) {
        // The light core on the way from window i to window i + 1, its dark edge beside it.
        const QPointF d = centre(i) - centre(i - 1);
        const QPointF normal = QPointF(-d.y(), d.x()) / std::hypot(d.x(), d.y());
        for (const double t : {0.2, 0.8}) {
            EXPECT_EQ(image.pixel(at(i, t)), line) << i << " " << t;
            // Aliased, the edge lies 2 or 3 pixels out from the middle, on each side.
            int dark = 0;
            for (const double off : {-3.0, -2.0, 2.0, 3.0})
                dark += image.pixel(at(i, t) + (normal * off).toPoint()) == CablingEdgeColour.rgb();
            EXPECT_GE(dark, 2) << i << " " << t;
        }
    }
    // Rows left to right: from the end of one row straight back to the start of the next, and
    // nothing between windows 1 and 9, which lie one above the other.
    EXPECT_EQ(image.pixel(at(8, 0.5)), line);
    const QPoint between = ((centre(0) + centre(8)) / 2).toPoint();
    EXPECT_NE(image.pixel(between + QPoint(2, 0)), CablingEdgeColour.rgb());
    EXPECT_EQ(image.pixel(centre(0).toPoint()), CablingEdgeColour.rgb()) << "the first window ringed";
}

}  // namespace
