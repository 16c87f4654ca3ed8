// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "views/view_geometry.h"

using namespace tesselink;

namespace {
const ViewRect P{180, 80, 820, 560};
}

TEST(PictureLayoutTest, CentresAcrossAndKeepsEightyAbove) {
    // 640 x 480 at zoom 1 in 1000 x 700: trunc((700 - 480 - 80) / 2) = 70 is raised to 80.
    const PictureLayout l = ComputePictureLayout(1000, 700, 640, 480, 1.0f);
    EXPECT_EQ(l.OffsetX, 180);
    EXPECT_EQ(l.OffsetY, 80);
    EXPECT_EQ(l.Picture, P);
}

TEST(PictureLayoutTest, TargetExampleWithAShortClient) {
    // trunc((400 - 480 - 80) / 2) = -80, raised to 80.
    EXPECT_EQ(ComputePictureLayout(1000, 400, 640, 480, 1.0f).Picture, P);
}

TEST(PictureLayoutTest, NarrowClientKeepsFiveOnTheLeft) {
    const PictureLayout l = ComputePictureLayout(600, 700, 640, 480, 2.0f);
    EXPECT_EQ(l.OffsetX, 5);
    EXPECT_EQ(l.Picture, (ViewRect{5, 80, 1285, 1040}));
    // Exactly 5 and 80 are "5 or less": they stay.
    EXPECT_EQ(ComputePictureLayout(650, 900, 640, 480, 1.0f).OffsetX, 5);
}

TEST(PictureLayoutTest, LargeClientCentresVertically) {
    const PictureLayout l = ComputePictureLayout(1001, 1001, 640, 480, 1.0f);
    EXPECT_EQ(l.OffsetX, 180);  // trunc(180.5)
    EXPECT_EQ(l.OffsetY, 220);  // trunc(220.5)
    EXPECT_EQ(l.Picture, (ViewRect{180, 220, 820, 700}));
}

TEST(PictureLayoutTest, HalfZoomRoundsTheScaledSizeDown) {
    const PictureLayout l = ComputePictureLayout(1000, 700, 641, 481, 0.5f);
    EXPECT_EQ(l.Picture.Width(), 320);  // trunc(320.5 + offset) - offset
    EXPECT_EQ(l.Picture.Height(), 240);
}

TEST(DisplayRectsTest, ZoomOneAndAHalfTakesRightFromTheScaledSize) {
    // left = trunc(5 + 1.5) = 6, right = trunc(1.5 + 5 + 1.5) = 8, not 6 + trunc(1.5) = 7.
    const ViewRect r = PictureToClient(1, 0, 1, 1, 1.5f, 5, 80, 0, 0);
    EXPECT_EQ(r.left, 6);
    EXPECT_EQ(r.right, 8);
}

TEST(DisplayRectsTest, ScrollMovesTheRectangles) {
    const ViewRect r = PictureToClient(10, 10, 100, 50, 2.0f, 180, 80, 30, 7);
    EXPECT_EQ(r, (ViewRect{170, 93, 370, 193}));
}

TEST(DisplayRectsTest, OriginalAndTargetSidesReadTheirOwnFields) {
    const PlaybackWindows windows = {MakeWindow(10, 20, 30, 10, 100, 200, 1)};  // placed 10 x 30
    std::vector<ViewRect> rects;
    ComputeDisplayRects(windows, WindowSide::Original, 640, 480, 1.0f, 180, 80, 0, 0, rects);
    EXPECT_EQ(rects.at(0), (ViewRect{190, 100, 220, 110}));
    ComputeDisplayRects(windows, WindowSide::Target, 640, 480, 1.0f, 180, 80, 0, 0, rects);
    EXPECT_EQ(rects.at(0), (ViewRect{280, 280, 290, 310}));
}

