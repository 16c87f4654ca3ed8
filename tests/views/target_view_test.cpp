// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "picture/area_scale.h"
#include "remap/cover.h"
#include "remap/remap.h"
#include "support/document_setup.h"
#include "support/recording_message_boxes.h"
#include "view_test_support.h"
#include "views/original_view.h"
#include "views/target_view.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

// A document with both picture views, target viewport 1000 x 400. The Original view never
// paints here: the Target view must not depend on it.
struct TargetFixture : ::testing::Test {
    QTemporaryDir dir;
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    RecordingMessageBoxes boxes;
    CTesselinkView original{doc, backdrop, &boxes};
    CRightView target{doc, backdrop};

    TargetFixture() {
        FixViewport(original, 1000, 700);
        FixViewport(target, 1000, 400);
    }

    void Zoom(float z) { target.ZoomObject().SetFactor(z); }

    // The quadrant card with a marker block at (400, 300), planes built.
    void UseCard() {
        const QString path = dir.filePath("card.png");
        QImage image(640, 480, QImage::Format_RGB32);
        ASSERT_TRUE(SaveQuadrantPicture(path, 640, 480));
        ASSERT_TRUE(image.load(path));
        for (int y = 300; y < 310; ++y)
            for (int x = 400; x < 410; ++x) image.setPixel(x, y, MarkerColour);
        ASSERT_TRUE(image.save(path, "PNG"));
        backdrop.SetBackgroundPicturePath(path.toStdString());
    }

    QImage Paint() { return target.RenderViewport(); }
    // Target picture pixel (x, y) at zoom 1, on screen.
    static QRgb At(const QImage& image, int x, int y) { return image.pixel(180 + x, 80 + y); }
};

}  // namespace

TEST_F(TargetFixture, PlaceholderWithoutWindows) {
    const QImage image = Paint();
    EXPECT_EQ(target.PictureRect(), (ViewRect{180, 80, 820, 560}));
    EXPECT_EQ(image.pixel(100, 100), Mint);
    EXPECT_EQ(image.pixel(500, 300), Grey);
    EXPECT_EQ(image.pixel(821, 300), Mint);
    EXPECT_GT(CountPixels(image, 370, 3, 600, 40, IsDark), 20) << "title";
}

TEST_F(TargetFixture, MissingPictureShowsOnlyThePlaceholder) {
    backdrop.SetBackgroundPicturePath(dir.filePath("gone.png").toStdString());
    SetWindows(doc, {MakeWindow(0, 0, 100, 60, 0, 0, 0)});
    const QImage image = Paint();
    EXPECT_EQ(At(image, 0, 30), Grey) << "no outline";
    EXPECT_EQ(CountPixels(image, 0, 0, 1000, 400, IsDark), 0) << "no labels, no title";
}

TEST_F(TargetFixture, RemapsEachWindowWhereTheMapPutsIt) {
    UseCard();
    SetWindows(doc, {MakeWindow(0, 0, 100, 60, 0, 0, 0),            // copy, top-left quadrant
                     MakeWindow(400, 300, 100, 60, 200, 100, 1)});  // quarter turn clockwise
    const QImage image = Paint();
    EXPECT_EQ(At(image, 50, 30), TopLeftColour);
    // The source's top-left marker lands at the footprint's top-right corner (60 x 100 at (200, 100)).
    EXPECT_EQ(At(image, 255, 105), MarkerColour);
    EXPECT_EQ(At(image, 205, 105), BottomRightColour);
    EXPECT_EQ(At(image, 255, 195), BottomRightColour);
    EXPECT_EQ(At(image, 400, 200), Grey) << "uncovered target";
    EXPECT_EQ(At(image, 100, 30), Grey) << "right edge of the copy is exclusive";
    EXPECT_EQ(image.pixel(100, 300), Mint);
    // Outlines: window 1 black, one pixel just inside its place.
    EXPECT_EQ(At(image, 200, 150), qRgb(0, 0, 0));
    EXPECT_EQ(At(image, 259, 150), qRgb(0, 0, 0));
    EXPECT_EQ(At(image, 230, 199), qRgb(0, 0, 0));
    EXPECT_EQ(At(image, 201, 150), BottomRightColour);
}

