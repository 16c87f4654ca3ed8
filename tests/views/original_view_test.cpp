// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "support/document_setup.h"
#include "support/event_wait.h"
#include "support/recording_message_boxes.h"
#include "view_test_support.h"
#include "views/original_view.h"
#include "views/view_drawing.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

// A document with an Original view of a 1000 x 700 viewport and a folder for pictures.
struct OriginalFixture : ::testing::Test {
    QTemporaryDir dir;
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    RecordingMessageBoxes boxes;
    CTesselinkView view{doc, backdrop, &boxes};

    OriginalFixture() { FixViewport(view, 1000, 700); }

    std::string Quadrants(const QString& name, int w, int h) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(SaveQuadrantPicture(path, w, h));
        return path.toStdString();
    }

    QImage Paint() { return view.RenderViewport(); }
    // What a scroll or a resize makes the view do: the layout again, the picture file looked at.
    void Relayout() {
        view.resize(view.width() + 1, view.height());
        view.resize(view.width() - 1, view.height());
    }
};

void Flush() { QCoreApplication::processEvents(); }

// The watch on the picture file reports a change a little after it.
using tesselink::testing::HandleEventsUntil;

}  // namespace

TEST_F(OriginalFixture, PictureCentredOnTheMintBackground) {
    backdrop.SetBackgroundPicturePath(Quadrants("card.png", 640, 480));
    const QImage image = Paint();
    ASSERT_EQ(image.size(), QSize(1000, 700));
    EXPECT_EQ(view.PictureRect(), (ViewRect{180, 80, 820, 560}));
    EXPECT_EQ(image.pixel(100, 300), Mint);
    EXPECT_EQ(image.pixel(179, 300), Mint);
    EXPECT_EQ(image.pixel(820, 300), Mint) << "right edge is exclusive";
    EXPECT_EQ(image.pixel(180, 300), TopLeftColour);
    EXPECT_EQ(image.pixel(190, 90), TopLeftColour);
    EXPECT_EQ(image.pixel(819, 559), BottomRightColour);
    EXPECT_EQ(image.pixel(500, 319), TopRightColour);  // picture (320, 239)
    EXPECT_EQ(image.pixel(499, 320), BottomLeftColour);
    EXPECT_EQ(image.pixel(500, 650), Mint);
    EXPECT_EQ(backdrop.Background().Source().StretchBackground, 0);
}

TEST_F(OriginalFixture, NoPictureShowsGreyAndTheCornerLabels) {
    view.show();
    const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(1000, 700));
    EXPECT_EQ(image.pixel(500, 300), Grey);
    EXPECT_EQ(image.pixel(100, 300), Mint);
    // "(0,0)" starts at the picture's left edge, 20 above it; nothing stands further left.
    EXPECT_GT(CountPixels(image, 180, 60, 215, 76, IsDark), 5);
    EXPECT_EQ(CountPixels(image, 150, 60, 180, 76, IsDark), 0);
    EXPECT_GT(CountPixels(image, 180, 565, 240, 581, IsDark), 5) << "(0,480)";
    EXPECT_GT(CountPixels(image, 830, 60, 880, 76, IsDark), 5) << "(640,0)";
    EXPECT_GT(CountPixels(image, 830, 565, 900, 581, IsDark), 5) << "(640,480)";
    EXPECT_GT(CountPixels(image, 370, 3, 600, 40, IsDark), 20) << "title";
    // The title's ink is centred over the view, whichever face draws it.
    int left = 1000, right = -1;
    for (int x = 0; x < 1000; ++x)
        if (CountPixels(image, x, 3, x + 1, 40, IsDark) > 0) left = std::min(left, x), right = std::max(right, x);
    EXPECT_NEAR((left + right) / 2, 500, 12) << left << ".." << right;
    Flush();
    EXPECT_TRUE(boxes.Shown.empty()) << "no path, no complaint";
}