TEST(DisplayRectsTest, StopsAtAWindowLargerThanThePicture) {
    const PlaybackWindows windows = {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(0, 0, 641, 10, 0, 0, 0),
                                     MakeWindow(5, 5, 10, 10, 0, 0, 0)};
    std::vector<ViewRect> rects(3, ViewRect{1, 2, 3, 4});
    ComputeDisplayRects(windows, WindowSide::Original, 640, 480, 1.0f, 180, 80, 0, 0, rects);
    EXPECT_EQ(rects[0], (ViewRect{180, 80, 190, 90}));
    EXPECT_EQ(rects[1], (ViewRect{1, 2, 3, 4})) << "the oversized window keeps its old rectangle";
    EXPECT_EQ(rects[2], (ViewRect{1, 2, 3, 4})) << "and so does every later one";
}

TEST(DisplayRectsTest, TableGrowsBeyondTenThousandWindows) {
    PlaybackWindows windows(10050, MakeWindow(1, 1, 2, 2, 3, 3, 0));
    windows.back() = MakeWindow(7, 8, 2, 2, 3, 3, 0);
    std::vector<ViewRect> rects;
    ComputeDisplayRects(windows, WindowSide::Original, 640, 480, 1.0f, 5, 80, 0, 0, rects);
    ASSERT_EQ(rects.size(), 10050u);
    EXPECT_EQ(rects.back(), (ViewRect{12, 88, 14, 90}));
}

TEST(DisplayToPictureTest, UndoesTheZoom) {
    EXPECT_EQ(DisplayToPicture(ViewRect{200, 100, 400, 200}, 180, 80, 2.0f), (ViewRect{10, 10, 110, 60}));
    // Zoom 1.5, from a rectangle at (6, 80, 8, 82) with the picture at x 5: trunc(1 / 1.5) = 0.
    EXPECT_EQ(DisplayToPicture(ViewRect{6, 80, 8, 82}, 5, 80, 1.5f), (ViewRect{0, 0, 1, 1}));
}

TEST(FrameAfterZoomTest, FollowsThePickedWindowToTheNewScale) {
    // Window (10, 10, 100 x 50) at zoom 2, no scroll, picture at (180, 80).
    const ViewRect f = PlaceFrameAfterZoom(ViewRect{10, 10, 110, 60}, 2.0f, 0, 0, 180, 80);
    EXPECT_EQ(f, (ViewRect{200, 100, 400, 200}));
    EXPECT_EQ(f, PictureToClient(10, 10, 100, 50, 2.0f, 180, 80, 0, 0)) << "frame and outline coincide";
    EXPECT_EQ(PlaceFrameAfterZoom(ViewRect{10, 10, 110, 60}, 2.0f, 50, 30, 180, 80), (ViewRect{150, 70, 350, 170}));
}

TEST(ZoomExtentTest, OriginalMarginIs240OnBothAxes) {
    EXPECT_EQ(ComputeZoomExtent(640, 480, 2.0f, 800, 300, 800, 300, OriginalExtentMarginHeight).Width, 1520);
    EXPECT_EQ(ComputeZoomExtent(640, 480, 2.0f, 800, 300, 800, 300, OriginalExtentMarginHeight).Height, 1200);
}

TEST(ZoomExtentTest, TargetMarginIs180Down) {
    const ExtentSize e = ComputeZoomExtent(640, 480, 2.0f, 800, 300, 800, 300, TargetExtentMarginHeight);
    EXPECT_EQ(e.Width, 1520);
    EXPECT_EQ(e.Height, 1140);
}

TEST(ZoomExtentTest, PictureThatFitsGivesTheClientLessHundred) {
    // 640 > 1000 - 130? no; 480 > 700 - 80? no.
    const ExtentSize e = ComputeZoomExtent(640, 480, 1.0f, 1000, 700, 1000, 700, OriginalExtentMarginHeight);
    EXPECT_EQ(e.Width, 900);
    EXPECT_EQ(e.Height, 600);
    // The threshold is strict: 640 == 770 - 130 still fits.
    EXPECT_EQ(ComputeZoomExtent(640, 480, 1.0f, 770, 560, 770, 560, 240).Width, 670);
    EXPECT_EQ(ComputeZoomExtent(640, 480, 1.0f, 769, 559, 769, 559, 240).Width, 880);
    EXPECT_EQ(ComputeZoomExtent(640, 480, 1.0f, 769, 559, 769, 559, 240).Height, 720);
}

