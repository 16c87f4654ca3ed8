// SPDX-License-Identifier: GPL-3.0-or-later
// What the picture views are given to show: a large background picture decoded off the
// user-interface thread (a newer choice overtakes an older one), the lineup in its place, a
// picture changed on disk, and frames in front of the picture.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "document/tesselink_doc.h"
#include "stage/backdrop.h"
#include "support/test_planes.h"
#include "exchange/lineup.h"
#include "support/document_setup.h"
#include "support/event_wait.h"

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

// Handles events until the backdrop has no decode running (at most 60 s).
bool WaitForPicture(const Backdrop& backdrop) {
    return tesselink::testing::HandleEventsUntil([&] { return !backdrop.PictureLoading(); }, 60000);
}

QRgb ShownColour(const Backdrop& backdrop) { return backdrop.Background().Image().Image().pixel(0, 0) | 0xFF000000u; }

// The kinds of the changes `spy` recorded.
std::vector<BackdropChange::Kind> Kinds(const QSignalSpy& spy) {
    std::vector<BackdropChange::Kind> kinds;
    for (const QList<QVariant>& args : spy) kinds.push_back(args.at(0).value<BackdropChange>().What);
    return kinds;
}

// Large enough (by its header) to go to the worker thread.
constexpr int LargeWidth = 2100, LargeHeight = 2000;
static_assert(static_cast<long long>(LargeWidth) * LargeHeight > Backdrop::AsyncDecodePixels);

}  // namespace

TEST(BackgroundDecodeTest, ANewerChoiceOvertakesAnOlderDecode) {
    QTemporaryDir dir;
    const std::string red = WritePicture(dir, "red.png", LargeWidth, LargeHeight, qRgb(255, 0, 0));
    const std::string blue = WritePicture(dir, "blue.png", LargeWidth + 8, LargeHeight, qRgb(0, 0, 255));
    const std::string small = WritePicture(dir, "green.png", 640, 480, qRgb(0, 255, 0));
    CTesselinkDoc doc;
    Backdrop backdrop(doc);

    backdrop.SetBackgroundPicturePath(red);
    EXPECT_TRUE(backdrop.PictureLoading()) << "a large picture is decoded on the worker";
    EXPECT_FALSE(backdrop.Background().Image().HasBitmap()) << "nothing was shown before: the placeholder meanwhile";
    backdrop.SetBackgroundPicturePath(blue);
    ASSERT_TRUE(WaitForPicture(backdrop));
    EXPECT_EQ(backdrop.Background().Image().Width(), LargeWidth + 8);
    EXPECT_EQ(ShownColour(backdrop), qRgb(0, 0, 255));
    EXPECT_TRUE(backdrop.Background().Planes().IsPresent());

    // A small choice is shown at once and drops the large one still decoding; a large one after
    // it shows the previous picture until it is done.
    QSignalSpy changes(&backdrop, &Backdrop::changed);
    backdrop.SetBackgroundPicturePath(red);
    ASSERT_TRUE(backdrop.PictureLoading());
    EXPECT_EQ(ShownColour(backdrop), qRgb(0, 0, 255)) << "the previous picture stays while decoding";
    backdrop.SetBackgroundPicturePath(small);
    EXPECT_FALSE(backdrop.PictureLoading());
    EXPECT_EQ(ShownColour(backdrop), qRgb(0, 255, 0));
    backdrop.SetBackgroundPicturePath(blue);
    ASSERT_TRUE(WaitForPicture(backdrop));
    EXPECT_EQ(ShownColour(backdrop), qRgb(0, 0, 255)) << "the overtaken red decode was dropped";
    const std::vector<BackdropChange::Kind> kinds = Kinds(changes);
    ASSERT_FALSE(kinds.empty());
    EXPECT_EQ(kinds.back(), BackdropChange::Kind::Picture) << "the end of a decode is announced";
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), BackdropChange::Kind::Loading), 4)
        << "red started, overtaken by green; blue started and ended";

    // The same picture again is current: no new decode.
    backdrop.SyncBackground();
    EXPECT_FALSE(backdrop.PictureLoading());
}