TEST_F(OriginalFixture, MissingPictureIsReportedOnceAfterTheEventThatFoundIt) {
    const std::string missing = dir.filePath("gone.jpg").toStdString();
    backdrop.SetBackgroundPicturePath(missing);
    const QImage image = Paint();
    EXPECT_EQ(image.pixel(500, 300), Grey);
    EXPECT_TRUE(boxes.Shown.empty()) << "no box from inside the relayout";
    Flush();
    ASSERT_EQ(boxes.Shown.size(), 1u);
    const UserMessage expected = PlainMessage(
        "Tesselink", "can't find " + missing + "\nplease Select background picture", MessageOwner::OriginalView);
    EXPECT_EQ(boxes.Shown[0], expected);

    Paint();
    Relayout();
    Relayout();
    Flush();
    EXPECT_EQ(boxes.Shown.size(), 1u) << "relayouts do not repeat the box";

    // The file comes back, then goes again: one more report, with no relayout of our own.
    ASSERT_TRUE(SaveQuadrantPicture(QString::fromStdString(missing), 640, 480));
    ASSERT_TRUE(HandleEventsUntil([&] { return backdrop.BackgroundFile().Exists(); })) << "the watch sees it come";
    Flush();
    EXPECT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(Paint().pixel(190, 90), TopLeftColour) << "found again";
    ASSERT_TRUE(QFile::remove(QString::fromStdString(missing)));
    ASSERT_TRUE(HandleEventsUntil([&] { return boxes.Shown.size() == 2u; })) << "the watch sees it go";

    // Another missing path is reported too.
    backdrop.SetBackgroundPicturePath(dir.filePath("other.jpg").toStdString());
    Flush();
    ASSERT_EQ(boxes.Shown.size(), 3u);
    EXPECT_NE(boxes.Shown[2].Text.find("other.jpg"), std::string::npos);
}

TEST_F(OriginalFixture, APictureThatIsAFifoIsReportedAsSuchNotAsMissing) {
    const std::string fifo = dir.filePath("pipe.jpg").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    backdrop.SetBackgroundPicturePath(fifo);
    EXPECT_EQ(Paint().pixel(500, 300), Grey);
    Flush();
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text,
              "Cannot use the picture " + fifo + ": is not a regular file\nplease Select background picture");
}

TEST_F(OriginalFixture, LargerPictureShowsItsCentreUnscaled) {
    // 1024 x 768 magenta with a marker at the centre crop's top-left (192, 144).
    const QString path = dir.filePath("big.png");
    ASSERT_TRUE(SaveMarkedPicture(path, 1024, 768, qRgb(255, 0, 255), 192, 144, 4));
    backdrop.SetBackgroundPicturePath(path.toStdString());
    const QImage image = Paint();
    EXPECT_EQ(view.PlaneOriginX(), 192);
    EXPECT_EQ(view.PlaneOriginY(), 144);
    EXPECT_EQ(backdrop.Background().Source().StretchBackground, 0);
    EXPECT_EQ(image.pixel(180, 80), MarkerColour);
    EXPECT_EQ(image.pixel(183, 83), MarkerColour);
    EXPECT_EQ(image.pixel(184, 84), qRgb(255, 0, 255));
    ASSERT_TRUE(backdrop.Background().Planes().IsPresent());
    EXPECT_EQ(backdrop.Background().Planes().Width(), 640);
    EXPECT_EQ(backdrop.Background().Planes().Red()[0], 255);
    EXPECT_EQ(backdrop.Background().Planes().Green()[0], 0);
    EXPECT_EQ(backdrop.Background().Planes().Blue()[4], 255) << "magenta beside the marker";
}

