// SPDX-License-Identifier: GPL-3.0-or-later
// A video behind the map in the whole editor, offscreen: the frames reach both
// views, the transport keys move exactly one frame, closing returns to the
// picture, and a frame becomes the background picture.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>

#include <gtest/gtest.h>

#include "app/app_settings.h"
#include "app/document_commands.h"
#include "app/editor_session.h"
#include "app/main_frame.h"
#include "app/video_commands.h"
#include "app/video_transport_bar.h"
#include "stage/video_preview.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_file_dialogs.h"
#include "video/video_test_files.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace tesselink {
namespace {

using testing::RecordingMessageBoxes;
using testing::ScriptedFileDialogs;

constexpr int VideoWidth = 64;
constexpr int VideoHeight = 48;
constexpr int VideoFrames = 8;

// The colour a numbered frame has at (x, y).
QRgb FrameColour(int index, int x, int y) {
    return test::NumberedFrame(index, VideoWidth, VideoHeight).Words[static_cast<std::size_t>(y * VideoWidth + x)];
}

class VideoPreviewTest : public ::testing::Test {
protected:
    VideoPreviewTest() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
        UseProgramSettingsKey();
        videoPath_ = dir_.filePath("numbered.mkv").toStdString();
        std::vector<test::TestFrame> frames;
        for (int i = 0; i < VideoFrames; ++i) frames.push_back(test::NumberedFrame(i, VideoWidth, VideoHeight));
        const std::string written = test::WriteTestVideo(videoPath_, test::TestVideo(), frames);
        EXPECT_EQ(written, "");
        // A plain grey picture behind the map before the video.
        picturePath_ = dir_.filePath("grey.png");
        QImage grey(VideoWidth, VideoHeight, QImage::Format_RGB32);
        grey.fill(qRgb(90, 90, 90));
        EXPECT_TRUE(grey.save(picturePath_));

        session_ = std::make_unique<EditorSession>(&boxes_, &dialogs_);
        CTesselinkDoc& doc = session_->Doc();
        Map map;
        map.Head.OriginalWidth = map.Head.TargetWidth = VideoWidth;
        map.Head.OriginalHeight = map.Head.TargetHeight = VideoHeight;
        // The original's top-left 20 x 16 turned a half turn into the target's
        // bottom-right corner.
        map.Windows.push_back(MakeWindow(0, 0, 20, 16, 40, 30, static_cast<int>(MapMode::Rotation180)));
        map.Head.WindowCount = 1;
        doc.ReplaceMap(map);
        session_->Stage().SetBackgroundPicturePath(picturePath_.toStdString());
        CMainFrame& frame = session_->Frame();
        frame.QMainWindow::setVisible(true);
        frame.setWindowState(Qt::WindowNoState);
        frame.resize(1280, 800);
        QApplication::processEvents();
    }

    // Runs the event loop until `done` or two seconds have passed.
    static bool WaitFor(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 2000) QTest::qWait(5);
        return done();
    }
    bool WaitForFrame(long long index) {
        VideoPreview& video = session_->Video();
        return WaitFor([&] { return !video.Waiting() && video.CurrentFrame() == index; });
    }

    // The colour each view shows at picture pixel (x, y) of its own side, as
    // painted now.
    QRgb OriginalShows(int x, int y) {
        CTesselinkView& view = session_->OriginalView();
        const QImage shot = view.RenderViewport();
        return shot.pixel(view.PictureRect().left + x, view.PictureRect().top + y) | 0xff000000u;
    }
    QRgb TargetShows(int x, int y) {
        CRightView& view = session_->TargetView();
        const QImage shot = view.RenderViewport();
        return shot.pixel(view.PictureRect().left + x, view.PictureRect().top + y) | 0xff000000u;
    }
    // Frame `index` in both views: the Original view as decoded, the Target view
    // turned a half turn.
    void ExpectFrameShown(int index) {
        for (const auto& [x, y] : {std::pair(5, 4), std::pair(14, 9), std::pair(33, 40)})
            EXPECT_EQ(OriginalShows(x, y), FrameColour(index, x, y)) << "frame " << index << " at " << x << "," << y;
        for (const auto& [dx, dy] : {std::pair(5, 4), std::pair(12, 9)})
            EXPECT_EQ(TargetShows(40 + 19 - dx, 30 + 15 - dy), FrameColour(index, dx, dy))
                << "frame " << index << " from " << dx << "," << dy;
    }

    QTemporaryDir dir_;
    std::string videoPath_;
    QString picturePath_;
    RecordingMessageBoxes boxes_;
    ScriptedFileDialogs dialogs_;
    std::unique_ptr<EditorSession> session_;
};

