// SPDX-License-Identifier: GPL-3.0-or-later
// A live source behind the map in the whole editor, offscreen: Debian's ffmpeg sends a test
// picture over UDP on the loopback; its frames reach the document and both views, the "No signal"
// card replaces them when the sender is killed, Close Source returns to the picture, and a source
// and a video take each other's place.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/log.h>
}

#include "support/free_udp_port.h"
#include "support/stream_sender.h"
#include "app/editor_session.h"
#include "app/live_source_commands.h"
#include "app/main_frame.h"
#include "app/video_commands.h"
#include "stage/video_preview.h"
#include "picture/no_signal_card.h"
#include "support/isolated_settings.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_file_dialogs.h"
#include "video/video_test_files.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace tesselink {
namespace {

using testing::RecordingMessageBoxes;
using testing::ScriptedFileDialogs;

constexpr int Width = 64;
constexpr int Height = 48;
constexpr QRgb Grey = 0xff5a5a5a;

using testing::FreeUdpPort;

using testing::StreamSender;

// 320 x 240 at 30 frames a second, blue on the left half and red on the right, as MPEG-TS to `url`.
void SendTo(StreamSender& sender, const QString& url) { sender.Start({"-f", "mpegts", url + "?pkt_size=1316"}); }

bool Near(QRgb colour, QRgb expected) {
    return std::abs(qRed(colour) - qRed(expected)) <= 24 && std::abs(qGreen(colour) - qGreen(expected)) <= 24 &&
           std::abs(qBlue(colour) - qBlue(expected)) <= 24;
}

class LiveSourceCommandsTest : public ::testing::Test {
protected:
    LiveSourceCommandsTest() {
        av_log_set_level(AV_LOG_QUIET);
        picturePath_ = dir_.filePath("grey.png");
        QImage grey(Width, Height, QImage::Format_RGB32);
        grey.fill(Grey);
        EXPECT_TRUE(grey.save(picturePath_));

        session_ = std::make_unique<EditorSession>(&boxes_, &dialogs_);
        CTesselinkDoc& doc = session_->Doc();
        Map map;
        map.Head.OriginalWidth = map.Head.TargetWidth = Width;
        map.Head.OriginalHeight = map.Head.TargetHeight = Height;
        // The original's left half copied into the target's right half, so that the Target view
        // shows the frame's left side on its right.
        map.Windows.push_back(MakeWindow(0, 0, Width / 2, Height, Width / 2, 0, static_cast<int>(MapMode::Copy)));
        map.Head.WindowCount = 1;
        doc.ReplaceMap(map);
        session_->Stage().SetBackgroundPicturePath(picturePath_.toStdString());
        CMainFrame& frame = session_->Frame();
        frame.QMainWindow::setVisible(true);
        frame.setWindowState(Qt::WindowNoState);
        frame.resize(1280, 800);
        QApplication::processEvents();
    }

    static bool WaitFor(const std::function<bool()>& done, int limit) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < limit) QTest::qWait(5);
        return done();
    }
    // The document's original-area colour at (x, y).
    QRgb Background(int x, int y) {
        const ColourPlanes& planes = session_->Stage().Background().Planes();
        if (planes.Width() != Width || planes.Height() != Height) return 0;
        const std::size_t i = static_cast<std::size_t>(y) * Width + x;
        return qRgb(planes.Red()[i], planes.Green()[i], planes.Blue()[i]);
    }
    QRgb OriginalShows(int x, int y) {
        CTesselinkView& view = session_->OriginalView();
        return view.RenderViewport().pixel(view.PictureRect().left + x, view.PictureRect().top + y) | 0xff000000u;
    }
    QRgb TargetShows(int x, int y) {
        CRightView& view = session_->TargetView();
        return view.RenderViewport().pixel(view.PictureRect().left + x, view.PictureRect().top + y) | 0xff000000u;
    }
    bool ShowsCard() {
        ColourPlanes card;
        if (!BuildNoSignalCard(card, Width, Height, source_)) return false;
        const ColourPlanes& planes = session_->Stage().Background().Planes();
        if (planes.Width() != Width || planes.Height() != Height) return false;
        for (int c = 0; c < 3; ++c)
            if (!std::equal(card.Plane(c), card.Plane(c) + card.PlaneSize(), planes.Plane(c))) return false;
        return true;
    }
    QString Status() { return session_->Frame().StatusPane(0)->text(); }

    testing::IsolatedSettings settings_;
    QTemporaryDir dir_;
    QString picturePath_;
    std::string source_;
    RecordingMessageBoxes boxes_;
    ScriptedFileDialogs dialogs_;
    std::unique_ptr<EditorSession> session_;
};

