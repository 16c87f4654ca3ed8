// SPDX-License-Identifier: GPL-3.0-or-later
// The decoder and the frame converter against videos of known content: frame numbers, frame-exact
// seeking, the crop-or-stretch rule, a size change in the stream, and every kind of bad input.
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "picture/colour_plane_refresh.h"
#include "video/frame_planes.h"
#include "video/frame_pump.h"
#include "video/video_decoder.h"
#include "video_test_files.h"

namespace tesselink {
namespace {

using test::NumberedFrame;
using test::TestFrame;
using test::TestVideo;

class VideoDecoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        av_log_set_level(AV_LOG_QUIET);
        ASSERT_TRUE(dir_.isValid());
    }
    std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

    // Numbered RGB frames, lossless.
    std::string Numbered(const char* name, int count, int width, int height) {
        std::vector<TestFrame> frames;
        for (int i = 0; i < count; ++i) frames.push_back(NumberedFrame(i, width, height));
        const std::string path = Path(name);
        EXPECT_EQ(test::WriteTestVideo(path, TestVideo{}, frames), "");
        return path;
    }

    QTemporaryDir dir_;
};

// The planes of `frame` at its own size (a crop at 0, 0): its pixels exactly.
ColourPlanes PlanesOf(const AVFrame& frame, int width, int height) {
    FramePlanesConverter converter;
    ColourPlanes planes;
    std::string why;
    EXPECT_TRUE(converter.Convert(frame, width, height, width, height, planes, &why)) << why;
    return planes;
}

std::uint32_t WordAt(const ColourPlanes& planes, int x, int y) {
    const std::size_t i = static_cast<std::size_t>(y) * planes.Width() + x;
    return 0xFF000000u | (std::uint32_t{planes.Red()[i]} << 16) | (std::uint32_t{planes.Green()[i]} << 8) |
           planes.Blue()[i];
}

TEST_F(VideoDecoderTest, ReadsEveryFrameInOrderWithTheFileFacts) {
    const std::string path = Numbered("numbered.mkv", 12, 40, 30);
    VideoDecoder decoder;
    std::string why;
    ASSERT_TRUE(decoder.Open(path, &why)) << why;
    const VideoInfo& info = decoder.Info();
    EXPECT_EQ(info.Width, 40);
    EXPECT_EQ(info.Height, 30);
    EXPECT_EQ(info.FrameRate(), 10.0);
    EXPECT_EQ(info.FrameCount, 12);
    EXPECT_NEAR(info.Duration, 1.2, 0.05);
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(decoder.Next(&why), VideoDecoder::Step::Frame) << i << ": " << why;
        EXPECT_EQ(decoder.FrameIndex(), i);
        EXPECT_NEAR(decoder.FrameTime(), i / 10.0, 1e-9);
        const ColourPlanes planes = PlanesOf(*decoder.Frame(), 40, 30);
        EXPECT_EQ(WordAt(planes, 0, 0), NumberedFrame(i, 1, 1).Words[0]);
        EXPECT_EQ(WordAt(planes, 39, 29), NumberedFrame(i, 40, 30).Words[29 * 40 + 39]);
    }
    EXPECT_EQ(decoder.Next(&why), VideoDecoder::Step::End);
    EXPECT_EQ(decoder.Next(&why), VideoDecoder::Step::End);
}

TEST_F(VideoDecoderTest, SeeksExactlyToTheFrameThroughKeyFramesAndBFrames) {
    // Uniform frames whose red level is 12 x the frame number survive lossy coding.
    std::vector<TestFrame> frames;
    for (int i = 0; i < 20; ++i)
        frames.push_back(
            TestFrame{32, 32, std::vector<std::uint32_t>(32 * 32, 0xFF000000u | ((12u * i) << 16) | 0x4040)});
    TestVideo video;
    video.Muxer = "mp4";
    video.Codec = "libx264";
    video.PixelFormat = "yuv420p";
    video.KeyFrameInterval = 6;
    const std::string path = Path("gop.mp4");
    ASSERT_EQ(test::WriteTestVideo(path, video, frames), "");

    VideoDecoder decoder;
    std::string why;
    ASSERT_TRUE(decoder.Open(path, &why)) << why;
    EXPECT_EQ(decoder.Info().FrameCount, 20);
    EXPECT_TRUE(decoder.Info().FrameCountExact);
    auto shownNumber = [&] {
        const ColourPlanes planes = PlanesOf(*decoder.Frame(), 32, 32);
        return (planes.Red()[16 * 32 + 16] + 6) / 12;
    };
    for (long long target : {13, 7, 0, 19, 2, 3, 4, 12, 11}) {
        ASSERT_EQ(decoder.SeekToFrame(target, &why), VideoDecoder::Step::Frame)
            << target << ": " << why << " at " << decoder.FrameIndex();
        EXPECT_EQ(decoder.FrameIndex(), target);
        EXPECT_EQ(shownNumber(), target);
    }
    // After a seek, Next goes on from there.
    ASSERT_EQ(decoder.SeekToTime(0.85, &why), VideoDecoder::Step::Frame);
    EXPECT_EQ(decoder.FrameIndex(), 8);
    ASSERT_EQ(decoder.Next(&why), VideoDecoder::Step::Frame);
    EXPECT_EQ(shownNumber(), 9);
    EXPECT_EQ(decoder.SeekToFrame(20, &why), VideoDecoder::Step::End);
    ASSERT_EQ(decoder.SeekToFrame(1, &why), VideoDecoder::Step::Frame);
    EXPECT_EQ(shownNumber(), 1);
}

