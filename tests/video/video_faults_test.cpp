// SPDX-License-Identifier: GPL-3.0-or-later
// tesselink --render --video on hostile input: names that look like protocols or patterns read
// as plain files, playlists refused, damaged frames reported (written only with --keep-going),
// --start and --duration out of range refused, frame times and colour tags carried, library
// reasons in the program's words, and memory that runs out ending in one line.
#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/crc.h>
#include <libavutil/log.h>
#include <libavutil/pixfmt.h>
}

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <future>
#include <system_error>
#include <thread>
#include <optional>

#include "map/map_file.h"
#include "remap/remap.h"
#include "render/video_render_command.h"
#include "video/frame_pump.h"
#include "video/video_decoder.h"
#include "video_test_files.h"

#if defined(__SANITIZE_ADDRESS__)
#define TESSELINK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define TESSELINK_SANITIZED 1
#endif
#endif

namespace tesselink {
namespace {

using test::NumberedFrame;
using test::TestFrame;
using test::TestVideo;

std::vector<TestFrame> Frames(int count, int width, int height, int first = 0) {
    std::vector<TestFrame> frames;
    for (int i = 0; i < count; ++i) frames.push_back(NumberedFrame(first + i, width, height));
    return frames;
}

class VideoFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        av_log_set_level(AV_LOG_QUIET);
        ASSERT_TRUE(dir_.isValid());
    }
    std::string Path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }

    std::string WriteMap(const std::string& name, int ow, int oh, int tw, int th) {
        Map map;
        map.Head.OriginalWidth = static_cast<std::uint16_t>(ow);
        map.Head.OriginalHeight = static_cast<std::uint16_t>(oh);
        map.Head.TargetWidth = static_cast<std::uint16_t>(tw);
        map.Head.TargetHeight = static_cast<std::uint16_t>(th);
        map.Windows = {MakeWindow(0, 0, static_cast<std::uint16_t>(std::min(ow, tw)),
                                  static_cast<std::uint16_t>(std::min(oh, th)), 0, 0, 0)};
        map.Head.WindowCount = 1;
        EXPECT_TRUE(WriteMapFile(map, Path(name)));
        return Path(name);
    }

    std::string WriteVideo(const std::string& name, const std::vector<TestFrame>& frames, TestVideo video = {}) {
        EXPECT_EQ(test::WriteTestVideo(Path(name), video, frames), "");
        return Path(name);
    }

    int Run(VideoRenderOptions options, std::string* errors) {
        ::testing::internal::CaptureStderr();
        const int code = RunVideoRenderCommand(options);
        *errors = ::testing::internal::GetCapturedStderr();
        return code;
    }

    VideoRenderOptions Options(const std::string& map, const std::string& video, const std::string& output) {
        VideoRenderOptions options;
        options.MapPath = map;
        options.VideoPath = video;
        options.OutputPath = output;
        return options;
    }

    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    QTemporaryDir dir_;
};

// The first frame number of every frame of `path`, as numbered frames carry it.
std::vector<int> FrameNumbers(const std::string& path) {
    VideoDecoder decoder;
    std::string why;
    std::vector<int> numbers;
    EXPECT_TRUE(decoder.Open(path, &why)) << path << ": " << why;
    while (decoder.IsOpen() && decoder.Next(&why) == VideoDecoder::Step::Frame) {
        const AVFrame* frame = decoder.Frame();
        // FFV1 of bgr0 keeps the words: red is the frame number.
        numbers.push_back(frame->data[0][2]);
    }
    return numbers;
}