TEST_F(OriginalFixture, SmallerPictureIsStretchedOverTheWholeArea) {
    backdrop.SetBackgroundPicturePath(Quadrants("small.png", 320, 240));
    const QImage image = Paint();
    EXPECT_EQ(backdrop.Background().Source().StretchBackground, 1);
    EXPECT_EQ(image.pixel(181, 81), TopLeftColour);
    EXPECT_EQ(image.pixel(818, 558), BottomRightColour);
    EXPECT_EQ(image.pixel(495, 100), TopLeftColour);
    EXPECT_EQ(image.pixel(505, 100), TopRightColour);
    ASSERT_TRUE(backdrop.Background().Planes().IsPresent());
    const std::size_t last = 640 * 480 - 1;
    EXPECT_EQ(backdrop.Background().Planes().Red()[last], 200);
    EXPECT_EQ(backdrop.Background().Planes().Blue()[last], 30);
}

TEST_F(OriginalFixture, UndecodablePictureIsGreyWithoutAComplaint) {
    const QString path = dir.filePath("broken.png");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is no picture");
    }
    backdrop.SetBackgroundPicturePath(path.toStdString());
    const QImage image = Paint();
    EXPECT_EQ(image.pixel(500, 300), Grey);
    EXPECT_EQ(backdrop.Background().Source().StretchBackground, 1);
    Flush();
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(OriginalFixture, OutlinesInWindowColoursAndTheSelectedOneGreen) {
    backdrop.SetBackgroundPicturePath(Quadrants("card.png", 640, 480));
    SetWindows(doc, {MakeWindow(10, 10, 100, 50, 0, 0, 0), MakeWindow(200, 20, 60, 40, 0, 0, 0),
                     MakeWindow(20, 300, 80, 80, 0, 0, 3)});
    SelectOriginal(doc, 1);
    const QImage image = Paint();
    ASSERT_EQ(view.DisplayRects().size(), 3u);
    EXPECT_EQ(view.DisplayRects()[2], (ViewRect{200, 380, 280, 460}));

    // Window 2: a one-pixel frame just inside, RGB(218,40,4).
    EXPECT_EQ(image.pixel(200, 420), qRgb(218, 40, 4));
    EXPECT_EQ(image.pixel(279, 420), qRgb(218, 40, 4));
    EXPECT_EQ(image.pixel(240, 459), qRgb(218, 40, 4));
    EXPECT_EQ(image.pixel(201, 420), BottomLeftColour);
    EXPECT_EQ(image.pixel(199, 420), BottomLeftColour);
    // Window 0 in white.
    EXPECT_EQ(image.pixel(190, 110), qRgb(255, 255, 255));
    // Window 1 selected: two green pixels across its left edge (380, 100..140), the outer one
    // beside the selection frame's dotted line, away from its handles.
    EXPECT_EQ(image.pixel(379, 110), Green);
    EXPECT_EQ(image.pixel(379, 130), Green);
    EXPECT_EQ(image.pixel(381, 120), TopLeftColour);
    EXPECT_EQ(image.pixel(420, 99), Green);

    EXPECT_EQ(view.StatusText(), QStringLiteral("Original view: (x:200,y:20,w:60,h:40)"));
}

TEST_F(OriginalFixture, ColourPlanesFollowPathAndOriginalSizeWithoutAPaint) {
    backdrop.SetBackgroundPicturePath(Quadrants("card.png", 640, 480));
    ASSERT_TRUE(backdrop.Background().Planes().IsPresent());
    EXPECT_EQ(backdrop.Background().Planes().Width(), 640);
    EXPECT_EQ(backdrop.Background().Planes().Red()[0], 200);

    SetHeadSize(doc, &MapFileHead::OriginalWidth, 320);
    EXPECT_EQ(backdrop.Background().Planes().Width(), 320);
    EXPECT_EQ(backdrop.Background().Planes().Red()[0], 200) << "the centred crop starts in the top-left quadrant";

    const QString marked = dir.filePath("marked.png");
    ASSERT_TRUE(SaveMarkedPicture(marked, 640, 480, qRgb(0, 0, 255), 160, 0, 4));
    backdrop.SetBackgroundPicturePath(marked.toStdString());
    EXPECT_EQ(backdrop.Background().Planes().Red()[0], 255) << "the marker of the new picture";
    EXPECT_EQ(backdrop.Background().Planes().Blue()[4], 255);
}

