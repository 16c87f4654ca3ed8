// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "views/rect_tracker.h"

using namespace tesselink;

namespace {

RectTracker TrackerAt(ViewRect r) {
    RectTracker t;
    t.Rect = r;
    return t;
}

QImage DrawOnWhite(const RectTracker& t) {
    QImage image(120, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    t.Draw(painter);
    return image;
}

int BlackPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == qRgb(0, 0, 0);
    return n;
}

}  // namespace

TEST(RectTrackerHit, HandlesLieOutsideTheRectangle) {
    const RectTracker t = TrackerAt({100, 100, 200, 160});
    EXPECT_EQ(t.HitTest(97, 97), HitTopLeft);
    EXPECT_EQ(t.HitTest(94, 94), HitTopLeft);
    EXPECT_EQ(t.HitTest(202, 97), HitTopRight);
    EXPECT_EQ(t.HitTest(205, 165), HitBottomRight);
    EXPECT_EQ(t.HitTest(97, 162), HitBottomLeft);
    EXPECT_EQ(t.HitTest(150, 97), HitTop);
    EXPECT_EQ(t.HitTest(203, 130), HitRight);
    EXPECT_EQ(t.HitTest(150, 163), HitBottom);
    EXPECT_EQ(t.HitTest(96, 130), HitLeft);
}

TEST(RectTrackerHit, InsideOutsideAndBetweenHandles) {
    const RectTracker t = TrackerAt({100, 100, 200, 160});
    EXPECT_EQ(t.HitTest(150, 130), HitMiddle);
    EXPECT_EQ(t.HitTest(100, 100), HitMiddle);
    EXPECT_EQ(t.HitTest(300, 300), HitNothing);
    EXPECT_EQ(t.HitTest(120, 97), HitNothing) << "the band between two handles is not the frame";
    EXPECT_EQ(t.HitTest(93, 93), HitNothing);
    EXPECT_EQ(t.HitTest(206, 130), HitNothing);
}

TEST(RectTrackerHit, InvertedRectangleHitsLikeItsNormalForm) {
    const RectTracker inverted = TrackerAt({200, 160, 100, 100});
    EXPECT_EQ(inverted.HitTest(97, 97), HitTopLeft);
    EXPECT_EQ(inverted.HitTest(205, 165), HitBottomRight);
    EXPECT_EQ(inverted.HitTest(150, 130), HitMiddle);
}

TEST(RectTrackerHit, SmallFrameShowsOnlyCornerHandles) {
    const RectTracker t = TrackerAt({100, 100, 110, 110});
    EXPECT_EQ(t.HitTest(97, 97), HitTopLeft);
    EXPECT_EQ(t.HitTest(105, 97), HitNothing);
    EXPECT_EQ(t.HitTest(105, 105), HitMiddle);
}

TEST(RectTrackerHit, HiddenFrameIsNeverHit) {
    const RectTracker t = TrackerAt(HiddenFrameRect);
    EXPECT_EQ(t.HitTest(-100, -100), HitNothing);
    EXPECT_EQ(t.HitTest(-203, -203), HitNothing);
}

TEST(RectTrackerDraw, WhenItIsDrawn) {
    EXPECT_FALSE(TrackerAt(HiddenFrameRect).IsDrawable());
    EXPECT_FALSE(TrackerAt({-200, -200, 50, 50}).IsDrawable()) << "hidden is a matter of left and top";
    EXPECT_FALSE(TrackerAt({30, 30, 30, 30}).IsDrawable());
    EXPECT_TRUE(TrackerAt({30, 30, 30, 60}).IsDrawable()) << "zero width but some height is drawn";
    EXPECT_TRUE(TrackerAt({-200, 10, 0, 20}).IsDrawable());
}

TEST(RectTrackerDraw, HiddenAndEmptyFramesLeaveThePictureAlone) {
    EXPECT_EQ(BlackPixels(DrawOnWhite(TrackerAt(HiddenFrameRect))), 0);
    EXPECT_EQ(BlackPixels(DrawOnWhite(TrackerAt({30, 30, 30, 30}))), 0);
}