TEST_F(TargetFixture, SelectedPlaceIsGreenAndNamedInTheStatusBar) {
    UseCard();
    SetWindows(doc, {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(0, 0, 10, 10, 20, 0, 0),
                     MakeWindow(0, 0, 10, 10, 40, 0, 0), MakeWindow(400, 300, 100, 60, 200, 100, 2)});
    SelectTarget(doc, 3);
    const QImage image = Paint();
    // Two green pixels across the left edge, the outer one beside the selection frame's dotted
    // line and away from its handles.
    EXPECT_EQ(At(image, 199, 130), Green);
    EXPECT_EQ(At(image, 199, 170), Green);
    EXPECT_EQ(At(image, 201, 150), BottomRightColour);
    // Anticlockwise: the marker goes to the bottom-left corner.
    EXPECT_EQ(At(image, 205, 195), MarkerColour);
    EXPECT_EQ(target.StatusText(), QStringLiteral("Target view: (x:200,y:100,w:60,h:100)"));
}

TEST_F(TargetFixture, NoPictureYetDrawsOutlinesOverTheErasedBackground) {
    SetWindows(doc, {MakeWindow(0, 0, 100, 60, 10, 10, 0)});
    const QImage image = Paint();
    EXPECT_EQ(At(image, 50, 40), qRgb(255, 255, 255));
    EXPECT_EQ(At(image, 10, 40), qRgb(255, 255, 255)) << "window 0's outline is white";
    EXPECT_GT(CountPixels(image, 160, 60, 200, 76, IsDark), 5) << "labels still drawn";
}

TEST_F(TargetFixture, LeftLabelsStandTwentyPixelsFurtherOut) {
    FixViewport(target, 1000, 700);  // tall enough for the labels below the picture
    const QImage targetImage = Paint();
    const QImage originalImage = original.RenderViewport();
    // "(0,0)" from x 160 in the Target view, from 180 in the Original view.
    EXPECT_GT(CountPixels(targetImage, 160, 60, 180, 76, IsDark), 5);
    EXPECT_EQ(CountPixels(originalImage, 160, 60, 180, 76, IsDark), 0);
    EXPECT_GT(CountPixels(targetImage, 160, 565, 180, 581, IsDark), 0) << "(0,480) below the picture";
}

TEST_F(TargetFixture, CoverRepeatsTheBlockOverTheTarget) {
    UseCard();
    SetWindows(doc, {MakeWindow(0, 0, 100, 60, 0, 0, 0)});
    QImage image = Paint();
    EXPECT_EQ(At(image, 350, 150), Grey) << "no cover: one window only";

    doc.SetCoverOption(CoverFullScreen);
    image = Paint();
    EXPECT_EQ(At(image, 350, 150), TopRightColour) << "tile (3, 2) copies source (300..400, 120..180)";
    EXPECT_EQ(At(image, 620, 100), Grey) << "no partial tile at the right edge";
    // Cover entry 1 (tile column 1) is outlined in WindowColour(1), black.
    EXPECT_EQ(At(image, 100, 30), qRgb(0, 0, 0));
    EXPECT_EQ(At(image, 0, 30), qRgb(255, 255, 255)) << "the map's own window 0 on top, white";
    // 6 x 8 tiles of 100 x 60; the 400-pixel viewport shows target rows 0 to 319, so tiles
    // of rows 0 to 5 only, and their outlines only.
    const auto tiles = [this] {
        std::vector<long long> indexes;
        for (const CoverFrame& f : target.CoverFrames()) indexes.push_back(f.Index);
        return indexes;
    };
    std::vector<long long> expected;
    for (long long i = 0; i < 36; ++i) expected.push_back(i);
    EXPECT_EQ(tiles(), expected);
    ASSERT_GT(target.CoverFrames().size(), 1u);
    EXPECT_EQ(target.CoverFrames()[1].Rect, (ViewRect{280, 80, 380, 140}));
    target.SetScrollExtent(QSize(1000, 1000));
    target.SetScrollPosition(0, 300);
    expected.clear();
    for (long long i = 6 * 3; i < 48; ++i) expected.push_back(i);
    EXPECT_EQ(tiles(), expected) << "scrolled down to target rows 220 to 479";
    EXPECT_EQ(target.CoverFrames().back().Rect, (ViewRect{680, 200, 780, 260}));
    target.SetScrollPosition(0, 0);

    doc.SetCoverOption(CoverFullScreen | CoverDifferentDirection);
    image = Paint();
    // Source tile column 3, row 2 goes to target column 2, row 3: (200, 180).
    EXPECT_EQ(At(image, 250, 200), TopRightColour);
    // Target tile column 3, row 2 now comes from source column 2, row 3: (250, 210) is top-left.
    EXPECT_EQ(At(image, 350, 150), TopLeftColour);
    EXPECT_EQ(At(image, 620, 100), Grey) << "only 6 tile columns in the target";
}