TEST(ZoomExtentTest, HalfStepsTruncate) {
    const ExtentSize e = ComputeZoomExtent(641, 481, 1.5f, 100, 100, 100, 100, TargetExtentMarginHeight);
    EXPECT_EQ(e.Width, 1201);  // trunc(961.5 + 240)
    EXPECT_EQ(e.Height, 901);  // trunc(721.5 + 180)
}

TEST(OverlapTest, TouchingCounts) {
    EXPECT_TRUE(OverlapsOrTouches(ViewRect{0, 0, 180, 80}, P));
    EXPECT_TRUE(OverlapsOrTouches(ViewRect{820, 560, 900, 900}, P));
    EXPECT_FALSE(OverlapsOrTouches(ViewRect{821, 0, 900, 900}, P));
    EXPECT_FALSE(OverlapsOrTouches(ViewRect{0, 0, 179, 900}, P));
}

TEST(ClampTest, FrameOutsideIsPushedBackWithItsSize) {
    EXPECT_EQ(ClampIntoPicture(ViewRect{700, 500, 1000, 700}, P), (ViewRect{520, 360, 820, 560}));
    // 50 pixels beyond the right edge: right edge on 820, width 100 kept.
    EXPECT_EQ(ClampIntoPicture(ViewRect{770, 100, 870, 150}, P), (ViewRect{720, 100, 820, 150}));
    EXPECT_EQ(ClampIntoPicture(ViewRect{100, 50, 200, 100}, P), (ViewRect{180, 80, 280, 130}));
}

TEST(ClampTest, FrameThatFitsIsUntouched) {
    EXPECT_EQ(ClampIntoPicture(ViewRect{200, 100, 300, 150}, P), (ViewRect{200, 100, 300, 150}));
}

TEST(ClampTest, FrameLargerThanThePictureTakesItsExtent) {
    EXPECT_EQ(ClampIntoPicture(ViewRect{100, 100, 900, 150}, P), (ViewRect{180, 100, 820, 150}));
    EXPECT_EQ(ClampIntoPicture(ViewRect{0, 0, 2000, 2000}, P), P);
}

TEST(ClampTest, InvertedFrameKeepsItsSignedSizeThenNormalises) {
    // Dragged inverted across the left edge: w = -50. L = 180, R = 130; then R <= PR, so normalise.
    EXPECT_EQ(ClampIntoPicture(ViewRect{170, 100, 120, 150}, P), (ViewRect{130, 100, 180, 150}));
}

TEST(FrameSizeTest, PictureSizeOfTheFrame) {
    EXPECT_EQ(FrameSizeInPicture(ViewRect{200, 100, 400, 200}, 2.0f).Width, 100);
    EXPECT_EQ(FrameSizeInPicture(ViewRect{200, 100, 400, 200}, 2.0f).Height, 50);
    EXPECT_EQ(FrameSizeInPicture(ViewRect{0, 0, 7, 7}, 1.5f).Width, 4);  // trunc(4.67)
}

namespace {

// The axis of the Original view's example: picture at 180, no scroll.
PictureAxis Axis(float zoom, int length = 640, int offset = 180, int scroll = 0) {
    return PictureAxis{offset, scroll, zoom, length};
}

ViewRect Shown(const ViewRect& picture, const PictureAxis& a, const PictureAxis& d) {
    return {BoundaryToClient(a, picture.left), BoundaryToClient(d, picture.top), BoundaryToClient(a, picture.right),
            BoundaryToClient(d, picture.bottom)};
}

}  // namespace

