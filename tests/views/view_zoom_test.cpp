// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom ladders, the fit zoom, and the zoom commands on real views.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include <QScrollBar>

#include "support/recording_message_boxes.h"
#include "view_test_support.h"
#include "views/original_view.h"
#include "views/target_view.h"
#include "views/view_geometry.h"
#include "views/view_zoom.h"
#include "views/zoom_controller.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

std::vector<float> Walk(ViewZoom& zoom, int direction, bool fine) {
    std::vector<float> seen;
    while (fine ? zoom.StepFine(direction) : zoom.StepBy(direction)) seen.push_back(zoom.Factor());
    return seen;
}

TEST(ViewZoomTest, FineLadderHalvesBelowOneHalfAndStepsByHalvesAbove) {
    ViewZoom zoom;
    EXPECT_EQ(Walk(zoom, -1, true), (std::vector<float>{0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f, 0.015625f}));
    EXPECT_FALSE(zoom.StepFine(-1)) << "the bottom of the ladder";
    const std::vector<float> up = Walk(zoom, +1, true);
    ASSERT_EQ(up.size(), 20u);
    EXPECT_EQ(up[4], 0.5f);
    EXPECT_EQ(up[5], 1.0f);
    EXPECT_EQ(up[6], 1.5f);
    EXPECT_EQ(up.back(), 8.0f);
    // From a factor between two rungs (a fit), the next rung either way.
    zoom.SetFactor(0.3f);
    EXPECT_TRUE(zoom.StepFine(+1));
    EXPECT_EQ(zoom.Factor(), 0.5f);
    zoom.SetFactor(0.3f);
    EXPECT_TRUE(zoom.StepFine(-1));
    EXPECT_EQ(zoom.Factor(), 0.25f);
    zoom.SetFactor(2.2f);
    EXPECT_TRUE(zoom.StepFine(-1));
    EXPECT_EQ(zoom.Factor(), 2.0f);
}

TEST(ViewZoomTest, HalfStepsKeepTheirLimitsAndLandOnHalvesFromAnyFactor) {
    ViewZoom zoom;
    std::vector<float> down = Walk(zoom, -1, false);
    EXPECT_EQ(down, (std::vector<float>{0.5f})) << "minify stops at 0.5";
    std::vector<float> up = Walk(zoom, +1, false);
    ASSERT_EQ(up.size(), 15u);
    for (std::size_t i = 0; i < up.size(); ++i) EXPECT_EQ(up[i], 1.0f + 0.5f * static_cast<float>(i));
    // A fit factor: Magnification goes to the next half above, minify to the next below.
    zoom.SetFactor(1.3f);
    EXPECT_TRUE(zoom.StepBy(+1));
    EXPECT_EQ(zoom.Factor(), 1.5f);
    zoom.SetFactor(1.3f);
    EXPECT_TRUE(zoom.StepBy(-1));
    EXPECT_EQ(zoom.Factor(), 1.0f);
    // Below 0.5 only Magnification moves it, to 0.5.
    zoom.SetFactor(0.2f);
    EXPECT_FALSE(zoom.StepBy(-1));
    EXPECT_EQ(zoom.Factor(), 0.2f);
    EXPECT_TRUE(zoom.StepBy(+1));
    EXPECT_EQ(zoom.Factor(), 0.5f);
}