TEST(BackgroundDecodeTest, AHeadChangeWhileDecodingKeepsPlanesOfTheNewSize) {
    QTemporaryDir dir;
    const std::string small = WritePicture(dir, "green.png", 640, 480, qRgb(0, 255, 0));
    const std::string large = WritePicture(dir, "red.png", LargeWidth, LargeHeight, qRgb(255, 0, 0));
    CTesselinkDoc doc;
    Backdrop backdrop(doc);
    backdrop.SetBackgroundPicturePath(small);
    backdrop.SetBackgroundPicturePath(large);
    ASSERT_TRUE(backdrop.PictureLoading());
    doc.ChangeHead(
        [] {
            MapFileHead head;
            head.OriginalWidth = 320;
            head.OriginalHeight = 200;
            return head;
        }(),
        {});
    EXPECT_TRUE(backdrop.PictureLoading()) << "the head change does not decode on this thread";
    EXPECT_EQ(backdrop.Background().Planes().Width(), 320);
    EXPECT_EQ(backdrop.Background().Planes().Height(), 200);
    ASSERT_TRUE(WaitForPicture(backdrop));
    EXPECT_EQ(ShownColour(backdrop), qRgb(255, 0, 0));
    EXPECT_EQ(backdrop.Background().Planes().Width(), 320);
    EXPECT_EQ(backdrop.Background().Source().OriginX, (LargeWidth - 320) / 2) << "the centred crop of the new picture";
}

TEST(LineupShownTest, TheViewsGetTheLineupOfTheMapAsItChanges) {
    QTemporaryDir dir;
    const std::string picture = WritePicture(dir, "green.png", 640, 480, qRgb(0, 255, 0));
    CTesselinkDoc doc;
    Backdrop backdrop(doc);
    backdrop.SetBackgroundPicturePath(picture);
    tesselink::testing::SetWindows(doc,
                                   {MakeWindow(10, 20, 100, 50, 0, 0, 0), MakeWindow(300, 200, 80, 60, 200, 0, 1)});

    backdrop.ShowLineup(true);
    EXPECT_EQ(backdrop.Background().Image().Image(), OriginalLineup(doc.GetMap()));
    EXPECT_TRUE(backdrop.Background().Planes().IsPresent());
    EXPECT_EQ(backdrop.BackgroundFile().Image().Width(), 640) << "the picture itself is kept";

    // A burst of changes makes one lineup, once the events are handled.
    QSignalSpy lineups(&backdrop, &Backdrop::changed);
    const QImage before = backdrop.Background().Image().Image();
    const int serial = doc.NewGestureSerial();
    for (int x = 11; x <= 15; ++x)
        doc.ChangeWindow(0, MakeWindow(x, 20, 100, 50, 0, 0, 0), {EditGesture::Kind::OriginalDrag, serial});
    EXPECT_EQ(backdrop.Background().Image().Image(), before) << "not made again inside the change";
    QCoreApplication::processEvents();
    EXPECT_EQ(Kinds(lineups), std::vector<BackdropChange::Kind>{BackdropChange::Kind::Lineup});
    EXPECT_EQ(backdrop.Background().Image().Image(), OriginalLineup(doc.GetMap()));

    // A new original size is made at once: planes of the old size would show the wrong area.
    MapFileHead head = doc.GetHead();
    head.OriginalWidth = 500;
    doc.ChangeHead(head, {});
    EXPECT_EQ(backdrop.Background().Image().Width(), 500);
    EXPECT_EQ(backdrop.Background().Planes().Width(), 500);

    backdrop.ShowLineup(false);
    EXPECT_EQ(ShownColour(backdrop), qRgb(0, 255, 0));
    EXPECT_EQ(backdrop.Background().Planes().Width(), 500);
}

