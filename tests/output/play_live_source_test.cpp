// SPDX-License-Identifier: GPL-3.0-or-later
// tesselink --play --source as a program: an address that is not a live source is a usage
// mistake; a source that sends nothing shows "No signal" and is retried, and the picture comes when
// the ffmpeg program starts sending on the loopback, and goes again when it stops.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/free_udp_port.h"
#include "map/map_file.h"
#include "support/test_files.h"

namespace tesselink {
namespace {

QProcessEnvironment TwoScreens() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", QStringLiteral("offscreen:configfile=") + TWO_SCREENS);
    return env;
}

using testing::FreeUdpPort;

class PlayLiveSource : public ::testing::Test {
protected:
    void SetUp() override {
        map_ = dir_.filePath("wall.map");
        Map map;
        map.Head.OriginalWidth = map.Head.OriginalHeight = 64;
        map.Head.TargetWidth = 128;
        map.Head.TargetHeight = 64;
        map.Windows = {MakeWindow(0, 0, 64, 64, 0, 0, 0), MakeWindow(0, 0, 64, 64, 64, 0, 3)};
        map.Head.WindowCount = 2;
        ASSERT_TRUE(WriteMapFile(map, map_.toStdString()));
    }
    // Reads the player's stderr until `text` shows up or `milliseconds` pass.
    bool WaitForText(QProcess& process, QByteArray& err, const QByteArray& text, int milliseconds) {
        for (int waited = 0; waited < milliseconds; waited += 100) {
            if (err.contains(text)) return true;
            process.waitForReadyRead(100);
            err += process.readAllStandardError();
        }
        return err.contains(text);
    }
    QTemporaryDir dir_;
    QString map_;
};

TEST_F(PlayLiveSource, AddressesThatAreNotLiveSourcesAreUsageMistakes) {
    struct Case {
        QStringList extra;
        const char* reason;
    };
    const Case cases[] = {
        {{"--source", "file:/etc/passwd"}, "is not a live source"},
        {{"--source", "concat:a.ts|b.ts"}, "is not a live source"},
        {{"--source", "udp://127.0.0.1:1234?fifo_size=999999999999"}, "fifo_size"},
        {{"--source", "udp://127.0.0.1:1234", "--lineup"}, "takes one source"},
        {{"--source", "udp://127.0.0.1:1234", "--loop"}, "--loop goes with --video"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extra.join(' ').toStdString());
        QProcess process;
        process.setProcessEnvironment(TwoScreens());
        process.start(TESSELINK_EXECUTABLE, QStringList{"--play", map_} + c.extra);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 2);
        const std::string err = process.readAllStandardError().toStdString();
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    }
}

TEST_F(PlayLiveSource, NoSignalUntilTheSenderStartsThenThePictureThenNoSignalAgain) {
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (ffmpeg.isEmpty()) GTEST_SKIP() << "Debian's ffmpeg is not installed";
    const QString url = QStringLiteral("udp://127.0.0.1:%1").arg(FreeUdpPort());
    QProcess player;
    player.setProcessEnvironment(TwoScreens());
    player.start(TESSELINK_EXECUTABLE, {"--play", map_, "--source", url, "--screen", "2", "--stats"});
    ASSERT_TRUE(player.waitForStarted());
    QByteArray err;
    // Nothing there: the card, and a word on stderr, within about a second.
    ASSERT_TRUE(WaitForText(player, err, "no signal from " + url.toUtf8(), 4000)) << err.toStdString();
    ASSERT_TRUE(WaitForText(player, err, "shown 0, dropped 0, no signal (", 4000)) << err.toStdString();

    QProcess sender;
    sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sender.start(ffmpeg,
                 {"-hide_banner", "-loglevel", "error", "-nostdin", "-re", "-f", "lavfi", "-i",
                  "testsrc2=s=160x120:r=30", "-c:v", "mpeg2video", "-g", "6", "-f", "mpegts", url + "?pkt_size=1316"});
    ASSERT_TRUE(sender.waitForStarted());
    ASSERT_TRUE(WaitForText(player, err, "the signal from " + url.toUtf8() + " is back", 8000)) << err.toStdString();
    // Frames are shown one after the other, with the stream's own time.
    err.clear();
    ASSERT_TRUE(WaitForText(player, err, ", live, source time", 3000)) << err.toStdString();
    sender.kill();
    sender.waitForFinished();
    EXPECT_TRUE(WaitForText(player, err, "no signal from " + url.toUtf8(), 4000)) << err.toStdString();
    player.terminate();
    ASSERT_TRUE(player.waitForFinished(10000));
    EXPECT_EQ(player.exitCode(), 0);
}

}  // namespace
}  // namespace tesselink