TEST(RectTrackerDraw, DottedOutlineAndSolidHandles) {
    const QImage image = DrawOnWhite(TrackerAt({20, 20, 80, 60}));
    // Corner handles: 6 x 6 solid squares just outside the corners.
    for (int y = 14; y < 20; ++y)
        for (int x = 14; x < 20; ++x) ASSERT_EQ(image.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
    EXPECT_EQ(image.pixel(82, 62), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(86, 66), qRgb(255, 255, 255));
    // The outline runs on the first row, dotted: some pixels black, some not.
    int black = 0;
    for (int x = 22; x < 44; ++x) black += image.pixel(x, 20) == qRgb(0, 0, 0);
    EXPECT_GT(black, 5);
    EXPECT_LT(black, 17);
    EXPECT_EQ(image.pixel(50, 40), qRgb(255, 255, 255)) << "the inside is not filled";
    EXPECT_EQ(image.pixel(22, 19), qRgb(255, 255, 255)) << "nothing between the handles outside";
}

TEST(RectTrackerTrack, HandlesMoveTheirCornerOrEdgeAndTheInsideMovesAll) {
    struct Case {
        int hit;
        ViewRect expected;  // after moving the mouse by (+10, +20)
    };
    const Case cases[] = {
        {HitTopLeft, {110, 120, 200, 160}},     {HitTopRight, {100, 120, 210, 160}},
        {HitBottomRight, {100, 100, 210, 180}}, {HitBottomLeft, {110, 100, 200, 180}},
        {HitTop, {100, 120, 200, 160}},         {HitRight, {100, 100, 210, 160}},
        {HitBottom, {100, 100, 200, 180}},      {HitLeft, {110, 100, 200, 160}},
        {HitMiddle, {110, 120, 210, 180}},
    };
    for (const Case& c : cases) {
        RectTracker t = TrackerAt({100, 100, 200, 160});
        t.BeginTrack(c.hit, 150, 130);
        EXPECT_TRUE(t.TrackTo(155, 140));
        EXPECT_TRUE(t.TrackTo(160, 150));
        EXPECT_EQ(t.Rect, c.expected) << "hit " << c.hit;
        EXPECT_EQ(t.TrackedHit(), c.hit);
        t.EndTrack();
        EXPECT_FALSE(t.IsTracking());
        EXPECT_EQ(t.Rect, c.expected);
    }
}

TEST(RectTrackerTrack, InvertsPastTheOppositeEdge) {
    RectTracker t = TrackerAt({100, 100, 200, 160});
    t.BeginTrack(HitLeft, 97, 130);
    t.TrackTo(257, 130);
    EXPECT_EQ(t.Rect, (ViewRect{260, 100, 200, 160}));
}

TEST(RectTrackerTrack, PressWithoutMovementAndCancelLeaveTheRectangle) {
    RectTracker t = TrackerAt({100, 100, 200, 160});
    t.BeginTrack(HitMiddle, 150, 130);
    EXPECT_FALSE(t.TrackTo(150, 130));
    EXPECT_FALSE(t.Moved());
    t.TrackTo(300, 300);
    EXPECT_TRUE(t.Moved());
    t.CancelTrack();
    EXPECT_FALSE(t.IsTracking());
    EXPECT_EQ(t.Rect, (ViewRect{100, 100, 200, 160}));
    EXPECT_FALSE(t.TrackTo(400, 400)) << "nothing follows the mouse after a cancel";
}

TEST(RectTrackerTrack, RubberBandFollowsTheMouseFromThePressPoint) {
    RectTracker t = TrackerAt({100, 100, 200, 160});
    t.BeginRubberBand(300, 200);
    EXPECT_TRUE(t.IsRubberBand());
    EXPECT_EQ(t.Rect, (ViewRect{300, 200, 300, 200}));
    t.TrackTo(250, 260);
    EXPECT_EQ(t.Rect, (ViewRect{300, 200, 250, 260})) << "inverted across";
    t.CancelTrack();
    EXPECT_EQ(t.Rect, (ViewRect{100, 100, 200, 160}));
}

TEST(RectTrackerTrack, CursorsMatchTheHandles) {
    EXPECT_EQ(RectTracker::CursorForHit(HitTopLeft), Qt::SizeFDiagCursor);
    EXPECT_EQ(RectTracker::CursorForHit(HitBottomLeft), Qt::SizeBDiagCursor);
    EXPECT_EQ(RectTracker::CursorForHit(HitBottom), Qt::SizeVerCursor);
    EXPECT_EQ(RectTracker::CursorForHit(HitLeft), Qt::SizeHorCursor);
    EXPECT_EQ(RectTracker::CursorForHit(HitMiddle), Qt::SizeAllCursor);
    EXPECT_EQ(RectTracker::CursorForHit(HitNothing), Qt::ArrowCursor);
}
