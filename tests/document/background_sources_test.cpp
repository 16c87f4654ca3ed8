// SPDX-License-Identifier: GPL-3.0-or-later
// What the picture views are given to show: a large background picture decoded off the
// user-interface thread (a newer choice overtakes an older one), and the lineup in its place.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "document/tesselink_doc.h"
#include "exchange/lineup.h"
#include "support/document_setup.h"

using namespace tesselink;

namespace {

// A plain picture of `width` x `height` in one colour; PNG keeps a large one small on disk.
std::string WritePicture(const QTemporaryDir& dir, const char* name, int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path, "png"));
    return path.toStdString();
}

// Handles events until the document has no decode running (at most 60 s).
bool WaitForPicture(const CTesselinkDoc& doc) {
    QElapsedTimer clock;
    clock.start();
    while (doc.PictureLoading() && clock.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !doc.PictureLoading();
}

QRgb ShownColour(const CTesselinkDoc& doc) { return doc.Background().Image().Image().pixel(0, 0) | 0xFF000000u; }

// Large enough (by its header) to go to the worker thread.
constexpr int LargeWidth = 2100, LargeHeight = 2000;
static_assert(static_cast<long long>(LargeWidth) * LargeHeight > CTesselinkDoc::AsyncDecodePixels);

}  // namespace

TEST(BackgroundDecodeTest, ANewerChoiceOvertakesAnOlderDecode) {
    QTemporaryDir dir;
    const std::string red = WritePicture(dir, "red.png", LargeWidth, LargeHeight, qRgb(255, 0, 0));
    const std::string blue = WritePicture(dir, "blue.png", LargeWidth + 8, LargeHeight, qRgb(0, 0, 255));
    const std::string small = WritePicture(dir, "green.png", 640, 480, qRgb(0, 255, 0));
    CTesselinkDoc doc;
    QSignalSpy loading(&doc, &CTesselinkDoc::pictureLoadingChanged);

    doc.SetBackgroundPicturePath(red);
    EXPECT_TRUE(doc.PictureLoading()) << "a large picture is decoded on the worker";
    EXPECT_FALSE(doc.Background().Image().HasBitmap()) << "nothing was shown before: the placeholder meanwhile";
    doc.SetBackgroundPicturePath(blue);
    ASSERT_TRUE(WaitForPicture(doc));
    EXPECT_EQ(doc.Background().Image().Width(), LargeWidth + 8);
    EXPECT_EQ(ShownColour(doc), qRgb(0, 0, 255));
    EXPECT_TRUE(doc.Background().Planes().IsPresent());

    // A small choice is shown at once and drops the large one still decoding; a large one after
    // it shows the previous picture until it is done.
    QSignalSpy changes(&doc, &CTesselinkDoc::changed);
    doc.SetBackgroundPicturePath(red);
    ASSERT_TRUE(doc.PictureLoading());
    EXPECT_EQ(ShownColour(doc), qRgb(0, 0, 255)) << "the previous picture stays while decoding";
    doc.SetBackgroundPicturePath(small);
    EXPECT_FALSE(doc.PictureLoading());
    EXPECT_EQ(ShownColour(doc), qRgb(0, 255, 0));
    doc.SetBackgroundPicturePath(blue);
    ASSERT_TRUE(WaitForPicture(doc));
    EXPECT_EQ(ShownColour(doc), qRgb(0, 0, 255)) << "the overtaken red decode was dropped";
    ASSERT_FALSE(changes.isEmpty());
    EXPECT_EQ(changes.back().at(0).value<MapChange>().What, MapChange::Kind::Picture)
        << "the end of a decode is announced";
    EXPECT_GE(loading.size(), 4);
    EXPECT_FALSE(loading.back().at(0).toBool());

    // The same picture again is current: no new decode.
    doc.SyncBackground();
    EXPECT_FALSE(doc.PictureLoading());
}

TEST(BackgroundDecodeTest, AHeadChangeWhileDecodingKeepsPlanesOfTheNewSize) {
    QTemporaryDir dir;
    const std::string small = WritePicture(dir, "green.png", 640, 480, qRgb(0, 255, 0));
    const std::string large = WritePicture(dir, "red.png", LargeWidth, LargeHeight, qRgb(255, 0, 0));
    CTesselinkDoc doc;
    doc.SetBackgroundPicturePath(small);
    doc.SetBackgroundPicturePath(large);
    ASSERT_TRUE(doc.PictureLoading());
    doc.ChangeHead(
        [] {
            MapFileHead head;
            head.OriginalWidth = 320;
            head.OriginalHeight = 200;
            return head;
        }(),
        {});
    EXPECT_TRUE(doc.PictureLoading()) << "the head change does not decode on this thread";
    EXPECT_EQ(doc.Background().Planes().Width(), 320);
    EXPECT_EQ(doc.Background().Planes().Height(), 200);
    ASSERT_TRUE(WaitForPicture(doc));
    EXPECT_EQ(ShownColour(doc), qRgb(255, 0, 0));
    EXPECT_EQ(doc.Background().Planes().Width(), 320);
    EXPECT_EQ(doc.Background().Source().OriginX, (LargeWidth - 320) / 2) << "the centred crop of the new picture";
}

TEST(LineupShownTest, TheViewsGetTheLineupOfTheMapAsItChanges) {
    QTemporaryDir dir;
    const std::string picture = WritePicture(dir, "green.png", 640, 480, qRgb(0, 255, 0));
    CTesselinkDoc doc;
    doc.SetBackgroundPicturePath(picture);
    tesselink::testing::SetWindows(doc,
                                   {MakeWindow(10, 20, 100, 50, 0, 0, 0), MakeWindow(300, 200, 80, 60, 200, 0, 1)});

    doc.ShowLineup(true);
    EXPECT_EQ(doc.Background().Image().Image(), OriginalLineup(doc.GetMap()));
    EXPECT_TRUE(doc.Background().Planes().IsPresent());
    EXPECT_EQ(doc.BackgroundFile().Image().Width(), 640) << "the picture itself is kept";

    // A burst of changes makes one lineup, once the events are handled.
    int pictureChanges = 0;
    QObject::connect(&doc, &CTesselinkDoc::changed, [&](const MapChange& c) {
        if (c.What == MapChange::Kind::Picture) ++pictureChanges;
    });
    const QImage before = doc.Background().Image().Image();
    const int serial = doc.NewGestureSerial();
    for (int x = 11; x <= 15; ++x)
        doc.ChangeWindow(0, MakeWindow(x, 20, 100, 50, 0, 0, 0), {EditGesture::Kind::OriginalDrag, serial});
    EXPECT_EQ(doc.Background().Image().Image(), before) << "not made again inside the change";
    QCoreApplication::processEvents();
    EXPECT_EQ(pictureChanges, 1);
    EXPECT_EQ(doc.Background().Image().Image(), OriginalLineup(doc.GetMap()));

    // A new original size is made at once: planes of the old size would show the wrong area.
    MapFileHead head = doc.GetHead();
    head.OriginalWidth = 500;
    doc.ChangeHead(head, {});
    EXPECT_EQ(doc.Background().Image().Width(), 500);
    EXPECT_EQ(doc.Background().Planes().Width(), 500);

    doc.ShowLineup(false);
    EXPECT_EQ(ShownColour(doc), qRgb(0, 255, 0));
    EXPECT_EQ(doc.Background().Planes().Width(), 500);
}
