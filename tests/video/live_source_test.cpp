// SPDX-License-Identifier: GPL-3.0-or-later
// Live sources on the loopback: Debian's ffmpeg sends a test picture over UDP MPEG-TS or listens
// for SRT, the source receives it; the sender is killed and started again, garbage is sent, and a
// stream's address is tampered with to read a file.
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/log.h>
}

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "support/free_udp_port.h"
#include "support/stream_sender.h"
#include "video/live_source.h"

namespace tesselink {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

using testing::FreeUdpPort;

using testing::StreamSender;

bool WaitFor(const std::function<bool()>& condition, milliseconds limit, milliseconds* took = nullptr) {
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < limit) {
        if (condition()) {
            if (took) *took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
            return true;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    return false;
}

LiveSourceAddress Parse(const std::string& text) {
    LiveSourceAddress address;
    std::string why;
    EXPECT_TRUE(ParseLiveSourceAddress(text, LiveSourceEnvironment{}, address, &why)) << why;
    return address;
}

// The colour at (x, y) of the frame's planes, as 0xRRGGBB.
unsigned ColourAt(const LiveFrame& frame, int x, int y) {
    const std::size_t i = static_cast<std::size_t>(y) * frame.Planes.Width() + x;
    return (unsigned{frame.Planes.Red()[i]} << 16) | (unsigned{frame.Planes.Green()[i]} << 8) | frame.Planes.Blue()[i];
}

bool Near(unsigned colour, unsigned expected) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((colour >> shift) & 0xff), b = static_cast<int>((expected >> shift) & 0xff);
        if (std::abs(a - b) > 24) return false;
    }
    return true;
}

bool FfmpegHasSrt() {
    QProcess probe;
    probe.start(QStandardPaths::findExecutable("ffmpeg"), {"-hide_banner", "-protocols"});
    probe.waitForFinished(10000);
    return probe.readAllStandardOutput().contains(" srt\n");
}

class LiveSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        av_log_set_level(AV_LOG_QUIET);
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty()) GTEST_SKIP() << "Debian's ffmpeg is not installed";
    }
    // Waits for a frame and returns it.
    std::unique_ptr<LiveFrame> NextFrame(LiveSource& source, milliseconds limit) {
        std::unique_ptr<LiveFrame> frame;
        WaitFor([&] { return source.TakeFrame(frame); }, limit);
        return frame;
    }
};

TEST_F(LiveSourceTest, UdpStreamIsCroppedLosesItsSignalWhenTheSenderStopsAndComesBack) {
    const int port = FreeUdpPort();
    ASSERT_GT(port, 0);
    const std::string url = "udp://127.0.0.1:" + std::to_string(port);
    // The original area is smaller than the frames both ways: their centred crop.
    LiveSource source(Parse(url), 160, 120);
    std::vector<LiveSignal> changes;
    std::mutex changesMutex;
    source.SetSignalListener([&](LiveSignal signal, const std::string&) {
        std::lock_guard<std::mutex> lock(changesMutex);
        changes.push_back(signal);
    });
    StreamSender sender;
    sender.Start({"-f", "mpegts", QString::fromStdString(url + "?pkt_size=1316")});
    source.Start();

    std::unique_ptr<LiveFrame> frame = NextFrame(source, milliseconds(8000));
    ASSERT_NE(frame, nullptr) << source.Status().Reason;
    EXPECT_EQ(frame->SourceWidth, 320);
    EXPECT_EQ(frame->SourceHeight, 240);
    ASSERT_EQ(frame->Planes.Width(), 160);
    ASSERT_EQ(frame->Planes.Height(), 120);
    // The crop spans x 80..240 of the frame: blue up to its middle, red after.
    EXPECT_TRUE(Near(ColourAt(*frame, 10, 60), 0x0000ff)) << std::hex << ColourAt(*frame, 10, 60);
    EXPECT_TRUE(Near(ColourAt(*frame, 150, 60), 0xff0000)) << std::hex << ColourAt(*frame, 150, 60);
    EXPECT_GE(frame->SourceTime, 0);
    EXPECT_LE(frame->Arrival, Clock::now());
    // Frames keep coming, each newer than the last.
    const long long first = frame->Number;
    frame = NextFrame(source, milliseconds(2000));
    ASSERT_NE(frame, nullptr);
    EXPECT_GT(frame->Number, first);
    EXPECT_EQ(source.Status().Signal, LiveSignal::Live);
    EXPECT_NEAR(source.Status().SourceRate, 30, 0.5);

    sender.Kill();
    milliseconds took{};
    ASSERT_TRUE(WaitFor([&] { return source.Status().Signal == LiveSignal::None; }, milliseconds(3000), &took));
    std::printf("no signal %lld ms after the sender stopped\n", static_cast<long long>(took.count()));
    EXPECT_FALSE(source.Status().Reason.empty());
    // It reopens every second while nothing comes.
    const long long attempts = source.Status().Attempts;
    std::this_thread::sleep_for(milliseconds(2300));
    EXPECT_GE(source.Status().Attempts, attempts + 1);
    EXPECT_LE(source.Status().Attempts, attempts + 4);
    EXPECT_EQ(source.Status().Signal, LiveSignal::None);
    source.TakeFrame(frame);  // one may have waited from before the stop

    sender.Start({"-f", "mpegts", QString::fromStdString(url + "?pkt_size=1316")});
    ASSERT_TRUE(WaitFor([&] { return source.Status().Signal == LiveSignal::Live; }, milliseconds(6000), &took))
        << source.Status().Reason;
    std::printf("live again %lld ms after the sender restarted\n", static_cast<long long>(took.count()));
    frame = NextFrame(source, milliseconds(2000));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(Near(ColourAt(*frame, 150, 60), 0xff0000));
    source.Stop();
    std::lock_guard<std::mutex> lock(changesMutex);
    // A loaded machine may start the sender late: no signal before the first frame is fine.
    if (!changes.empty() && changes.front() == LiveSignal::None) changes.erase(changes.begin());
    const std::vector<LiveSignal> expected{LiveSignal::Live, LiveSignal::None, LiveSignal::Live};
    EXPECT_EQ(changes, expected);
}