// Three 1 x 1 windows over 2000 x 2000 pictures are 12 million cover windows; the cover is
// drawn all the same, the original copied or transposed, and only the tiles on screen are
// outlined. At zoom 3 a tile is 3 x 3 screen pixels: its outline is the ring, the picture
// shows in the middle.
TEST_F(TargetFixture, ACoverOfMillionsOfWindowsIsDrawnAndOutlinedWhereShown) {
    Map map;
    map.Head.OriginalWidth = map.Head.OriginalHeight = map.Head.TargetWidth = map.Head.TargetHeight = 2000;
    map.Windows = {MakeWindow(0, 0, 1, 1, 0, 0, 1), MakeWindow(0, 0, 1, 1, 0, 0, 0), MakeWindow(0, 0, 1, 1, 0, 0, 5)};
    doc.ReplaceMap(map);
    UseCard();
    Zoom(3.0f);
    const ColourPlanes& planes = backdrop.Background().Planes();
    const auto plane = [&](int x, int y) {
        const std::size_t i = static_cast<std::size_t>(y) * 2000 + x;
        return qRgb(planes.Red()[i], planes.Green()[i], planes.Blue()[i]);
    };
    for (const CoverMode mode : {CoverMode::Same, CoverMode::Different}) {
        doc.SetCoverOption(mode == CoverMode::Same ? CoverFullScreen : CoverFullScreen | CoverDifferentDirection);
        const QImage image = Paint();
        const ViewRect p = target.PictureRect();
        // The tiles on screen, three windows each: about 333 x 107 of them, not 4 million.
        EXPECT_LT(target.CoverFrames().size(), 3u * 340 * 110);
        EXPECT_GT(target.CoverFrames().size(), 3u * 330 * 100);
        for (const auto& [x, y] : {std::pair{1, 0}, {0, 1}, {117, 33}, {300, 2}, {5, 100}}) {
            EXPECT_EQ(image.pixel(p.left + 3 * x + 1, p.top + 3 * y + 1),
                      mode == CoverMode::Same ? plane(x, y) : plane(y, x))
                << x << "," << y << " mode " << static_cast<int>(mode);
        }
    }
}

TEST_F(TargetFixture, ZoomTwoScalesTheTargetPicture) {
    UseCard();
    SetWindows(doc, {MakeWindow(0, 0, 100, 60, 0, 0, 0), MakeWindow(400, 300, 100, 60, 200, 100, 0)});
    Zoom(2.0f);
    const QImage image = Paint();
    EXPECT_EQ(target.PictureRect(), (ViewRect{5, 80, 1285, 1040}));
    EXPECT_EQ(image.pixel(5 + 100, 80 + 60), TopLeftColour);
    EXPECT_EQ(image.pixel(5 + 2 * 205, 80 + 2 * 105), MarkerColour);
    EXPECT_EQ(image.pixel(5 + 2 * 215, 80 + 2 * 105), BottomRightColour);
    EXPECT_EQ(image.pixel(5 + 2 * 300, 80 + 2 * 60), Grey);
    EXPECT_EQ(target.DisplayRects()[1], (ViewRect{405, 280, 605, 400}));
}

TEST_F(TargetFixture, HalfStepZoomsAverageTheTargetPicture) {
    UseCard();
    SetWindows(doc, {MakeWindow(0, 0, 100, 60, 0, 0, 0), MakeWindow(400, 300, 100, 60, 200, 100, 0)});
    Zoom(1.5f);
    QImage image = Paint();
    EXPECT_EQ(target.PictureRect(), (ViewRect{20, 80, 980, 800}));  // trunc((1000 - 960) / 2)
    EXPECT_EQ(image.pixel(20 + 75, 80 + 45), TopLeftColour);
    EXPECT_EQ(image.pixel(20 + 300 + 7, 80 + 150 + 7), MarkerColour) << "the 10 x 10 marker, 15 x 15 on screen";
    EXPECT_EQ(image.pixel(20 + 450, 80 + 30), Grey);

    Zoom(0.5f);
    image = Paint();
    EXPECT_EQ(target.PictureRect(), (ViewRect{340, 80, 660, 320}));
    EXPECT_EQ(image.pixel(340 + 25, 80 + 15), TopLeftColour);
    EXPECT_EQ(image.pixel(340 + 102, 80 + 52), MarkerColour);
    EXPECT_EQ(image.pixel(339, 100), Mint);
}

