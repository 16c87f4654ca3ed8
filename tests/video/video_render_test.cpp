// SPDX-License-Identifier: GPL-3.0-or-later
// tesselink --render --video: every frame equal to the picture renderer's target for that frame,
// the frames --start and --duration pick, odd sizes, and no output file after any failure (bad
// input, a damaged video, a full disk, Ctrl+C).
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
}

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <random>

#include "map/map_file.h"
#include "picture/picture.h"
#include "remap/cover.h"
#include "remap/remap.h"
#include "render/render_target.h"
#include "render/video_render_command.h"
#include "video/frame_planes.h"
#include "video/video_decoder.h"
#include "video_test_files.h"

namespace tesselink {
namespace {

using test::NumberedFrame;
using test::TestFrame;
using test::TestVideo;

// Numbered frames with noise in the low bits of green and blue, so that no two pixels of a
// window look alike.
std::vector<TestFrame> NoisyFrames(int count, int width, int height, unsigned seed = 5) {
    std::mt19937 random(seed);
    std::vector<TestFrame> frames;
    for (int i = 0; i < count; ++i) {
        TestFrame frame = NumberedFrame(i, width, height);
        for (auto& word : frame.Words) word ^= random() & 0x0707u;
        frames.push_back(std::move(frame));
    }
    return frames;
}

VideoRenderOptions Options(const std::string& map, const std::string& video, const std::string& output,
                           const std::string& codec = std::string(), std::optional<int> crf = std::nullopt,
                           std::optional<CoverMode> cover = std::nullopt) {
    VideoRenderOptions options;
    options.MapPath = map;
    options.VideoPath = video;
    options.OutputPath = output;
    options.Codec = codec;
    options.Crf = crf;
    options.CoverMode = cover;
    return options;
}

class VideoRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        av_log_set_level(AV_LOG_QUIET);
        ASSERT_TRUE(dir_.isValid());
    }
    std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

    std::string WriteMap(const char* name, int ow, int oh, int tw, int th, const PlaybackWindows& windows,
                         std::uint8_t cover = 0) {
        Map map;
        map.Head.OriginalWidth = static_cast<std::uint16_t>(ow);
        map.Head.OriginalHeight = static_cast<std::uint16_t>(oh);
        map.Head.TargetWidth = static_cast<std::uint16_t>(tw);
        map.Head.TargetHeight = static_cast<std::uint16_t>(th);
        map.Head.CoverOption = cover;
        map.Windows = windows;
        map.Head.WindowCount = static_cast<std::uint8_t>(windows.size());
        const std::string path = Path(name);
        EXPECT_TRUE(WriteMapFile(map, path)) << name;
        return path;
    }

    std::string WriteVideo(const char* name, const std::vector<TestFrame>& frames) {
        const std::string path = Path(name);
        EXPECT_EQ(test::WriteTestVideo(path, TestVideo{}, frames), "");
        return path;
    }

    // Runs the command in this process; returns its exit code, stderr in `errors`.
    int Run(const VideoRenderOptions& options, std::string* errors = nullptr) {
        ::testing::internal::CaptureStderr();
        const int code = RunVideoRenderCommand(options);
        const std::string text = ::testing::internal::GetCapturedStderr();
        if (errors) *errors = text;
        return code;
    }

    // Every file in the folder, temporary ones included.
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    QTemporaryDir dir_;
};