TEST_F(LiveSourceTest, AStreamThatChangesSizeIsCroppedOrStretchedAsEachFrameComes) {
    const int port = FreeUdpPort();
    const std::string url = "udp://127.0.0.1:" + std::to_string(port);
    LiveSource source(Parse(url), 160, 120);
    source.Start();
    const QStringList output{"-f", "mpegts", QString::fromStdString(url + "?pkt_size=1316")};
    StreamSender first;
    first.Start(output, testing::TestStreamPicture(320, 240, 3));
    std::unique_ptr<LiveFrame> frame = NextFrame(source, milliseconds(8000));
    ASSERT_NE(frame, nullptr) << source.Status().Reason;
    EXPECT_EQ(frame->SourceWidth, 320);
    ASSERT_TRUE(first.WaitForEnd(10000));
    // The next sender's frames are smaller than the original area: the whole frame stretched to it
    // (not rescaled to the first frames' size and cropped, which would cut the blue edge off).
    StreamSender second;
    second.Start(output, testing::TestStreamPicture(80, 60, 0, 16));
    ASSERT_TRUE(WaitFor([&] { return source.TakeFrame(frame) && frame->SourceWidth == 80; }, milliseconds(8000)))
        << source.Status().Reason;
    EXPECT_EQ(frame->SourceHeight, 60);
    ASSERT_EQ(frame->Planes.Width(), 160);
    ASSERT_EQ(frame->Planes.Height(), 120);
    EXPECT_TRUE(Near(ColourAt(*frame, 10, 60), 0x0000ff)) << std::hex << ColourAt(*frame, 10, 60);
    EXPECT_TRUE(Near(ColourAt(*frame, 60, 60), 0xff0000)) << std::hex << ColourAt(*frame, 60, 60);
}

TEST_F(LiveSourceTest, SrtStreamFromAListeningSenderIsStretchedToALargerArea) {
    if (!FfmpegHasSrt()) GTEST_SKIP() << "this ffmpeg has no SRT";

    const int port = FreeUdpPort();
    const std::string url = "srt://127.0.0.1:" + std::to_string(port);
    StreamSender sender;
    sender.Start({"-f", "mpegts", QString::fromStdString(url + "?mode=listener&latency=50000")});
    LiveSource source(Parse(url + "?latency=50000"), 640, 480);
    source.Start();
    std::unique_ptr<LiveFrame> frame = NextFrame(source, milliseconds(10000));
    ASSERT_NE(frame, nullptr) << source.Status().Reason;
    ASSERT_EQ(frame->Planes.Width(), 640);
    ASSERT_EQ(frame->Planes.Height(), 480);
    EXPECT_TRUE(Near(ColourAt(*frame, 20, 240), 0x0000ff)) << std::hex << ColourAt(*frame, 20, 240);
    EXPECT_TRUE(Near(ColourAt(*frame, 620, 240), 0xff0000)) << std::hex << ColourAt(*frame, 620, 240);
    sender.Kill();
    EXPECT_TRUE(WaitFor([&] { return source.Status().Signal == LiveSignal::None; }, milliseconds(3000)));
}