TEST_F(VideoFaultsTest, NamesThatLookLikeProtocolsOrPatternsAreReadAsThatOneFile) {
    WriteVideo("a.mkv", Frames(3, 32, 24, 10));
    WriteVideo("b.mkv", Frames(4, 32, 24, 20));
    const std::string own = WriteVideo("own.mkv", Frames(5, 32, 24, 30));
    const std::string map = WriteMap("copy.map", 32, 24, 32, 24);
    for (const char* name : {"x001.png", "x002.png"})
        ASSERT_TRUE(QFile::copy(QString::fromStdString(own), dir_.filePath(name)));
    // Relative names, as a user types them: an absolute path would hide a protocol prefix.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    for (const std::string name : {"concat:a.mkv|b.mkv", "x%03d.png", "file:a.mkv", "subfile,,start,0,end,99,,:b.mkv",
                                   "async:a.mkv", "x*.mkv"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(QFile::copy("own.mkv", QString::fromStdString(name)));
        std::string errors;
        EXPECT_EQ(Run(Options("copy.map", name, "out.mkv"), &errors), 0) << errors;
        EXPECT_EQ(FrameNumbers("out.mkv"), (std::vector<int>{30, 31, 32, 33, 34}));
        ASSERT_TRUE(QFile::remove("out.mkv"));
        ASSERT_TRUE(QFile::remove(QString::fromStdString(name)));
        // Without the file of that name, nothing else is read in its place.
        EXPECT_EQ(Run(Options("copy.map", name, "out.mkv"), &errors), 1);
        EXPECT_NE(errors.find("cannot load video " + name + ": no such file"), std::string::npos) << errors;
    }
    // Lists of other files are not videos, whatever they are called.
    QFile list("list.ffconcat");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("ffconcat version 1.0\nfile a.mkv\nfile b.mkv\n");
    list.close();
    QFile playlist("play.m3u8");
    ASSERT_TRUE(playlist.open(QIODevice::WriteOnly));
    playlist.write("#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\na.mkv\n#EXTINF:1,\nb.mkv\n#EXT-X-ENDLIST\n");
    playlist.close();
    for (const std::string name : {"list.ffconcat", "play.m3u8"}) {
        std::string errors;
        EXPECT_EQ(Run(Options("copy.map", name, "out.mkv"), &errors), 1) << name;
        EXPECT_NE(errors.find("cannot load video " + name + ": is not a video file: it is a playlist"),
                  std::string::npos)
            << errors;
        EXPECT_EQ(errors.find("after frame -1"), std::string::npos) << errors;
    }
    ASSERT_TRUE(QDir::setCurrent(before));
    EXPECT_FALSE(Files().contains("out.mkv"));
}

TEST_F(VideoFaultsTest, DamagedFramesAreNamedAndWrittenOnlyWithKeepGoing) {
    // FFV1 checks every slice; bytes overwritten in the middle damage a few frames there.
    const std::string video = WriteVideo("damaged.mkv", Frames(30, 160, 120));
    QFile file(QString::fromStdString(video));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(file.size() / 2));
    file.write(QByteArray(600, '\x55'));
    file.close();
    const std::string map = WriteMap("copy.map", 160, 120, 160, 120);
    const std::string out = Path("out.mkv");

    std::string errors;
    EXPECT_EQ(Run(Options(map, video, out), &errors), 1);
    EXPECT_NE(errors.find("cannot render " + video + ": frame"), std::string::npos) << errors;
    EXPECT_NE(errors.find(" damaged ("), std::string::npos) << errors;
    EXPECT_NE(errors.find(out + " not written (--keep-going writes it anyway)"), std::string::npos) << errors;
    EXPECT_EQ(Files(), QStringList({"copy.map", "damaged.mkv"}));

    VideoRenderOptions options = Options(map, video, out);
    options.KeepGoing = true;
    EXPECT_EQ(Run(options, &errors), 1);
    EXPECT_NE(errors.find("written anyway as --keep-going asks"), std::string::npos) << errors;
    // Every frame the damaged file still gives is in it (a damaged cluster may lose some).
    const std::size_t decodable = FrameNumbers(video).size();
    EXPECT_EQ(FrameNumbers(out).size(), decodable);
    EXPECT_GE(decodable, 15u);

    // The decoder counts them, so that a player can show how many it met.
    VideoDecoder decoder;
    std::string why;
    ASSERT_TRUE(decoder.Open(video, &why)) << why;
    long long flagged = 0;
    while (decoder.Next(&why) == VideoDecoder::Step::Frame) flagged += decoder.FrameDamaged() ? 1 : 0;
    EXPECT_GT(flagged, 0);
    EXPECT_LT(flagged, 30);
    EXPECT_EQ(decoder.DamagedFrames(), flagged);

    // An undamaged file is not reported.
    const std::string clean = WriteVideo("clean.mkv", Frames(30, 160, 120));
    EXPECT_EQ(Run(Options(map, clean, Path("clean-out.mkv")), &errors), 0) << errors;
}