// Every frame of the video at `path` as 0xffRRGGBB words of its own size.
std::vector<TestFrame> DecodeAll(const std::string& path, std::string* pixelFormat = nullptr) {
    VideoDecoder decoder;
    std::string why;
    std::vector<TestFrame> frames;
    EXPECT_TRUE(decoder.Open(path, &why)) << why;
    if (!decoder.IsOpen()) return frames;
    FramePlanesConverter converter;
    ColourPlanes planes;
    while (decoder.Next(&why) == VideoDecoder::Step::Frame) {
        const AVFrame& f = *decoder.Frame();
        if (pixelFormat) *pixelFormat = av_get_pix_fmt_name(static_cast<AVPixelFormat>(f.format));
        EXPECT_TRUE(converter.Convert(f, f.width, f.height, f.width, f.height, planes, &why)) << why;
        TestFrame frame{f.width, f.height, {}};
        for (std::size_t i = 0; i < planes.PlaneSize(); ++i)
            frame.Words.push_back(0xFF000000u | (std::uint32_t{planes.Red()[i]} << 16) |
                                  (std::uint32_t{planes.Green()[i]} << 8) | planes.Blue()[i]);
        frames.push_back(std::move(frame));
    }
    return frames;
}

// What --render --picture makes of one frame.
QImage PictureRender(const std::string& mapPath, const std::string& framePath, const TestFrame& frame,
                     CoverMode cover) {
    Map map;
    EXPECT_TRUE(ReadMapFile(map, mapPath));
    Picture picture;
    picture.Image() = QImage(reinterpret_cast<const uchar*>(frame.Words.data()), frame.Width, frame.Height,
                             frame.Width * 4, QImage::Format_RGB32)
                          .copy();
    std::string why;
    const QImage image = RenderTarget(map, framePath, picture, cover, &why);
    EXPECT_FALSE(image.isNull()) << why;
    return image;
}

void ExpectEqualFrames(const std::vector<TestFrame>& rendered, const std::vector<TestFrame>& input,
                       const std::string& mapPath, const std::string& inputPath, CoverMode cover) {
    ASSERT_EQ(rendered.size(), input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        const QImage expected = PictureRender(mapPath, inputPath, input[i], cover);
        ASSERT_EQ(rendered[i].Width, expected.width());
        ASSERT_EQ(rendered[i].Height, expected.height());
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                ASSERT_EQ(rendered[i].Words[static_cast<std::size_t>(y) * rendered[i].Width + x], expected.pixel(x, y))
                    << "frame " << i << " at " << x << ", " << y;
    }
}

TEST_F(VideoRenderTest, FfV1FramesEqualThePictureRendererOnEachInputFrame) {
    const std::vector<TestFrame> input = NoisyFrames(6, 64, 48);
    const std::string video = WriteVideo("in.mkv", input);
    // The 64 x 48 frames are cropped to the 41 x 29 original at (11, 9); every mode, one window
    // partly covering another.
    const PlaybackWindows windows{MakeWindow(0, 0, 12, 10, 0, 0, 0),     MakeWindow(3, 2, 9, 14, 13, 0, 1),
                                  MakeWindow(20, 5, 9, 14, 28, 0, 2),    MakeWindow(1, 12, 15, 11, 0, 16, 3),
                                  MakeWindow(25, 15, 16, 14, 16, 16, 4), MakeWindow(30, 0, 11, 8, 10, 5, 5)};
    const std::string map = WriteMap("wall.map", 41, 29, 47, 33, windows);
    VideoRenderOptions options = Options(map, video, Path("out.mkv"));
    std::string errors;
    ASSERT_EQ(Run(options, &errors), 0) << errors;
    std::string format;
    ExpectEqualFrames(DecodeAll(options.OutputPath, &format), input, map, video, CoverMode::None);
    EXPECT_EQ(format, "bgr0");
    EXPECT_EQ(Files(), QStringList({"in.mkv", "out.mkv", "wall.map"}));

    // The same map's block tiled over a larger target, in the other direction.
    const std::string covered =
        WriteMap("cover.map", 41, 29, 96, 70, {MakeWindow(0, 0, 12, 10, 0, 0, 0), MakeWindow(3, 2, 10, 8, 0, 10, 4)});
    options = Options(covered, video, Path("cover.mkv"), "ffv1", std::nullopt, CoverMode::Different);
    ASSERT_EQ(Run(options, &errors), 0) << errors;
    ExpectEqualFrames(DecodeAll(options.OutputPath), input, covered, video, CoverMode::Different);
}