TEST(FrameToPictureTest, BoundariesAreShownWhereTheDisplayRectanglesAre) {
    // Zoom 1.5, offset 5: window x 1, w 1 is shown from 6 to 8.
    const PictureAxis a = Axis(1.5f, 640, 5);
    EXPECT_EQ(BoundaryToClient(a, 1), 6);
    EXPECT_EQ(BoundaryToClient(a, 2), 8);
    EXPECT_EQ(PictureToClient(1, 0, 1, 1, 1.5f, 5, 0, 0, 0).right, BoundaryToClient(a, 2));
    EXPECT_EQ(BoundaryToClient(Axis(2.0f, 640, 180, 30), 10), 170) << "scrolled";
}

TEST(FrameToPictureTest, NearestBoundaryPrefersExactThenNearestThenPreferred) {
    struct Case {
        float zoom;
        int client;
        float preferred;
        int expected;
    };
    const Case cases[] = {
        {1.0f, 200, 0.0f, 20},                         // exact
        {2.0f, 200, 0.0f, 10},                         // exact at twice the size
        {2.0f, 201, 10.0f, 10},                        // half way: the preferred one
        {2.0f, 201, 11.0f, 11}, {1.5f, 183, 0.0f, 2},  // 1.5 -> 181, 3 -> 184: 184 is nearer
        {0.5f, 190, 20.0f, 20},                        // 20 and 21 are both shown at 190
        {0.5f, 190, 21.0f, 21}, {1.0f, 100, 5.0f, 0},  // left of the picture: its first boundary
        {1.0f, 900, 5.0f, 640},                        // right of it: the last
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NearestBoundary(Axis(c.zoom), c.client, c.preferred, 0, 640), c.expected)
            << "zoom " << c.zoom << " client " << c.client << " preferred " << c.preferred;
    }
}

TEST(FrameToPictureTest, RubberBandBecomesTheWindowUnderIt) {
    // Zoom 1, picture (180, 80, 820, 560): the band (200, 100)-(300, 150).
    const PictureAxis a = Axis(1.0f), d = Axis(1.0f, 480, 80);
    const ViewRect r = PictureRectFromFrame({200, 100, 300, 150}, {}, {}, FrameEdit::NewWindow, a, d);
    EXPECT_EQ(r, (ViewRect{20, 20, 120, 70}));
    const PlaybackWindow w = FillWindowFromRect(MakeWindow(1, 2, 3, 4, 50, 60, 3), r, true, 1);
    EXPECT_EQ(w, MakeWindow(20, 20, 100, 50, 0, 0, 1));
    EXPECT_EQ(w.PlacedWidth, 50);
    EXPECT_EQ(w.PlacedHeight, 100);
    // The band (700, 500)-(1000, 700) moved, not cut, keeps 300 x 200.
    const ViewRect moved = ClampIntoPicture({700, 500, 1000, 700}, {180, 80, 820, 560});
    EXPECT_EQ(moved, (ViewRect{520, 360, 820, 560}));
    EXPECT_EQ(PictureRectFromFrame(moved, {}, {}, FrameEdit::NewWindow, a, d), (ViewRect{340, 280, 640, 480}));
}

TEST(FrameToPictureTest, MoveKeepsTheSizeAndLandsOnTheNearestPixelAtEveryZoom) {
    for (const float zoom : {1.0f, 1.5f, 2.0f, 0.5f}) {
        const PictureAxis a = Axis(zoom), d = Axis(zoom, 480, 80);
        // Windows of odd sizes at odd places, so that half pixels matter.
        const ViewRect start{7, 13, 7 + 7, 13 + 11};
        const ViewRect startFrame = Shown(start, a, d);
        for (int dx = -9; dx <= 9; ++dx) {
            const ViewRect frame = startFrame.Offset(dx, 2 * dx);
            const ViewRect r = PictureRectFromFrame(frame, startFrame, start, FrameEdit::Move, a, d);
            ASSERT_EQ(r.Width(), 7) << zoom << " " << dx;
            ASSERT_EQ(r.Height(), 11) << zoom << " " << dx;
            // Shown at the frame's left or one of the two pixels beside it.
            const int off = BoundaryToClient(a, r.left) - frame.left;
            const int best = std::min(
                std::abs(BoundaryToClient(a, NearestBoundary(a, frame.left, 0, 0, 640)) - frame.left), std::abs(off));
            EXPECT_EQ(std::abs(off), best) << zoom << " " << dx;
            if (dx == 0) {
                EXPECT_EQ(r, start) << "no movement, no change, zoom " << zoom;
            }
        }
    }
}

