// SPDX-License-Identifier: GPL-3.0-or-later
// The output window on the second of two offscreen screens shows, pixel for pixel, what --render
// makes: of a picture, and of chosen frames of a lossless video played at its own rate.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <random>
#include <set>

#include "output/output_window.h"
#include "output/player.h"
#include "render/render_target.h"
#include "support/random_maps.h"
#include "support/test_files.h"
#include "support/test_planes.h"
#include "video/video_decoder.h"

namespace tesselink {
namespace {

Map WallMap(std::mt19937& random, int ow, int oh, int tw, int th) {
    Map map;
    for (;;) {
        map = testing::RandomValidMap(random, 20, 300, 9);
        if (!map.Windows.empty()) break;
    }
    // Keep the windows where they are but give the pictures the sizes wanted, which all windows fit.
    map.Head.OriginalWidth = static_cast<std::uint16_t>(std::max<int>(ow, map.Head.OriginalWidth));
    map.Head.OriginalHeight = static_cast<std::uint16_t>(std::max<int>(oh, map.Head.OriginalHeight));
    map.Head.TargetWidth = static_cast<std::uint16_t>(std::max<int>(tw, map.Head.TargetWidth));
    map.Head.TargetHeight = static_cast<std::uint16_t>(std::max<int>(th, map.Head.TargetHeight));
    map.Head.CoverOption = 0;
    return map;
}

QScreen* WallScreen() {
    for (QScreen* s : QGuiApplication::screens())
        if (s->name() == QLatin1String("WALL")) return s;
    return nullptr;
}

// What the window system holds for the window, grabbed from its screen.
QImage OnScreen(OutputWindow& window, const QSize& size) {
    QScreen* screen = window.screen();
    const QPixmap grabbed = screen->grabWindow(window.winId(), 0, 0, size.width(), size.height());
    return grabbed.toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(OutputWindow, ShowsThePictureTargetOnTheChosenScreenPixelForPixel) {
    QScreen* wall = WallScreen();
    ASSERT_NE(wall, nullptr) << "the test runs with two offscreen screens, DESK and WALL";
    std::mt19937 random(11);
    const Map map = WallMap(random, 200, 150, 320, 240);
    const ColourPlanes planes = testing::RandomPlanes(map.Head.OriginalWidth, map.Head.OriginalHeight, random);
    const QImage expected = RenderTargetFromPlanes(map, planes, CoverMode::None);
    ASSERT_FALSE(expected.isNull());

    OutputWindow window(wall);
    window.Place(wall, QRect(wall->geometry().topLeft() + QPoint(30, 20), wall->geometry().bottomRight()));
    Player player;
    std::string why;
    ASSERT_TRUE(player.AddOutput(map, CoverMode::None, &window, &why)) << why;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    player.ShowStill(planes);
    EXPECT_EQ(window.screen(), wall);
    EXPECT_EQ(window.geometry().topLeft(), QPoint(640 + 30, 20));
    EXPECT_EQ(window.ShownTarget(), expected);
    // Beyond the target the window is black.
    const QImage shown = OnScreen(window, window.size());
    ASSERT_EQ(shown.size(), window.size());
    EXPECT_EQ(shown.copy(0, 0, expected.width(), expected.height()), expected);
    EXPECT_EQ(shown.pixel(expected.width(), 0), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(0, expected.height()), qRgb(0, 0, 0));
}

TEST(OutputWindow, PlaysALosslessVideoFrameByFrameAsTheRenderMakesEachFrame) {
    QScreen* wall = WallScreen();
    ASSERT_NE(wall, nullptr);
    QTemporaryDir dir;
    const QString video = dir.filePath("clip.mkv");
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=176x144:rate=25", "-t", "2",
                            "-c:v", "ffv1", "-pix_fmt", "gbrp", video});
    ASSERT_TRUE(ffmpeg.waitForFinished(60000));
    ASSERT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();

    std::mt19937 random(5);
    const Map map = WallMap(random, 176, 144, 300, 200);
    // The reference: each frame's planes as the render takes them, through RenderTargetFromPlanes.
    std::vector<QImage> expected;
    {
        auto decoder = std::make_unique<VideoDecoder>();
        std::string why;
        ASSERT_TRUE(decoder->Open(video.toStdString(), &why)) << why;
        VideoFramePump pump(std::move(decoder), map.Head.OriginalWidth, map.Head.OriginalHeight);
        pump.Seek(0);
        std::unique_ptr<PumpedFrame> frame;
        while (pump.Pop(frame, &why) == VideoFramePump::Result::Frame) {
            expected.push_back(RenderTargetFromPlanes(map, frame->Planes, CoverMode::None));
            pump.Recycle(std::move(frame));
        }
    }
    ASSERT_EQ(expected.size(), 50u);

    OutputWindow window(wall);
    window.Place(wall, wall->geometry());
    Player player;
    std::string why;
    ASSERT_TRUE(player.AddOutput(map, CoverMode::None, &window, &why)) << why;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto decoder = std::make_unique<VideoDecoder>();
    ASSERT_TRUE(decoder->Open(video.toStdString(), &why)) << why;
    player.PlayVideo(std::move(decoder), map.Head.OriginalWidth, map.Head.OriginalHeight, false);

    std::set<long long> checked;
    long long last = -1;
    QElapsedTimer clock;
    clock.start();
    while (last < 49 && clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const long long now = player.ShownFrame();
        if (now == last || now < 0) continue;
        ASSERT_GT(now, last) << "frames go forward only";
        ASSERT_EQ(window.ShownTarget(), expected[static_cast<std::size_t>(now)]) << "frame " << now;
        checked.insert(now);
        last = now;
    }
    EXPECT_EQ(last, 49) << "the video played to its last frame";
    EXPECT_GE(checked.size(), 25u) << "most frames were seen as they were shown";
}

}  // namespace
}  // namespace tesselink