TEST_F(OriginalFixture, RepaintsKeepTheDecodedPictureUntilTheFileChanges) {
    const QString path = dir.filePath("card.png");
    ASSERT_TRUE(SaveQuadrantPicture(path, 640, 480));
    backdrop.SetBackgroundPicturePath(path.toStdString());
    EXPECT_EQ(Paint().pixel(190, 90), TopLeftColour);

    // Same size, same time stamp, other bytes (a decode would now fail or differ): neither a
    // relayout nor the watch's look at the file reads it again.
    const QDateTime stamp = QFileInfo(path).lastModified();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        ASSERT_GT(bytes.size(), 100);
        bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x55);  // same length
        f.seek(0);
        f.write(bytes);
        f.close();
        QFile touched(path);
        ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
        ASSERT_TRUE(touched.setFileTime(stamp, QFileDevice::FileModificationTime));
        touched.close();
        const QImage decodedNow(path);
        ASSERT_TRUE(decodedNow.isNull() || decodedNow.pixel(10, 10) != TopLeftColour)
            << "the changed bytes must show if the file were read again";
    }
    Relayout();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 400) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(Paint().pixel(190, 90), TopLeftColour);

    // A new picture under the same name, with a new time stamp, shows once the watch sees it.
    QFile::remove(path);
    ASSERT_TRUE(SaveMarkedPicture(path, 640, 480, qRgb(9, 9, 9), 0, 0, 20));
    QFile touched(path);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(stamp.addSecs(5), QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_EQ(Paint().pixel(190, 90), TopLeftColour) << "a paint reads no file";
    ASSERT_TRUE(HandleEventsUntil([&] { return Paint().pixel(190, 90) == MarkerColour; }));
    const QImage image = Paint();
    EXPECT_EQ(image.pixel(190, 90), MarkerColour);
    EXPECT_EQ(image.pixel(500, 300), qRgb(9, 9, 9));
}

TEST_F(OriginalFixture, ZoomSetsTheExtentWithMargins) {
    FixViewport(view, 800, 300);
    view.ZoomObject().SetFactor(2.0f);
    EXPECT_EQ(view.ScrollExtent(), QSize(1520, 1200));
    view.ZoomObject().SetFactor(1.0f);
    // 640 fits in 800 - 130 across; 480 does not fit in 300 - 80 down.
    EXPECT_EQ(view.ScrollExtent(), QSize(700, 720));
}

TEST_F(OriginalFixture, ZoomRescalesPictureOutlinesAndTheFrame) {
    backdrop.SetBackgroundPicturePath(Quadrants("card.png", 640, 480));
    SetWindows(doc, {MakeWindow(10, 10, 100, 50, 0, 0, 0)});
    SelectOriginal(doc, 0);
    EXPECT_EQ(view.SelectionFrame().Rect, (ViewRect{190, 90, 290, 140}));
    EXPECT_EQ(view.SelectionPictureRect(), (ViewRect{10, 10, 110, 60}));

    view.ZoomObject().SetFactor(2.0f);
    EXPECT_EQ(view.ScrollExtent(), QSize(1520, 1200));
    QImage image = Paint();
    // 1280 wide in 1000: the picture sits 5 from the left.
    EXPECT_EQ(view.PictureRect(), (ViewRect{5, 80, 1285, 1040}));
    EXPECT_EQ(view.DisplayRects()[0], (ViewRect{25, 100, 225, 200}));
    EXPECT_EQ(view.SelectionFrame().Rect, view.DisplayRects()[0]) << "frame and outline at twice the size";
    EXPECT_EQ(image.pixel(5 + 2 * 330, 80 + 2 * 250), BottomRightColour);
    EXPECT_EQ(image.pixel(5 + 2 * 330, 80 + 2 * 200), TopRightColour);
    EXPECT_EQ(image.pixel(24, 110), Green);

    Paint();
    EXPECT_EQ(view.SelectionFrame().Rect, view.DisplayRects()[0]) << "and it stays on later paints";
}