TEST_F(LiveSourceCommandsTest, FramesReachBothViewsTheCardFollowsTheSenderAndCloseReturnsToThePicture) {
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty()) GTEST_SKIP() << "Debian's ffmpeg is not installed";
    const int port = FreeUdpPort();
    ASSERT_GT(port, 0);
    source_ = "udp://127.0.0.1:" + std::to_string(port);
    const QString source = QString::fromStdString(source_);
    ASSERT_EQ(OriginalShows(10, 24), Grey);
    LiveSourceCommands& live = session_->LiveSources();
    EXPECT_FALSE(live.CloseAction()->isEnabled());

    StreamSender sender;
    SendTo(sender, source);
    ASSERT_TRUE(live.OpenSourceText(source));
    EXPECT_TRUE(live.CloseAction()->isEnabled());
    // Until the first frame the card stands in.
    EXPECT_TRUE(ShowsCard());
    // The 320 x 240 frames are cropped to their middle 64 x 48: x 128..192, blue up to 160.
    ASSERT_TRUE(WaitFor([&] { return Near(Background(10, 24), qRgb(0, 0, 255)); }, 8000))
        << std::hex << Background(10, 24);
    EXPECT_TRUE(Near(Background(50, 24), qRgb(255, 0, 0))) << std::hex << Background(50, 24);
    EXPECT_TRUE(WaitFor([&] { return Status() == "Live: " + source; }, 2000)) << Status().toStdString();
    EXPECT_TRUE(Near(OriginalShows(10, 24), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(OriginalShows(50, 24), qRgb(255, 0, 0)));
    // The frame's blue at x 10 shows at 32 + 10 in the target.
    EXPECT_TRUE(Near(TargetShows(Width / 2 + 10, 24), qRgb(0, 0, 255)));
    // Frames keep coming: the document's picture is replaced again and again.
    const std::uint64_t generation = session_->Stage().Background().Generation();
    EXPECT_TRUE(WaitFor([&] { return session_->Stage().Background().Generation() > generation + 3; }, 2000));

    sender.Kill();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitFor([&] { return live.CardShown(); }, 4000));
    std::printf("the card %lld ms after the sender stopped\n", static_cast<long long>(clock.elapsed()));
    EXPECT_TRUE(ShowsCard());
    EXPECT_EQ(live.Signal(), LiveSignal::None);
    EXPECT_EQ(Status(), "No signal from " + source + "; trying again every second");
    // The card goes through the map like any picture.
    EXPECT_EQ(TargetShows(Width / 2 + 10, 24), OriginalShows(10, 24));

    // The sender comes back: so does the picture.
    SendTo(sender, source);
    clock.restart();
    ASSERT_TRUE(WaitFor([&] { return !live.CardShown() && Near(Background(10, 24), qRgb(0, 0, 255)); }, 8000));
    std::printf("the picture %lld ms after the sender restarted\n", static_cast<long long>(clock.elapsed()));
    EXPECT_TRUE(WaitFor([&] { return Status() == "Live: " + source; }, 2000)) << Status().toStdString();

    // Behind the lineup the frames still come, and the status says what hides them.
    sender.Kill();
    ASSERT_TRUE(WaitFor([&] { return Status().startsWith("No signal"); }, 5000)) << Status().toStdString();
    session_->Stage().ShowLineup(true);
    SendTo(sender, source);
    EXPECT_TRUE(WaitFor(
        [&] {
            return Status() == "Live: " + source + "; the lineup hides it: turn off View > Lineup (Ctrl+L) to see it";
        },
        8000))
        << Status().toStdString();
    EXPECT_TRUE(session_->Stage().ShowsVideoFrame());
    session_->Stage().ShowLineup(false);

    live.CloseAction()->trigger();
    EXPECT_FALSE(live.IsOpen());
    EXPECT_FALSE(live.CloseAction()->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return OriginalShows(10, 24) == Grey; }, 2000));
    EXPECT_FALSE(session_->Stage().ShowsVideoFrame());
    // Nothing more arrives once closed.
    QTest::qWait(200);
    EXPECT_EQ(Background(10, 24), Grey);
    EXPECT_TRUE(boxes_.Shown.empty());
}