TEST_F(VideoDecoderTest, CropsTheCentreOrStretchesTheWholeFrameAsAPictureWould) {
    VideoDecoder decoder;
    std::string why;
    ASSERT_TRUE(decoder.Open(Numbered("crop.mkv", 1, 64, 48), &why)) << why;
    ASSERT_EQ(decoder.Next(&why), VideoDecoder::Step::Frame);
    const AVFrame& frame = *decoder.Frame();
    const TestFrame expected = NumberedFrame(0, 64, 48);
    FramePlanesConverter converter;
    ColourPlanes planes;

    // At least the original size both ways: the centred crop, odd offsets included.
    for (const auto& [w, h] : {std::pair{64, 48}, std::pair{41, 29}, std::pair{40, 30}, std::pair{1, 1}}) {
        ASSERT_TRUE(converter.Convert(frame, 64, 48, w, h, planes, &why)) << why;
        ASSERT_EQ(planes.Width(), w);
        ASSERT_EQ(planes.Height(), h);
        const ColourPlaneSource choice = ChooseColourPlaneSource(64, 48, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(WordAt(planes, x, y), expected.Words[(y + choice.OriginY) * 64 + x + choice.OriginX])
                    << w << " x " << h << " at " << x << ", " << y;
    }

    // Smaller one way only: the whole frame, stretched both ways (its corners reach the corners).
    for (const auto& [w, h] : {std::pair{60, 50}, std::pair{70, 40}, std::pair{128, 96}}) {
        ASSERT_TRUE(converter.Convert(frame, 64, 48, w, h, planes, &why)) << why;
        ASSERT_EQ(planes.Width(), w);
        ASSERT_EQ(planes.Height(), h);
        // Green is the source column, blue the source row: both span the whole frame.
        EXPECT_LE(planes.Green()[0], 1);
        EXPECT_LE(planes.Blue()[0], 1);
        EXPECT_GE(planes.Green()[static_cast<std::size_t>(h) * w - 1], 62);
        EXPECT_GE(planes.Blue()[static_cast<std::size_t>(h) * w - 1], 46);
    }
}

TEST_F(VideoDecoderTest, CropOfSubsampledChromaMatchesCroppingTheWholeConvertedFrame) {
    // 4:2:0 keeps one chroma sample per two columns and rows, so an odd crop offset cannot be a
    // plain pointer offset; the result must still be the whole frame's pixels.
    std::vector<TestFrame> frames{NumberedFrame(3, 64, 48)};
    for (std::size_t i = 0; i < frames[0].Words.size(); ++i)
        frames[0].Words[i] ^= static_cast<std::uint32_t>(i * 2654435761u) & 0xE0E0E0u;
    TestVideo video;
    video.PixelFormat = "yuv420p";
    const std::string path = Path("yuv.mkv");
    ASSERT_EQ(test::WriteTestVideo(path, video, frames), "");
    VideoDecoder decoder;
    std::string why;
    ASSERT_TRUE(decoder.Open(path, &why)) << why;
    ASSERT_EQ(decoder.Next(&why), VideoDecoder::Step::Frame);
    const ColourPlanes whole = PlanesOf(*decoder.Frame(), 64, 48);
    FramePlanesConverter converter;
    ColourPlanes planes;
    for (const auto& [w, h] : {std::pair{41, 29}, std::pair{40, 30}, std::pair{63, 47}}) {
        ASSERT_TRUE(converter.Convert(*decoder.Frame(), 64, 48, w, h, planes, &why)) << why;
        const ColourPlaneSource choice = ChooseColourPlaneSource(64, 48, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(WordAt(planes, x, y), WordAt(whole, x + choice.OriginX, y + choice.OriginY))
                    << w << " x " << h << " at " << x << ", " << y;
    }
}

TEST_F(VideoDecoderTest, AFrameOfAnotherSizeIsRescaledToTheFirstFramesSize) {
    // PNG frames carry their own size; the stream changes from 64 x 48 to 32 x 24 at frame 3.
    std::vector<TestFrame> frames;
    for (int i = 0; i < 6; ++i) {
        const int w = i < 3 ? 64 : 32, h = i < 3 ? 48 : 24;
        frames.push_back(TestFrame{
            w, h,
            std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, 0xFF000000u | ((40u * i) << 16) | 0x2080)});
    }
    TestVideo video;
    video.Codec = "png";
    video.PixelFormat = "rgb24";
    const std::string path = Path("sizes.mkv");
    ASSERT_EQ(test::WriteTestVideo(path, video, frames), "");
    VideoDecoder decoder;
    std::string why;
    ASSERT_TRUE(decoder.Open(path, &why)) << why;
    ASSERT_EQ(decoder.Info().Width, 64);
    FramePlanesConverter converter;
    ColourPlanes planes;
    for (int i = 0; i < 6; ++i) {
        ASSERT_EQ(decoder.Next(&why), VideoDecoder::Step::Frame) << why;
        // Original 60 x 44: a crop of the 64 x 48 video, also for the small frames.
        ASSERT_TRUE(converter.Convert(*decoder.Frame(), 64, 48, 60, 44, planes, &why)) << why;
        ASSERT_EQ(planes.Width(), 60);
        for (int y : {0, 21, 43})
            for (int x : {0, 30, 59}) EXPECT_EQ(WordAt(planes, x, y), frames[i].Words[0]) << i;
    }
}

TEST_F(VideoDecoderTest, RefusesBadInputWithItsReason) {
    VideoDecoder decoder;
    std::string why;
    auto refusal = [&](const std::string& path) {
        why.clear();
        EXPECT_FALSE(decoder.Open(path, &why)) << path;
        EXPECT_FALSE(decoder.IsOpen());
        return why;
    };
    EXPECT_EQ(refusal(Path("missing.mp4")), "no such file");
    EXPECT_EQ(refusal(dir_.path().toStdString()), "is a folder");
    const std::string fifo = Path("fifo.mp4");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(refusal(fifo), "is not a regular file");

    QFile text(dir_.filePath("notes.mp4"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("these are notes, not a video\n");
    text.close();
    EXPECT_EQ(refusal(Path("notes.mp4")).rfind("is not a video", 0), 0u) << why;

    ASSERT_EQ(test::WriteSoundOnly(Path("sound.mkv")), "");
    EXPECT_EQ(refusal(Path("sound.mkv")), "has no video, only sound");
    ASSERT_EQ(test::WriteNoFrames(Path("empty.mkv")), "");
    EXPECT_EQ(refusal(Path("empty.mkv")), "has no frames");
    ASSERT_EQ(test::WriteHugeHead(Path("huge.mkv"), 20000, 20000), "");
    EXPECT_EQ(refusal(Path("huge.mkv")),
              "the video is 20000 x 20000 pixels, more than the 268435456 pixels that can be loaded");
}

TEST_F(VideoDecoderTest, ATruncatedFileEndsInAnErrorNotInFewerFrames) {
    const std::string path = Numbered("cut.mkv", 10, 64, 48);
    QFile file(QString::fromStdString(path));
    const qint64 size = file.size();
    ASSERT_TRUE(file.resize(size * 6 / 10));
    VideoDecoder decoder;
    std::string why;
    ASSERT_TRUE(decoder.Open(path, &why)) << why;
    VideoDecoder::Step step = VideoDecoder::Step::Frame;
    int frames = 0;
    while ((step = decoder.Next(&why)) == VideoDecoder::Step::Frame) ++frames;
    EXPECT_EQ(step, VideoDecoder::Step::Error) << frames << " frames";
    EXPECT_NE(why.find("truncated"), std::string::npos) << why;
    EXPECT_LT(frames, 10);
}

TEST_F(VideoDecoderTest, PumpDeliversPlanesInOrderAndFollowsSeeks) {
    auto decoder = std::make_unique<VideoDecoder>();
    std::string why;
    ASSERT_TRUE(decoder->Open(Numbered("pump.mkv", 12, 40, 30), &why)) << why;
    VideoFramePump pump(std::move(decoder), 20, 10, 2);
    std::unique_ptr<PumpedFrame> frame;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(pump.Pop(frame, &why), VideoFramePump::Result::Frame) << why;
        EXPECT_EQ(frame->Index, i);
        ASSERT_EQ(frame->Planes.Width(), 20);
        EXPECT_EQ(frame->Planes.Red()[0], i);
        EXPECT_EQ(frame->Planes.Green()[0], 10);  // the centred crop starts at column 10, row 10
        EXPECT_EQ(frame->Planes.Blue()[0], 10);
        pump.Recycle(std::move(frame));
    }
    pump.Seek(9);
    pump.SetOriginalSize(40, 30);
    for (int i = 9; i < 12; ++i) {
        ASSERT_EQ(pump.Pop(frame, &why), VideoFramePump::Result::Frame) << why;
        EXPECT_EQ(frame->Index, i);
        EXPECT_EQ(frame->Planes.Red()[0], i);
        pump.Recycle(std::move(frame));
    }
    EXPECT_EQ(pump.Pop(frame, &why), VideoFramePump::Result::End) << (frame ? frame->Index : -1);
    pump.Seek(4);
    ASSERT_EQ(pump.Pop(frame, &why), VideoFramePump::Result::Frame) << why;
    EXPECT_EQ(frame->Index, 4);
    // Stopping with the queue full and the worker waiting for room ends at once.
    pump.Stop();
    EXPECT_EQ(pump.Pop(frame, &why), VideoFramePump::Result::End);
}

}  // namespace
}  // namespace tesselink