TEST(FrameToPictureTest, MovePastTheEdgeStopsAtIt) {
    const PictureAxis a = Axis(1.0f), d = Axis(1.0f, 480, 80);
    // The window 20, 20, 100 x 50 dragged 570 to the right: the frame is clamped back first.
    const ViewRect start{20, 20, 120, 70};
    const ViewRect startFrame{200, 100, 300, 150};
    const ViewRect frame = ClampIntoPicture(startFrame.Offset(570, 0), {180, 80, 820, 560});
    EXPECT_EQ(frame, (ViewRect{720, 100, 820, 150}));
    EXPECT_EQ(PictureRectFromFrame(frame, startFrame, start, FrameEdit::Move, a, d), (ViewRect{540, 20, 640, 70}));
    // At 1.5 the frame of a 7-wide window can be 10 or 11 wide; it never ends past the picture.
    const PictureAxis a15 = Axis(1.5f), d15 = Axis(1.5f, 480, 80);
    const ViewRect s{0, 0, 7, 7};
    const ViewRect sf = Shown(s, a15, d15);
    const ViewRect right = ClampIntoPicture(sf.Offset(2000, 0), {180, 80, 1140, 800});
    EXPECT_EQ(PictureRectFromFrame(right, sf, s, FrameEdit::Move, a15, d15), (ViewRect{633, 0, 640, 7}));
}

TEST(FrameToPictureTest, ResizeKeepsTheEdgesThatStayed) {
    for (const float zoom : {1.0f, 1.5f, 2.0f}) {
        const PictureAxis a = Axis(zoom), d = Axis(zoom, 480, 80);
        const ViewRect start{3, 5, 10, 12};
        const ViewRect startFrame = Shown(start, a, d);
        // The right edge dragged: left, top and bottom stay exactly.
        ViewRect frame = startFrame;
        frame.right += 9;
        const ViewRect r = PictureRectFromFrame(frame, startFrame, start, FrameEdit::Resize, a, d);
        EXPECT_EQ(r.left, 3);
        EXPECT_EQ(r.top, 5);
        EXPECT_EQ(r.bottom, 12);
        EXPECT_LE(std::abs(BoundaryToClient(a, r.right) - frame.right), static_cast<int>(zoom)) << zoom;
        // The left edge dragged onto the right one leaves one pixel.
        frame = startFrame;
        frame.left = frame.right;
        EXPECT_EQ(PictureRectFromFrame(frame, startFrame, start, FrameEdit::Resize, a, d), (ViewRect{9, 5, 10, 12}));
    }
}

TEST(NudgeTest, MovesByTheStepAndStopsAtTheEdges) {
    EXPECT_EQ(NudgeInPicture({20, 20, 120, 70}, 1, 0, 640, 480), (ViewRect{21, 20, 121, 70}));
    EXPECT_EQ(NudgeInPicture({20, 20, 120, 70}, 0, -10, 640, 480), (ViewRect{20, 10, 120, 60}));
    EXPECT_EQ(NudgeInPicture({535, 5, 635, 55}, 10, -10, 640, 480), (ViewRect{540, 0, 640, 50}));
    EXPECT_EQ(NudgeInPicture({0, 0, 640, 10}, -1, 0, 640, 480), (ViewRect{0, 0, 640, 10}));
    EXPECT_EQ(NudgeInPicture({0, 0, 700, 10}, 1, 1, 640, 480), (ViewRect{0, 1, 700, 11})) << "too wide: stays across";
}