TEST_F(LiveSourceCommandsTest, ASourceAndAVideoTakeEachOthersPlace) {
    const std::string video = dir_.filePath("numbered.mkv").toStdString();
    std::vector<test::TestFrame> frames;
    for (int i = 0; i < 4; ++i) frames.push_back(test::NumberedFrame(i, Width, Height));
    ASSERT_EQ(test::WriteTestVideo(video, test::TestVideo(), frames), "");
    LiveSourceCommands& live = session_->LiveSources();
    VideoPreview& preview = session_->Video();

    // Nothing sends to this port: the source waits behind its card.
    source_ = "udp://127.0.0.1:" + std::to_string(FreeUdpPort());
    ASSERT_TRUE(live.OpenSourceText(QString::fromStdString(source_)));
    EXPECT_TRUE(ShowsCard());

    ASSERT_TRUE(session_->VideoMenu().OpenVideoFile(QString::fromStdString(video)));
    EXPECT_FALSE(live.IsOpen());
    EXPECT_FALSE(live.CloseAction()->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return !preview.Waiting() && preview.CurrentFrame() == 0; }, 3000));
    const QRgb first = frames[0].Words[static_cast<std::size_t>(24 * Width + 10)] | 0xff000000u;
    EXPECT_EQ(Background(10, 24), first);

    ASSERT_TRUE(live.OpenSourceText(QString::fromStdString(source_)));
    EXPECT_FALSE(preview.IsOpen());
    EXPECT_TRUE(ShowsCard());
    // Its card stays: the closed video sends nothing more.
    QTest::qWait(100);
    EXPECT_TRUE(ShowsCard());
}

TEST_F(LiveSourceCommandsTest, TheCardFollowsANewOriginalSize) {
    LiveSourceCommands& live = session_->LiveSources();
    source_ = "udp://127.0.0.1:" + std::to_string(FreeUdpPort());
    ASSERT_TRUE(live.OpenSourceText(QString::fromStdString(source_)));
    ASSERT_TRUE(ShowsCard());

    Map map;
    map.Head.OriginalWidth = map.Head.TargetWidth = 96;
    map.Head.OriginalHeight = map.Head.TargetHeight = 40;
    session_->Doc().ReplaceMap(map);
    // The next tick draws the card again at the map's new size.
    ASSERT_TRUE(WaitFor(
        [&] {
            const ColourPlanes& planes = session_->Stage().Background().Planes();
            return planes.Width() == 96 && planes.Height() == 40;
        },
        2000));
    ColourPlanes card;
    ASSERT_TRUE(BuildNoSignalCard(card, 96, 40, source_));
    const ColourPlanes& planes = session_->Stage().Background().Planes();
    for (int c = 0; c < 3; ++c)
        EXPECT_TRUE(std::equal(card.Plane(c), card.Plane(c) + card.PlaneSize(), planes.Plane(c)));
}

TEST_F(LiveSourceCommandsTest, ARefusedAddressIsReportedAndChangesNothing) {
    LiveSourceCommands& live = session_->LiveSources();
    source_ = "udp://127.0.0.1:" + std::to_string(FreeUdpPort());
    ASSERT_TRUE(live.OpenSourceText(QString::fromStdString(source_)));
    ASSERT_TRUE(ShowsCard());

    // The open source stays, and so does its card.
    EXPECT_FALSE(live.OpenSourceText("http://example.org/live.ts"));
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_NE(boxes_.Shown[0].Text.find("http://example.org/live.ts"), std::string::npos) << boxes_.Shown[0].Text;
    EXPECT_TRUE(live.IsOpen());
    EXPECT_EQ(live.SourceText().toStdString(), source_);
    EXPECT_TRUE(ShowsCard());
}

}  // namespace
}  // namespace tesselink