TEST_F(VideoRenderTest, StartAndDurationPickWholeFrames) {
    const std::vector<TestFrame> input = NoisyFrames(10, 32, 24);
    const std::string video = WriteVideo("in.mkv", input);
    const std::string map = WriteMap("copy.map", 32, 24, 32, 24, {MakeWindow(0, 0, 32, 24, 0, 0, 0)});
    VideoRenderOptions options = Options(map, video, Path("part.mkv"));
    options.Start = 0.3;      // frame 3 at 10 frames per second
    options.Duration = 0.25;  // two and a half frames: three
    ASSERT_EQ(Run(options), 0);
    const std::vector<TestFrame> rendered = DecodeAll(options.OutputPath);
    ASSERT_EQ(rendered.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(rendered[i].Words, input[3 + i].Words) << i;

    options.Start = 0.95;  // frame 9 only, to the end
    options.Duration.reset();
    ASSERT_EQ(Run(options), 0);
    ASSERT_EQ(DecodeAll(options.OutputPath).size(), 1u);

    options.Start = 1.0;  // past the last frame: nothing to write, and nothing written
    QFile::remove(QString::fromStdString(options.OutputPath));
    std::string errors;
    EXPECT_EQ(Run(options, &errors), 1);
    EXPECT_NE(errors.find("it has no frame from 1 s on"), std::string::npos) << errors;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(options.OutputPath)));
}

TEST_F(VideoRenderTest, H264TakesOddAndEvenTargetSizes) {
    const std::string video = WriteVideo("in.mkv", NoisyFrames(4, 40, 30));
    for (const auto& [w, h, format] : {std::tuple{27, 19, "yuv444p"}, std::tuple{28, 20, "yuv420p"}}) {
        const std::string map = WriteMap("h.map", 40, 30, w, h, {MakeWindow(0, 0, w, h, 0, 0, 0)});
        const std::string out = Path("odd.mp4");
        std::string errors;
        ASSERT_EQ(Run(Options(map, video, out), &errors), 0) << errors;
        std::string decodedFormat;
        const std::vector<TestFrame> frames = DecodeAll(out, &decodedFormat);
        ASSERT_EQ(frames.size(), 4u);
        EXPECT_EQ(frames[0].Width, w);
        EXPECT_EQ(frames[0].Height, h);
        EXPECT_EQ(decodedFormat, format);
    }
}

// The 4:2:0 planes of every frame of a video as it stores them, rows without padding.
struct Yuv420Frame {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Planes[3];
};