TEST_F(VideoFaultsTest, StartAndDurationBeyondTheVideoOrATimeStampAreRefused) {
    const std::string video = WriteVideo("in.mkv", Frames(20, 32, 24));  // 2 s at 10 fps
    const std::string map = WriteMap("copy.map", 32, 24, 32, 24);
    const std::string out = Path("out.mkv");
    struct Case {
        double start;
        std::optional<double> duration;
        int code;
        std::string text;
    };
    const std::vector<Case> cases{
        {1e300, std::nullopt, 2, "--start 1e+300 is beyond what a time stamp holds"},
        {4e17, std::nullopt, 2, "--start 4e+17 is beyond what a time stamp holds"},
        {0, 1e300, 2, "--duration 1e+300 is beyond what a time stamp holds"},
        {0, 4e17, 2, "--duration 4e+17 is beyond what a time stamp holds"},
        {5, std::nullopt, 1, "--start 5 is beyond the end of " + video + " (2 s long)"},
        {0, 60, 1, "--duration 60 is longer than " + video + " (2 s long)"},
    };
    for (const Case& c : cases) {
        VideoRenderOptions options = Options(map, video, out);
        options.Start = c.start;
        options.Duration = c.duration;
        std::string errors;
        EXPECT_EQ(Run(options, &errors), c.code) << c.text;
        EXPECT_NE(errors.find(c.text), std::string::npos) << errors;
    }
    EXPECT_EQ(Files(), QStringList({"copy.map", "in.mkv"}));
    // In range, up to the end, still renders what is there.
    VideoRenderOptions options = Options(map, video, out);
    options.Start = 1.5;
    options.Duration = 2;
    std::string errors;
    EXPECT_EQ(Run(options, &errors), 0) << errors;
    EXPECT_EQ(FrameNumbers(out), (std::vector<int>{15, 16, 17, 18, 19}));
}

TEST_F(VideoFaultsTest, VariableRateFramesKeepTheirOwnTimes) {
    TestVideo vfr;
    // Irregular gaps: 40 ms, 120 ms, 300 ms, ... 3.28 s in all.
    vfr.StampsMs = {0, 40, 80, 200, 240, 540, 580, 1000, 1040, 1080, 1900, 1940, 2600, 2640, 3240};
    const std::string video = WriteVideo("vfr.mkv", Frames(static_cast<int>(vfr.StampsMs.size()), 32, 24), vfr);
    const std::string map = WriteMap("copy.map", 32, 24, 32, 24);
    for (const char* name : {"out.mkv", "out.mp4"}) {
        SCOPED_TRACE(name);
        std::string errors;
        ASSERT_EQ(Run(Options(map, video, Path(name)), &errors), 0) << errors;
        VideoDecoder decoder;
        std::string why;
        ASSERT_TRUE(decoder.Open(Path(name), &why)) << why;
        std::vector<long long> stamps;
        while (decoder.Next(&why) == VideoDecoder::Step::Frame)
            stamps.push_back(std::llround(decoder.FrameStamp() * 1000));
        ASSERT_EQ(stamps.size(), vfr.StampsMs.size());
        for (std::size_t i = 0; i < stamps.size(); ++i) EXPECT_NEAR(stamps[i], vfr.StampsMs[i], 1) << "frame " << i;
        // The track's length (the file's where the container has none): to the end of the last
        // frame shown, not cut off before it.
        AVFormatContext* format = nullptr;
        ASSERT_EQ(avformat_open_input(&format, Path(name).c_str(), nullptr, nullptr), 0);
        ASSERT_GE(avformat_find_stream_info(format, nullptr), 0);
        const AVStream* stream = format->streams[0];
        const double length = stream->duration > 0 ? static_cast<double>(stream->duration) * av_q2d(stream->time_base)
                                                   : static_cast<double>(format->duration) / AV_TIME_BASE;
        EXPECT_GT(length, 3.24);
        EXPECT_LT(length, 3.5);
        avformat_close_input(&format);
    }
}