TEST_F(LiveSourceTest, AnSrtListenerWaitsForItsSenderWithoutSignalAndTakesItWhenItCalls) {
    if (!FfmpegHasSrt()) GTEST_SKIP() << "this ffmpeg has no SRT";
    const std::string url = "srt://127.0.0.1:" + std::to_string(FreeUdpPort());
    LiveSource source(Parse(url + "?mode=listener"), 320, 240);
    source.Start();
    // Longer than a second without a sender: no signal, but the listener is not torn down, so a
    // sender calling later finds it.
    EXPECT_TRUE(WaitFor([&] { return source.Status().Signal == LiveSignal::None; }, milliseconds(3000)));
    std::this_thread::sleep_for(milliseconds(500));
    StreamSender sender;
    sender.Start({"-f", "mpegts", QString::fromStdString(url)});
    std::unique_ptr<LiveFrame> frame = NextFrame(source, milliseconds(8000));
    ASSERT_NE(frame, nullptr) << source.Status().Reason;
    EXPECT_TRUE(Near(ColourAt(*frame, 300, 120), 0xff0000)) << std::hex << ColourAt(*frame, 300, 120);
    EXPECT_EQ(source.Status().Attempts, 1);
}

TEST_F(LiveSourceTest, GarbageIsRefusedWithoutEndingTheSource) {
    const int port = FreeUdpPort();
    const std::string url = "udp://127.0.0.1:" + std::to_string(port);
    LiveSource source(Parse(url), 320, 240);
    source.Start();
    // Datagrams of random bytes, some with the transport stream's sync byte in front.
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::mt19937 random(27);
    std::vector<unsigned char> datagram(1316);
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < milliseconds(1500)) {
        for (std::size_t i = 0; i < datagram.size(); ++i)
            datagram[i] = i % 188 == 0 && random() % 2 ? 0x47 : static_cast<unsigned char>(random());
        ::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        std::this_thread::sleep_for(milliseconds(2));
    }
    ::close(fd);
    std::unique_ptr<LiveFrame> frame;
    EXPECT_FALSE(source.TakeFrame(frame));
    EXPECT_NE(source.Status().Signal, LiveSignal::Live);

    StreamSender sender;
    sender.Start({"-f", "mpegts", QString::fromStdString(url + "?pkt_size=1316")});
    frame = NextFrame(source, milliseconds(8000));
    ASSERT_NE(frame, nullptr) << source.Status().Reason;
    EXPECT_EQ(frame->Planes.Width(), 320);
}

TEST_F(LiveSourceTest, AStreamAddressCannotReadAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("stream.ts");
    QProcess make;
    make.start(QStandardPaths::findExecutable("ffmpeg"), QStringList{"-hide_banner", "-loglevel", "error", "-nostdin"}
                                                             << testing::TestStreamPicture() << "-t"
                                                             << "4"
                                                             << "-c:v"
                                                             << "mpeg2video"
                                                             << "-f"
                                                             << "mpegts" << file);
    ASSERT_TRUE(make.waitForFinished(60000));
    ASSERT_EQ(make.exitCode(), 0);

    // The UDP kind's whitelist refuses a file whatever the URL says; with "file" allowed the
    // same address reads frames, so the refusal is the whitelist's doing.
    for (const bool allowFile : {false, true}) {
        SCOPED_TRACE(allowFile ? "file allowed" : "udp only");
        LiveSourceAddress address = Parse("udp://127.0.0.1:1234");
        address.Url = "file:" + file.toStdString();
        if (allowFile) address.ProtocolWhitelist = "file";
        LiveSource source(address, 320, 240);
        source.Start();
        std::unique_ptr<LiveFrame> frame;
        const bool got = WaitFor([&] { return source.TakeFrame(frame); }, milliseconds(allowFile ? 8000 : 1500));
        EXPECT_EQ(got, allowFile);
        if (!allowFile) {
            EXPECT_EQ(source.Status().Signal, LiveSignal::None);
            EXPECT_NE(source.Status().Reason.find("cannot be opened"), std::string::npos) << source.Status().Reason;
        }
    }
}

}  // namespace
}  // namespace tesselink