TEST(FitZoomTest, LargestZoomThatShowsTheWholePictureForManyShapes) {
    const int pictures[][2] = {{1920, 1080}, {640, 480}, {2000, 100},  {100, 2000}, {1, 1},
                               {4096, 4096}, {333, 777}, {1999, 1001}, {8, 8},      {1280, 1}};
    const int clients[][2] = {{1000, 400}, {923, 611}, {1600, 900}, {300, 200}, {131, 81}, {2560, 1440}};
    int checked = 0;
    for (const auto& p : pictures) {
        for (const auto& c : clients) {
            const float z = FitZoom(p[0], p[1], c[0], c[1], ViewZoom::FineMin, ViewZoom::Max);
            SCOPED_TRACE(::testing::Message() << p[0] << "x" << p[1] << " in " << c[0] << "x" << c[1] << ": " << z);
            ASSERT_GE(z, ViewZoom::FineMin);
            ASSERT_LE(z, ViewZoom::Max);
            if (z == ViewZoom::FineMin && !PictureFitsClient(p[0], p[1], z, c[0], c[1])) continue;
            ++checked;
            ASSERT_TRUE(PictureFitsClient(p[0], p[1], z, c[0], c[1]));
            // Whole and inside: the laid-out picture and no scrolling.
            const PictureLayout layout = ComputePictureLayout(c[0], c[1], p[0], p[1], z);
            EXPECT_GE(layout.Picture.left, 0);
            EXPECT_GE(layout.Picture.top, 0);
            EXPECT_LE(layout.Picture.right, c[0]);
            EXPECT_LE(layout.Picture.bottom, c[1]);
            const ExtentSize e = ComputeZoomExtent(p[0], p[1], z, c[0], c[1], c[0], c[1], OriginalExtentMarginHeight);
            EXPECT_LE(e.Width, c[0]);
            EXPECT_LE(e.Height, c[1]);
            // Largest: the next float up no longer fits, unless the top of the range was reached.
            if (z < ViewZoom::Max) {
                EXPECT_FALSE(PictureFitsClient(p[0], p[1], std::nextafter(z, 100.0f), c[0], c[1]));
            }
        }
    }
    EXPECT_GT(checked, 50);
    // A client too small for any zoom gets the lowest one.
    EXPECT_EQ(FitZoom(640, 480, 100, 50, ViewZoom::FineMin, ViewZoom::Max), ViewZoom::FineMin);
}

// Both views with scroll bars as needed, the way the editor has them, over a 1920 x 1080 map.
struct FitFixture : ::testing::Test {
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    RecordingMessageBoxes boxes;
    CTesselinkView original{doc, backdrop, &boxes};
    CRightView target{doc, backdrop};
    ZoomController zoom{original, target};

    FitFixture() {
        Map map;
        map.Head.OriginalWidth = 1920;
        map.Head.OriginalHeight = 1080;
        map.Head.TargetWidth = 1920;
        map.Head.TargetHeight = 1080;
        doc.ReplaceMap(map);
        for (PictureScrollView* view :
             {static_cast<PictureScrollView*>(&original), static_cast<PictureScrollView*>(&target)}) {
            view->resize(900, 560);
            view->show();
        }
        QCoreApplication::processEvents();
    }

    static void ExpectWholePicture(PictureScrollView& view) {
        const QSize port = view.viewport()->size();
        EXPECT_FALSE(view.horizontalScrollBar()->isVisible());
        EXPECT_FALSE(view.verticalScrollBar()->isVisible());
        EXPECT_EQ(view.ScrollX(), 0);
        EXPECT_EQ(view.ScrollY(), 0);
        const ViewRect r = view.PictureRect();
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, port.width());
        EXPECT_LE(r.bottom, port.height());
    }
};

TEST_F(FitFixture, FitShowsTheWholePictureInTheNamedViews) {
    // Scrolled and zoomed in first, so scroll bars take room when Fit is chosen.
    original.ZoomObject().SetFactor(2.0f);
    target.ZoomObject().SetFactor(2.0f);
    QCoreApplication::processEvents();
    ASSERT_TRUE(target.horizontalScrollBar()->isVisible());
    target.SetScrollPosition(500, 300);

    zoom.SetArea(ZoomArea::Target);
    zoom.Fit();
    QCoreApplication::processEvents();
    EXPECT_LT(target.ZoomObject().Factor(), 0.5f) << "a 1920-wide wall in a 900-wide view";
    EXPECT_EQ(original.ZoomObject().Factor(), 2.0f) << "the zoom area names the Target view only";
    ExpectWholePicture(target);

    zoom.SetArea(ZoomArea::All);
    zoom.Fit();
    QCoreApplication::processEvents();
    ExpectWholePicture(original);
    EXPECT_EQ(original.ZoomObject().Factor(), target.ZoomObject().Factor()) << "same picture, same room";
    // A window in the far corner is drawn inside the viewport.
    Map map = doc.GetMap();
    map.Windows = {MakeWindow(1680, 945, 240, 135, 1680, 945, 0)};
    doc.ReplaceMap(map);
    ASSERT_FALSE(target.DisplayRects().empty());
    EXPECT_LE(target.DisplayRects()[0].right, target.viewport()->width());
    EXPECT_LE(target.DisplayRects()[0].bottom, target.viewport()->height());

    // Zoom Out goes on below the fit, Zoom In comes back up the ladder.
    const float fit = target.ZoomObject().Factor();
    zoom.ZoomOut();
    EXPECT_LT(target.ZoomObject().Factor(), fit);
    zoom.ZoomIn();
    zoom.ZoomIn();
    EXPECT_GT(target.ZoomObject().Factor(), fit);
}

}  // namespace