using tesselink::testing::HandleEventsUntil;

TEST(PictureOnDiskTest, AChangedReplacedOrNewFileIsTakenUpWithoutAnyRelayout) {
    QTemporaryDir dir;
    const std::string path = WritePicture(dir, "wall.png", 640, 480, qRgb(0, 255, 0));
    CTesselinkDoc doc;
    Backdrop backdrop(doc);
    backdrop.SetBackgroundPicturePath(path);
    ASSERT_EQ(ShownColour(backdrop), qRgb(0, 255, 0));

    // Written again in place, of another size so that the file's stamp surely differs.
    WritePicture(dir, "wall.png", 600, 480, qRgb(255, 0, 0));
    EXPECT_TRUE(HandleEventsUntil([&] { return ShownColour(backdrop) == qRgb(255, 0, 0); })) << "an overwrite is seen";

    // Saved the way image editors do: a new file renamed over the old one.
    WritePicture(dir, "new.png", 640, 400, qRgb(0, 0, 255));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(path)));
    ASSERT_TRUE(QFile::rename(dir.filePath("new.png"), QString::fromStdString(path)));
    EXPECT_TRUE(HandleEventsUntil([&] { return ShownColour(backdrop) == qRgb(0, 0, 255); }))
        << "a rename over it is seen";

    // Gone, then there again.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(path)));
    EXPECT_TRUE(HandleEventsUntil([&] { return !backdrop.BackgroundFile().Exists(); }));
    WritePicture(dir, "wall.png", 640, 480, qRgb(255, 255, 0));
    EXPECT_TRUE(HandleEventsUntil([&] { return backdrop.BackgroundFile().Exists(); }));
    EXPECT_EQ(ShownColour(backdrop), qRgb(255, 255, 0));
}

TEST(VideoFramesTest, FramesHideThePictureFileAndFollowTheOriginalSize) {
    QTemporaryDir dir;
    const std::string path = WritePicture(dir, "wall.png", 640, 480, qRgb(0, 255, 0));
    CTesselinkDoc doc;
    Backdrop backdrop(doc);
    backdrop.SetBackgroundPicturePath(path);
    QSignalSpy changes(&backdrop, &Backdrop::changed);

    ColourPlanes frame = tesselink::testing::NumberedPlanes(640, 480);
    backdrop.ShowVideoFrame(frame);
    EXPECT_TRUE(backdrop.ShowsVideoFrame());
    EXPECT_EQ(backdrop.Background().Planes().Red()[5], 5) << "the frame's own pixels";
    EXPECT_EQ(Kinds(changes), std::vector<BackdropChange::Kind>{BackdropChange::Kind::VideoFrame});

    // While frames are shown the file is not looked at, changed or not.
    WritePicture(dir, "wall.png", 600, 480, qRgb(255, 0, 0));
    backdrop.SyncBackground();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 300);
    EXPECT_TRUE(backdrop.ShowsVideoFrame());
    EXPECT_EQ(changes.size(), 1);

    // A window edit is the map's change alone; a new original size drops the frame's planes.
    doc.AddWindow(MakeWindow(0, 0, 10, 10, 0, 0, 0));
    EXPECT_EQ(changes.size(), 1);
    MapFileHead head = doc.GetHead();
    head.OriginalWidth = 320;
    doc.ChangeHead(head, {});
    EXPECT_FALSE(backdrop.Background().Planes().IsPresent()) << "planes of the old size would be read past their end";
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes.back().at(0).value<BackdropChange>().What, BackdropChange::Kind::VideoFrame);

    // Back to the file, as it is now.
    backdrop.EndVideoFrames();
    EXPECT_FALSE(backdrop.ShowsVideoFrame());
    EXPECT_EQ(ShownColour(backdrop), qRgb(255, 0, 0));
    EXPECT_EQ(backdrop.Background().Planes().Width(), 320);
}