TEST_F(TargetFixture, PartialBuildMatchesScalingTheWholeTargetPicture) {
    // A picture with detail everywhere, one window turning all of it half round.
    QImage detail(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) detail.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255));
    const QString path = dir.filePath("detail.png");
    ASSERT_TRUE(detail.save(path, "PNG"));
    backdrop.SetBackgroundPicturePath(path.toStdString());
    original.RenderViewport();
    SetWindows(doc, {MakeWindow(0, 0, 640, 480, 0, 0, 5)});

    TargetPlanes planes;
    RemapWindows(backdrop.Background().Planes(), doc.GetPlaybackWindows(), 640, 480, planes);
    QImage whole(640, 480, QImage::Format_RGB32);
    TargetPlanesToRgb32(planes, reinterpret_cast<std::uint32_t*>(whole.bits()), whole.bytesPerLine() / 4);

    target.SetScrollExtent(QSize(4000, 4000));
    for (float zoom : {1.5f, 0.5f, 2.5f}) {
        Zoom(zoom);
        target.SetScrollPosition(zoom > 1 ? 137 : 0, zoom > 1 ? 93 : 0);
        const QImage image = Paint();
        const QSize fullSize(static_cast<int>(640 * zoom), static_cast<int>(480 * zoom));
        const QImage reference = ScaleAreaAverage(whole, whole.rect(), fullSize, QRect(QPoint(0, 0), fullSize));
        const ViewRect pr = target.PictureRect();
        int compared = 0;
        // Inside the outline, on screen.
        for (int y = std::max(pr.top + 2, 0); y < std::min(pr.bottom - 2, 400); y += 3) {
            for (int x = std::max(pr.left + 2, 0); x < std::min(pr.right - 2, 1000); x += 3) {
                ASSERT_EQ(image.pixel(x, y), reference.pixel(x - pr.left, y - pr.top))
                    << zoom << " at " << x << "," << y;
                ++compared;
            }
        }
        EXPECT_GT(compared, 1000) << zoom;
    }
}

TEST_F(TargetFixture, ZoomMovesTheSelectionFrameToTheNewOutline) {
    SetWindows(doc, {MakeWindow(0, 0, 100, 60, 10, 20, 0)});
    SelectTarget(doc, 0);
    EXPECT_EQ(target.SelectionFrame().Rect, (ViewRect{190, 100, 290, 160}));
    EXPECT_EQ(target.SelectionPictureRect(), (ViewRect{10, 20, 110, 80}));

    Zoom(2.0f);
    EXPECT_EQ(target.SelectionFrame().Rect, target.DisplayRects()[0]);
    EXPECT_EQ(target.DisplayRects()[0], (ViewRect{25, 120, 225, 240}));
    Paint();
    EXPECT_EQ(target.SelectionFrame().Rect, target.DisplayRects()[0]);

    SelectTarget(doc, -1);
    EXPECT_TRUE(target.SelectionFrame().IsHidden());
}

TEST_F(TargetFixture, EmptyTargetPaintsSafelyAtAnyZoom) {
    UseCard();
    SetWindows(doc, {MakeWindow(0, 0, 10, 10, 0, 0, 0)});
    SetHeadSize(doc, &MapFileHead::TargetWidth, 0);
    SetHeadSize(doc, &MapFileHead::TargetHeight, 0);
    for (float zoom : {1.0f, 1.5f, 0.5f}) {
        Zoom(zoom);
        const QImage image = Paint();
        EXPECT_EQ(image.pixel(500, 300), Mint) << zoom;
    }
}

TEST_F(TargetFixture, ExtentsForZoomAndStart) {
    target.OnInitialUpdate();
    EXPECT_EQ(target.ScrollExtent(), QSize(500, 1000));
    EXPECT_EQ(target.ScrollX(), 0);
    EXPECT_EQ(target.ScrollY(), 0);
    FixViewport(target, 800, 300);
    Zoom(2.0f);
    EXPECT_EQ(target.ScrollExtent(), QSize(1520, 1140));
}