TEST_F(VideoPreviewTest, FramesReachBothViewsAndTheKeysStepExactlyOneFrame) {
    ASSERT_EQ(OriginalShows(5, 4), qRgb(90, 90, 90));
    dialogs_.Answers.push_back(videoPath_);
    session_->VideoMenu().OpenAction()->trigger();
    ASSERT_TRUE(WaitForFrame(0));
    EXPECT_TRUE(session_->VideoMenu().TransportToolBar()->isVisible());
    ExpectFrameShown(0);

    CTesselinkView& original = session_->OriginalView();
    original.setFocus();
    for (int expected : {1, 2, 3}) {
        QTest::keyClick(&original, Qt::Key_Period);
        ASSERT_TRUE(WaitForFrame(expected));
    }
    ExpectFrameShown(3);
    // Back is a seek from the key frame before: still exactly one frame.
    QTest::keyClick(&session_->TargetView(), Qt::Key_Comma);
    ASSERT_TRUE(WaitForFrame(2));
    ExpectFrameShown(2);
    EXPECT_EQ(session_->VideoMenu().TransportBar()->PositionSlider()->value(), 2);

    // A smaller original area takes the centred crop of the next frames, with no
    // stale planes.
    MapFileHead smaller = session_->Doc().GetHead();
    smaller.OriginalWidth = 32;
    smaller.OriginalHeight = 24;
    session_->Doc().ChangeHead(smaller, {});
    const ColourPlanes& planes = session_->Stage().Background().Planes();
    ASSERT_TRUE(WaitFor([&] { return planes.IsPresent() && planes.Width() == 32; }));
    EXPECT_EQ(session_->Video().CurrentFrame(), 2);
    EXPECT_EQ(qRgb(planes.Red()[0], planes.Green()[0], planes.Blue()[0]), FrameColour(2, 16, 12));

    session_->VideoMenu().CloseAction()->trigger();
    EXPECT_FALSE(session_->Stage().ShowsVideoFrame());
    EXPECT_FALSE(session_->VideoMenu().TransportToolBar()->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(OriginalShows(5, 4), qRgb(90, 90, 90));
    EXPECT_TRUE(boxes_.Shown.empty());
    // The dialog of the next Open Video... starts at the last video.
    dialogs_.Answers.clear();
    session_->VideoMenu().OpenAction()->trigger();
    EXPECT_EQ(dialogs_.Requests.back().Request.ProposedPath, videoPath_);
}

TEST_F(VideoPreviewTest, TransportKeysWaitForADragAndLeaveAnArrowRunWhole) {
    ASSERT_TRUE(session_->VideoMenu().OpenVideoFile(QString::fromStdString(videoPath_)));
    ASSERT_TRUE(WaitForFrame(0));
    CTesselinkDoc& doc = session_->Doc();
    CTesselinkView& original = session_->OriginalView();
    doc.SelectWindow(0);
    original.setFocus();
    const int steps = doc.UndoStack().count();
    // A frame step between two arrow presses: still one step of the run.
    QTest::keyClick(&original, Qt::Key_Right);
    QTest::keyClick(&original, Qt::Key_Period);
    ASSERT_TRUE(WaitForFrame(1));
    QTest::keyClick(&original, Qt::Key_Right);
    EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 2);
    EXPECT_EQ(doc.UndoStack().count(), steps + 1);

    // During a drag every key is the gesture's: the period steps no frame, Escape gives it up.
    const ViewRect rect = original.DisplayRects()[0];
    const QPoint from((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    QTest::mousePress(original.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(original.viewport(), from + QPoint(12, 8));
    ASSERT_TRUE(original.SelectionFrame().IsTracking());
    QTest::keyClick(&original, Qt::Key_Period);
    QTest::qWait(100);
    EXPECT_EQ(session_->Video().CurrentFrame(), 1);
    QTest::keyClick(&original, Qt::Key_Escape);
    QTest::mouseRelease(original.viewport(), Qt::LeftButton, {}, from + QPoint(12, 8));
    EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 2);
    // With Ctrl the period is no transport key either.
    QTest::keyClick(&original, Qt::Key_Period, Qt::ControlModifier);
    QTest::qWait(100);
    EXPECT_EQ(session_->Video().CurrentFrame(), 1);
    QTest::keyClick(&original, Qt::Key_Period);
    EXPECT_TRUE(WaitForFrame(2));
}

TEST_F(VideoPreviewTest, PlayingRunsToTheEndOrLoops) {
    ASSERT_TRUE(session_->VideoMenu().OpenVideoFile(QString::fromStdString(videoPath_)));
    VideoPreview& video = session_->Video();
    ASSERT_TRUE(WaitForFrame(0));
    session_->OriginalView().setFocus();
    QTest::keyClick(&session_->OriginalView(), Qt::Key_Space);
    EXPECT_TRUE(video.IsPlaying());
    // Ten frames a second: the last frame within a second, then it stops there.
    ASSERT_TRUE(WaitFor([&] { return !video.IsPlaying(); }));
    EXPECT_EQ(video.CurrentFrame(), VideoFrames - 1);
    EXPECT_EQ(video.ShownFrames() + video.DroppedFrames(), VideoFrames - 1);

    session_->VideoMenu().TransportBar()->LoopBox()->setChecked(true);
    session_->VideoMenu().TransportBar()->PlayButton()->click();
    ASSERT_TRUE(WaitFor([&] { return video.ShownFrames() > VideoFrames; }));
    EXPECT_TRUE(video.IsPlaying());
    QTest::keyClick(&session_->OriginalView(), Qt::Key_Space);
    EXPECT_FALSE(video.IsPlaying());
}

TEST_F(VideoPreviewTest, AFrameBecomesTheBackgroundPicture) {
    // Dropped on the window, a video opens like Open Video... does.
    session_->Commands().OpenDropped(QString::fromStdString(videoPath_));
    ASSERT_TRUE(WaitForFrame(0));
    session_->Video().SeekToFrame(5);
    ASSERT_TRUE(WaitForFrame(5));

    const QString still = dir_.filePath("still.png");
    dialogs_.Answers.push_back(still.toStdString());
    ASSERT_TRUE(session_->VideoMenu().UseFrameAsPicture());
    // Proposed beside the video, named after it and the frame.
    EXPECT_EQ(dialogs_.Requests.back().Request.ProposedPath, dir_.filePath("numbered_frame000005.png").toStdString());
    QImage written(still);
    ASSERT_EQ(written.size(), QSize(VideoWidth, VideoHeight));
    for (int y = 0; y < VideoHeight; ++y)
        for (int x = 0; x < VideoWidth; ++x)
            ASSERT_EQ(written.pixel(x, y) | 0xff000000u, FrameColour(5, x, y)) << x << "," << y;
    EXPECT_EQ(session_->Stage().BackgroundPicturePath(), still.toStdString());

    // With the video closed the still is the picture.
    session_->VideoMenu().CloseVideo();
    QApplication::processEvents();
    ExpectFrameShown(5);
    EXPECT_TRUE(boxes_.Shown.empty());
}

TEST_F(VideoPreviewTest, AFileThatIsNoVideoIsReportedAndChangesNothing) {
    const QString text = dir_.filePath("notes.mp4");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("these are not frames\n");
    file.close();
    EXPECT_FALSE(session_->VideoMenu().OpenVideoFile(text));
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text.rfind("Cannot use the video " + text.toStdString() + ": is not a video", 0), 0u)
        << boxes_.Shown[0].Text;
    EXPECT_FALSE(session_->Video().IsOpen());
    EXPECT_FALSE(session_->Stage().ShowsVideoFrame());
    EXPECT_EQ(OriginalShows(5, 4), qRgb(90, 90, 90));
}

}  // namespace
}  // namespace tesselink