TEST_F(VideoFaultsTest, H264OutputIsTaggedWithTheMatrixItIsIn) {
    const std::string map = WriteMap("hd.map", 1280, 720, 1280, 720);
    const std::string small = WriteMap("sd.map", 320, 240, 320, 240);
    const std::string hdVideo = WriteVideo("hd.mkv", Frames(5, 1280, 720));
    const std::string sdVideo = WriteVideo("sd.mkv", Frames(5, 320, 240));
    struct Case {
        std::string map, video, out;
        int space, primaries, transfer;
    };
    for (const Case& c :
         {Case{map, hdVideo, Path("hd.mp4"), AVCOL_SPC_BT709, AVCOL_PRI_BT709, AVCOL_TRC_BT709},
          Case{small, sdVideo, Path("sd.mp4"), AVCOL_SPC_SMPTE170M, AVCOL_PRI_SMPTE170M, AVCOL_TRC_SMPTE170M}}) {
        SCOPED_TRACE(c.out);
        std::string errors;
        ASSERT_EQ(Run(Options(c.map, c.video, c.out), &errors), 0) << errors;
        AVFormatContext* format = nullptr;
        ASSERT_EQ(avformat_open_input(&format, c.out.c_str(), nullptr, nullptr), 0);
        ASSERT_GE(avformat_find_stream_info(format, nullptr), 0);
        const AVCodecParameters* par = format->streams[0]->codecpar;
        EXPECT_EQ(par->color_space, c.space);
        EXPECT_EQ(par->color_primaries, c.primaries);
        EXPECT_EQ(par->color_trc, c.transfer);
        EXPECT_EQ(par->color_range, AVCOL_RANGE_MPEG);
        avformat_close_input(&format);
        // And the decoder reads them back.
        VideoDecoder decoder;
        std::string why;
        ASSERT_TRUE(decoder.Open(c.out, &why)) << why;
        EXPECT_EQ(decoder.Info().ColourSpace, c.space);
        EXPECT_EQ(decoder.Info().ColourPrimaries, c.primaries);
        EXPECT_EQ(decoder.Info().ColourTransfer, c.transfer);
        EXPECT_EQ(decoder.Info().ColourRange, AVCOL_RANGE_MPEG);
    }
}