TEST_F(OriginalFixture, HalfStepZoomAndOddStretchAverageThePicture) {
    backdrop.SetBackgroundPicturePath(Quadrants("card.png", 640, 480));
    view.ZoomObject().SetFactor(1.5f);
    QImage image = Paint();
    EXPECT_EQ(view.PictureRect(), (ViewRect{20, 80, 980, 800}));
    EXPECT_EQ(image.pixel(20 + 100, 80 + 100), TopLeftColour);
    EXPECT_EQ(image.pixel(20 + 600, 80 + 100), TopRightColour);
    EXPECT_EQ(image.pixel(20 + 600, 80 + 400), BottomRightColour);
    // The seam: picture x 320 starts at 480 on screen.
    EXPECT_EQ(image.pixel(20 + 479, 80 + 100), TopLeftColour);
    EXPECT_EQ(image.pixel(20 + 480, 80 + 100), TopRightColour);

    // 600 x 900 is narrower than the area: the whole picture is stretched, 640 / 600 across.
    view.ZoomObject().SetFactor(1.0f);
    backdrop.SetBackgroundPicturePath(Quadrants("tall.png", 600, 900));
    image = Paint();
    EXPECT_EQ(backdrop.Background().Source().StretchBackground, 1);
    EXPECT_EQ(image.pixel(181, 81), TopLeftColour);
    EXPECT_EQ(image.pixel(818, 558), BottomRightColour);
}

TEST_F(OriginalFixture, MoreThanTenThousandWindowsAndEmptyAreasPaintSafely) {
    backdrop.SetBackgroundPicturePath(Quadrants("card.png", 640, 480));
    PlaybackWindows many(10050, MakeWindow(1, 1, 2, 2, 0, 0, 0));
    many.back() = MakeWindow(100, 100, 10, 10, 0, 0, 0);
    SetWindows(doc, many);
    Paint();
    ASSERT_EQ(view.DisplayRects().size(), 10050u);
    EXPECT_EQ(view.DisplayRects().back(), (ViewRect{280, 180, 290, 190}));

    SetWindows(doc, {});
    SetHeadSize(doc, &MapFileHead::OriginalWidth, 0);
    SetHeadSize(doc, &MapFileHead::OriginalHeight, 0);
    const QImage image = Paint();
    EXPECT_EQ(view.PictureRect(), (ViewRect{500, 310, 500, 310}));
    EXPECT_EQ(image.pixel(100, 100), Mint);
}

TEST_F(OriginalFixture, FrameFollowsThePictureWhenScrolled) {
    SetWindows(doc, {MakeWindow(10, 10, 100, 50, 0, 0, 0)});
    view.SetScrollExtent(QSize(3000, 3000));
    SelectOriginal(doc, 0);
    view.SetScrollPosition(30, 20);
    Paint();
    EXPECT_EQ(view.DisplayRects()[0], (ViewRect{160, 70, 260, 120}));
    EXPECT_EQ(view.SelectionFrame().Rect, view.DisplayRects()[0]);
    EXPECT_EQ(view.FrameLogicalRect(), (ViewRect{190, 90, 290, 140}));
}

TEST_F(OriginalFixture, HiddenFrameStaysHiddenAcrossScrolling) {
    SetWindows(doc, {MakeWindow(10, 10, 100, 50, 0, 0, 0)});
    view.SetScrollExtent(QSize(3000, 3000));
    SelectOriginal(doc, 0);
    SelectOriginal(doc, -1);
    view.SetScrollPosition(200, 150);
    const QImage image = Paint();
    EXPECT_TRUE(view.SelectionFrame().IsHidden());
    // No stray frame-size label where a shifted hidden frame would put one.
    EXPECT_EQ(CountPixels(image, 0, 0, 200, 200, IsDark), 0);
}

TEST_F(OriginalFixture, InitialUpdateSetsTheFirstExtent) {
    view.OnInitialUpdate();
    EXPECT_EQ(view.ScrollExtent(), QSize(900, 1000));
}