std::vector<Yuv420Frame> DecodeYuv420(const std::string& path) {
    VideoDecoder decoder;
    std::string why;
    std::vector<Yuv420Frame> frames;
    EXPECT_TRUE(decoder.Open(path, &why)) << why;
    if (!decoder.IsOpen()) return frames;
    while (decoder.Next(&why) == VideoDecoder::Step::Frame) {
        const AVFrame& f = *decoder.Frame();
        EXPECT_EQ(f.format, AV_PIX_FMT_YUV420P) << path;
        if (f.format != AV_PIX_FMT_YUV420P) break;
        Yuv420Frame frame{f.width, f.height, {}};
        for (int p = 0; p < 3; ++p) {
            const int w = p ? (f.width + 1) / 2 : f.width, h = p ? (f.height + 1) / 2 : f.height;
            for (int y = 0; y < h; ++y)
                frame.Planes[p].insert(frame.Planes[p].end(), f.data[p] + y * f.linesize[p],
                                       f.data[p] + y * f.linesize[p] + w);
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

TEST_F(VideoRenderTest, H264From420VideoCarriesLumaExactlyAndChromaByItsPixels) {
    // A lossless 4:2:0 input whose 38 x 30 frames are cropped to the 35 x 27 original from (1, 1), so
    // the crop and every window start off the chroma grid; CRF 0 makes the H.264 output lossless.
    TestVideo yuv;
    yuv.PixelFormat = "yuv420p";
    const std::string video = Path("in420.mkv");
    ASSERT_EQ(test::WriteTestVideo(video, yuv, NoisyFrames(3, 38, 30)), "");
    const PlaybackWindows windows{MakeWindow(0, 0, 11, 9, 1, 1, 0),      MakeWindow(3, 2, 9, 13, 13, 0, 1),
                                  MakeWindow(20, 5, 9, 13, 27, 1, 2),    MakeWindow(1, 12, 15, 11, 0, 16, 3),
                                  MakeWindow(25, 15, 10, 12, 16, 17, 4), MakeWindow(30, 0, 5, 8, 10, 5, 5)};
    const int tw = 40, th = 32;
    const std::string map = WriteMap("wall.map", 35, 27, tw, th, windows);
    const std::string out = Path("out.mp4");
    std::string errors;
    ASSERT_EQ(Run(Options(map, video, out, "h264", 0), &errors), 0) << errors;

    const std::vector<Yuv420Frame> input = DecodeYuv420(video), rendered = DecodeYuv420(out);
    ASSERT_EQ(rendered.size(), input.size());
    // Each pixel of the original area carries its luma and its chroma samples' values through the
    // picture remap; a sample of the target then shows what its top-left pixel got.
    ColourPlanes area, blank;
    area.Allocate(35, 27);
    blank.Allocate(35, 27);
    std::fill_n(blank.Red(), blank.PlaneSize(), 0);
    std::fill_n(blank.Green(), blank.PlaneSize(), 0);
    std::fill_n(blank.Blue(), blank.PlaneSize(), 0);
    TargetPlanes covered;
    RemapWindows(blank, windows, tw, th, covered);  // 0 where a window lands, 172 elsewhere
    for (std::size_t i = 0; i < input.size(); ++i) {
        const Yuv420Frame& in = input[i];
        for (int y = 0; y < 27; ++y)
            for (int x = 0; x < 35; ++x) {
                const int fx = x + 1, fy = y + 1, chroma = (fy / 2) * ((in.Width + 1) / 2) + fx / 2;
                area.Red()[y * 35 + x] = in.Planes[0][fy * in.Width + fx];
                area.Green()[y * 35 + x] = in.Planes[1][chroma];
                area.Blue()[y * 35 + x] = in.Planes[2][chroma];
            }
        TargetPlanes expected;
        RemapWindows(area, windows, tw, th, expected);
        const Yuv420Frame& got = rendered[i];
        ASSERT_EQ(got.Width, tw);
        ASSERT_EQ(got.Height, th);
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x) {
                const bool landed = covered.Red()[y * tw + x] == 0;
                // The engine's grey 172 in limited-range luma, and no colour.
                ASSERT_EQ(got.Planes[0][y * tw + x], landed ? expected.Red()[y * tw + x] : 164)
                    << "frame " << i << " luma at " << x << ", " << y;
                if (x % 2 || y % 2) continue;
                // A 2 x 2 block's colour is the mean of the colours its four pixels show.
                int cb = 0, cr = 0;
                for (int k = 0; k < 4; ++k) {
                    const int px = x + k % 2, py = y + k / 2;
                    const bool shown = covered.Red()[py * tw + px] == 0;
                    cb += shown ? expected.Green()[py * tw + px] : 128;
                    cr += shown ? expected.Blue()[py * tw + px] : 128;
                }
                const int sample = (y / 2) * (tw / 2) + x / 2;
                ASSERT_EQ(got.Planes[1][sample], (cb + 2) / 4) << "frame " << i << " Cb at " << x / 2 << ", " << y / 2;
                ASSERT_EQ(got.Planes[2][sample], (cr + 2) / 4) << "frame " << i << " Cr at " << x / 2 << ", " << y / 2;
            }
    }
}

TEST_F(VideoRenderTest, H264From420VideoSmallerThanTheOriginalIsStretchedLikeTheRgbRender) {
    TestVideo yuv;
    yuv.PixelFormat = "yuv420p";
    const std::string video = Path("small420.mkv");
    ASSERT_EQ(test::WriteTestVideo(video, yuv, NoisyFrames(4, 22, 18)), "");
    const PlaybackWindows windows{MakeWindow(0, 0, 20, 14, 0, 0, 0), MakeWindow(20, 14, 16, 12, 4, 14, 1)};
    const std::string map = WriteMap("stretch.map", 36, 26, 24, 30, windows);
    std::string errors;
    ASSERT_EQ(Run(Options(map, video, Path("yuv.mp4"), "h264", 0), &errors), 0) << errors;
    ASSERT_EQ(Run(Options(map, video, Path("rgb.mkv"), "ffv1"), &errors), 0) << errors;
    const std::vector<TestFrame> fromYuv = DecodeAll(Path("yuv.mp4")), fromRgb = DecodeAll(Path("rgb.mkv"));
    ASSERT_EQ(fromYuv.size(), 4u);
    ASSERT_EQ(fromRgb.size(), 4u);
    // The two stretches filter differently and 4:2:0 keeps less colour, so the pictures agree only
    // on average; a frame cropped instead of stretched, or a window misplaced, differs by far more.
    for (std::size_t i = 0; i < fromYuv.size(); ++i) {
        ASSERT_EQ(fromYuv[i].Words.size(), fromRgb[i].Words.size());
        long long difference = 0;
        for (std::size_t k = 0; k < fromYuv[i].Words.size(); ++k)
            for (int shift : {0, 8, 16})
                difference += std::abs(static_cast<int>((fromYuv[i].Words[k] >> shift) & 255) -
                                       static_cast<int>((fromRgb[i].Words[k] >> shift) & 255));
        EXPECT_LT(difference / (3.0 * fromYuv[i].Words.size()), 2.0) << "frame " << i;
    }
}

TEST_F(VideoRenderTest, RefusesBadInputAndOptionsWithTheReasonAndWritesNothing) {
    const std::string video = WriteVideo("in.mkv", NoisyFrames(3, 32, 24));
    const std::string map = WriteMap("copy.map", 32, 24, 32, 24, {MakeWindow(0, 0, 32, 24, 0, 0, 0)});
    const std::string out = Path("out.mkv");
    QFile old(QString::fromStdString(out));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old video");
    old.close();
    const std::string fifo = Path("fifo.mkv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    QFile cut(QString::fromStdString(WriteVideo("cut.mkv", NoisyFrames(10, 64, 48))));
    ASSERT_TRUE(cut.resize(cut.size() / 2));

    struct Case {
        VideoRenderOptions options;
        int code;
        std::string text;
    };
    const QString folder = dir_.filePath("folder.mkv");
    ASSERT_TRUE(QDir().mkdir(folder));
    const std::vector<Case> cases{
        {Options(map, Path("missing.mkv"), out), 1, "cannot load video " + Path("missing.mkv") + ": no such file"},
        {Options(map, dir_.path().toStdString(), out), 1, ": is a folder"},
        {Options(map, fifo, out), 1, ": is not a regular file"},
        {Options(map, map, out), 1, ": is not a video ("},
        {Options(map, cut.fileName().toStdString(), out), 1, "the file is truncated"},
        {Options(Path("missing.map"), video, out), 1, "cannot load map"},
        {Options(map, video, Path("out.avi")), 1, "the output must end in .mp4, .mov or .mkv"},
        {Options(map, video, out, "vp9"), 2, "unknown codec vp9 (h264, ffv1 or png)"},
        {Options(map, video, out, "ffv1", 20), 2, "--crf applies to h264 only"},
        {Options(map, video, Path("out.mp4"), "ffv1"), 2, "a .mp4 file cannot hold ffv1 video; use .mkv"},
        {Options(map, video, fifo), 1, "cannot write " + fifo + ": is not a regular file"},
        {Options(map, video, folder.toStdString()), 1, "cannot write " + folder.toStdString() + ": is a folder"},
    };
    for (const Case& c : cases) {
        std::string errors;
        EXPECT_EQ(Run(c.options, &errors), c.code) << c.text;
        EXPECT_NE(errors.find(c.text), std::string::npos) << errors;
    }
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old video");
    EXPECT_EQ(Files(), QStringList({"copy.map", "cut.mkv", "fifo.mkv", "in.mkv", "out.mkv"}));

    std::vector<std::string> arguments{"--render", map, "--video", video, "--output", out, "--crf", "18.5"};
    VideoRenderOptions options;
    EXPECT_EQ(ParseVideoRenderArguments(arguments, options), "--crf takes a whole number from 0 to 51, not 18.5");
    arguments = {"--render", map, "--video", video, "--output", out, "--duration", "0"};
    EXPECT_EQ(ParseVideoRenderArguments(arguments, options), "--duration takes seconds above 0, not 0");
}

#ifdef TESSELINK_EXECUTABLE
TEST_F(VideoRenderTest, CtrlCLeavesNoFileAndExitsNonZero) {
    const std::string video = WriteVideo("long.mkv", NoisyFrames(200, 256, 192));
    const std::string map = WriteMap("copy.map", 256, 192, 256, 192, {MakeWindow(0, 0, 256, 192, 0, 0, 0)});
    const QString out = dir_.filePath("out.mp4");
    QProcess render;
    render.start(TESSELINK_EXECUTABLE,
                 {"--render", QString::fromStdString(map), "--video", QString::fromStdString(video), "--output", out});
    ASSERT_TRUE(render.waitForStarted());
    // Once the temporary file is there, the frames are being written.
    for (int i = 0; i < 2000 && Files().filter(".out.mp4.").isEmpty(); ++i) QThread::msleep(5);
    ASSERT_FALSE(Files().filter(".out.mp4.").isEmpty()) << render.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(render.processId()), SIGINT);
    ASSERT_TRUE(render.waitForFinished(60000));
    EXPECT_EQ(render.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(render.exitCode(), VideoRenderInterrupted);
    EXPECT_NE(render.readAllStandardError().indexOf("interrupted; " + out.toUtf8() + " not written"), -1);
    EXPECT_EQ(Files(), QStringList({"copy.map", "long.mkv"}));
}

TEST_F(VideoRenderTest, AFullDiskLeavesNoFileAndSaysSo) {
    // A private 256 KiB tmpfs, mounted in a mount namespace of the child's own.
    const std::string video = WriteVideo("noise.mkv", NoisyFrames(30, 160, 120));
    const std::string map = WriteMap("copy.map", 160, 120, 160, 120, {MakeWindow(0, 0, 160, 120, 0, 0, 0)});
    const QString small = dir_.filePath("small");
    ASSERT_TRUE(QDir().mkdir(small));
    const QString script =
        QString(
            "mount -t tmpfs -o size=256k tmpfs '%1' || exit 99; "
            "'%2' --render '%3' --video '%4' --output '%1/out.mkv' --codec ffv1; rc=$?; "
            "ls -A '%1'; exit $rc")
            .arg(small, TESSELINK_EXECUTABLE, QString::fromStdString(map), QString::fromStdString(video));
    QProcess shell;
    shell.start("unshare", {"-m", "--propagation", "private", "sh", "-c", script});
    ASSERT_TRUE(shell.waitForFinished(120000));
    const QString errors = QString::fromUtf8(shell.readAllStandardError());
    if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() == 99 ||
        errors.contains("unshare: unshare failed")) {
        GTEST_SKIP() << "cannot mount a private tmpfs here (needs root): " << errors.toStdString();
    }
    EXPECT_EQ(shell.exitCode(), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains("cannot write " + small + "/out.mkv: No space left on device")) << errors.toStdString();
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()), "");  // the folder stayed empty
}
#endif

}  // namespace
}  // namespace tesselink