TEST_F(VideoFaultsTest, OversizedFramesSayTheirSizeAndTheLimit) {
    // Heads only: a PNG and a y4m whose frames would be 16384 x 16384.
    const QByteArray y4m = QByteArray("YUV4MPEG2 W16384 H16384 F25:1 Ip A1:1 C420jpeg\nFRAME\n") + QByteArray(4096, 0);
    QFile y4mFile(QString::fromStdString(Path("huge.y4m")));
    ASSERT_TRUE(y4mFile.open(QIODevice::WriteOnly));
    y4mFile.write(y4m);
    y4mFile.close();
    // The PNG: its signature, a head of 16384 x 16384 RGB, a scrap of data, the end.
    auto chunk = [](const char* type, const QByteArray& body) {
        QByteArray bytes = QByteArray(type) + body;
        const std::uint32_t crc =
            ~av_crc(av_crc_get_table(AV_CRC_32_IEEE_LE), 0xffffffffu,
                    reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
        QByteArray out;
        for (int shift : {24, 16, 8, 0}) out.append(static_cast<char>((body.size() >> shift) & 255));
        out += bytes;
        for (int shift : {24, 16, 8, 0}) out.append(static_cast<char>((crc >> shift) & 255));
        return out;
    };
    const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a") +
                           chunk("IHDR", QByteArray::fromHex("00004000000040000802000000")) +
                           chunk("IDAT", QByteArray::fromHex("789c636000000002000100")) + chunk("IEND", QByteArray());
    QFile pngFile(QString::fromStdString(Path("huge.png")));
    ASSERT_TRUE(pngFile.open(QIODevice::WriteOnly));
    pngFile.write(png);
    pngFile.close();
    const std::string map = WriteMap("copy.map", 32, 24, 32, 24);
    for (const char* name : {"huge.y4m", "huge.png"}) {
        std::string errors;
        EXPECT_EQ(Run(Options(map, Path(name), Path("out.mkv")), &errors), 1) << name;
        EXPECT_NE(errors.find("the video is 16384 x 16384 pixels, more than the decoders take (16255 x 16255 at most)"),
                  std::string::npos)
            << errors;
    }
    EXPECT_EQ(Files(), QStringList({"copy.map", "huge.png", "huge.y4m"}));
}

#if !defined(TESSELINK_SANITIZED)
TEST_F(VideoFaultsTest, APumpWhoseThreadCannotStartSaysSoInsteadOfAborting) {
    const std::string video = WriteVideo("in.mkv", Frames(3, 32, 24));
    auto decoder = std::make_unique<VideoDecoder>();
    std::string why;
    ASSERT_TRUE(decoder->Open(video, &why)) << why;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Room for small allocations, none for a thread's stack.
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        const rlim_t size = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (2 << 20);
        const rlimit limit{size, size};
        if (pages == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(3);
        // Stacks of threads that have ended are kept for reuse; waiting threads take them all.
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        std::vector<std::thread> holders;
        try {
            for (int i = 0; i < 1000; ++i) holders.emplace_back([released] { released.wait(); });
        } catch (const std::system_error&) {}
        VideoFramePump pump(std::move(decoder), 32, 24);
        std::unique_ptr<PumpedFrame> frame;
        std::string reason;
        const VideoFramePump::Result result = pump.Pop(frame, &reason);
        release.set_value();
        for (std::thread& holder : holders) holder.join();
        ::_exit(result == VideoFramePump::Result::Error && reason.find("not enough memory") != std::string::npos ? 0
                : result == VideoFramePump::Result::Frame                                                        ? 2
                                                                                                                 : 1);
    }
    // An uncaught exception may leave the child hanging in its abort: 30 s at most.
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 3000 && ended == 0; ++i) {
        ended = ::waitpid(child, &status, WNOHANG);
        if (ended == 0) ::usleep(10000);
    }
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the child hung";
    }
    ASSERT_EQ(ended, child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "the thread started within the limit";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

#if defined(TESSELINK_EXECUTABLE) && !defined(TESSELINK_SANITIZED)
// Runs the program with its address space limited to `kilobytes`.
struct LimitedRun {
    int Code = -1;
    bool Crashed = false;
    QString Errors;
};

// The fonts of a child short of memory: fontconfig, failing to read its cache then, writes a new
// one with the fonts it could still read, and as root that would be the machine's own cache. The
// children get a cache folder of this test's.
QProcessEnvironment FontsOfTheirOwn() {
    static QTemporaryDir folder;
    static const QString config = [] {
        const QString path = folder.filePath("fonts.conf");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(("<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\"><fontconfig>"
                        "<dir>/usr/share/fonts</dir><dir>/usr/local/share/fonts</dir><cachedir>" +
                        folder.filePath("cache") + "</cachedir></fontconfig>")
                           .toUtf8());
        return path;
    }();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("FONTCONFIG_FILE", config);
    return environment;
}

LimitedRun RunLimited(const QStringList& arguments, rlim_t kilobytes) {
    QProcess process;
    process.setProcessEnvironment(FontsOfTheirOwn());
    process.setChildProcessModifier([kilobytes] {
        const rlimit limit{kilobytes * 1024, kilobytes * 1024};
        ::setrlimit(RLIMIT_AS, &limit);
    });
    process.start(TESSELINK_EXECUTABLE, arguments);
    LimitedRun run;
    if (!process.waitForFinished(120000)) return run;
    run.Crashed = process.exitStatus() != QProcess::NormalExit;
    run.Code = process.exitCode();
    run.Errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST_F(VideoFaultsTest, MemoryRunningOutEndsWithOneLineAndLeavesNoFile) {
    const std::string video = WriteVideo("hd.mkv", Frames(6, 1920, 1080));
    const std::string map = WriteMap("hd.map", 1920, 1080, 1920, 1080);
    QImage picture(1920, 1080, QImage::Format_RGB32);
    picture.fill(0xff336699u);
    ASSERT_TRUE(picture.save(dir_.filePath("hd.jpg")));
    // A 2000 x 2000 map of 100 windows for the lineup.
    Map wall;
    wall.Head.OriginalWidth = wall.Head.OriginalHeight = wall.Head.TargetWidth = wall.Head.TargetHeight = 2000;
    for (int i = 0; i < 100; ++i)
        wall.Windows.push_back(
            MakeWindow(static_cast<std::uint16_t>(i % 10 * 200), static_cast<std::uint16_t>(i / 10 * 200), 200, 200,
                       static_cast<std::uint16_t>(i % 10 * 200), static_cast<std::uint16_t>(i / 10 * 200), 0));
    wall.Head.WindowCount = 100;
    ASSERT_TRUE(WriteMapFile(wall, Path("wall.map")));
    const QStringList inputs = Files();

    const QString m = QString::fromStdString(map), wallMap = QString::fromStdString(Path("wall.map"));
    struct Command {
        QStringList arguments;
        QString output;
        rlim_t step;
        // The same mode with a missing map: what the mode needs just to start (a lineup starts Qt's
        // fonts and its platform, which abort by themselves below that).
        QStringList start;
    };
    const QStringList renderStart{"--render", "missing.map", "--picture", "p.png", "--output", "o.png"};
    // (--convert needs no more than the program's start does: no limit makes it run short.)
    const std::vector<Command> commands{
        {{"--render", m, "--video", QString::fromStdString(video), "--output", dir_.filePath("out.mp4")},
         dir_.filePath("out.mp4"),
         50000,
         renderStart},
        {{"--render", m, "--picture", dir_.filePath("hd.jpg"), "--output", dir_.filePath("out.png")},
         dir_.filePath("out.png"),
         4000,
         renderStart},
        {{"--lineup", wallMap, "--output", dir_.filePath("lineup.png")},
         dir_.filePath("lineup.png"),
         4000,
         {"--lineup", "missing.map", "--output", "o.png"}},
    };
    // The children's font cache is made once with all the memory there is.
    ASSERT_EQ(RunLimited({"--lineup", wallMap, "--output", dir_.filePath("warm.png")}, 64ULL << 20).Code, 0);
    ASSERT_TRUE(QFile::remove(dir_.filePath("warm.png")));
    for (const Command& command : commands) {
        SCOPED_TRACE(command.arguments.join(' ').toStdString());
        // The least the mode needs to start at all, found by halving.
        rlim_t low = 100000, high = 3000000;
        ASSERT_EQ(RunLimited(command.start, high).Code, 1);
        while (high - low > 2000) {
            const rlim_t middle = (low + high) / 2;
            const LimitedRun run = RunLimited(command.start, middle);
            (run.Code == 1 && run.Errors.contains("missing.map") ? high : low) = middle;
        }
        bool succeeded = false;
        int shortages = 0;
        for (rlim_t limit = high; limit < high + 1500000 && !succeeded; limit += command.step) {
            SCOPED_TRACE(limit);
            const LimitedRun run = RunLimited(command.arguments, limit);
            ASSERT_FALSE(run.Crashed) << run.Errors.toStdString();
            if (run.Code == 0) {
                succeeded = true;
                EXPECT_TRUE(QFile::remove(command.output));
                continue;
            }
            // The loader itself may fail just above the start limit: that is not the program.
            if (run.Code == 127 && run.Errors.contains("error while loading shared libraries")) continue;
            ASSERT_EQ(run.Code, 1) << run.Errors.toStdString();
            const QStringList lines = run.Errors.split('\n', Qt::SkipEmptyParts);
            ASSERT_EQ(lines.size(), 1) << run.Errors.toStdString();
            EXPECT_TRUE(lines[0].startsWith("tesselink: ")) << lines[0].toStdString();
            EXPECT_TRUE(lines[0].contains("not enough memory")) << lines[0].toStdString();
            EXPECT_FALSE(lines[0].contains("after frame -1")) << lines[0].toStdString();
            ++shortages;
            EXPECT_EQ(Files(), inputs);
        }
        EXPECT_TRUE(succeeded) << "no limit let it finish";
        EXPECT_GT(shortages, 0) << "no limit made memory run out";
    }
}
#endif

}  // namespace
}  // namespace tesselink
