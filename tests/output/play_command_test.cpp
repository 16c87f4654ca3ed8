// SPDX-License-Identifier: GPL-3.0-or-later
// tesselink --play as a program: inputs refused as --render refuses them (status 1) and screen
// mistakes (status 2) before any window opens; a stop by SIGTERM or SIGINT ends it with status 0.
#include <gtest/gtest.h>

#include <signal.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "map/map_file.h"
#include "support/test_files.h"

namespace tesselink {
namespace {

struct PlayRun {
    int status = -1;
    std::string err;
};

QProcessEnvironment TwoScreens() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", QStringLiteral("offscreen:configfile=") + TWO_SCREENS);
    return env;
}

PlayRun Play(const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(TwoScreens());
    process.start(TESSELINK_EXECUTABLE, arguments);
    EXPECT_TRUE(process.waitForFinished(20000)) << "the refusal must come before a window opens";
    return {process.exitCode(), process.readAllStandardError().toStdString()};
}

class PlayCommand : public ::testing::Test {
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
        picture_ = dir_.filePath("p.png");
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(picture_));
    }
    QTemporaryDir dir_;
    QString map_, picture_;
};

TEST_F(PlayCommand, RefusesWhatRenderRefusesWithTheSameReason) {
    const QString notMap = dir_.filePath("text.map");
    QFile file(notMap);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("hello");
    file.close();
    for (const QString& bad : {notMap, dir_.filePath("missing.map")}) {
        QProcess render;
        render.start(TESSELINK_EXECUTABLE,
                     {"--render", bad, "--picture", picture_, "--output", dir_.filePath("o.png")});
        ASSERT_TRUE(render.waitForFinished(20000));
        const PlayRun play = Play({"--play", bad, "--picture", picture_});
        EXPECT_EQ(play.status, 1);
        EXPECT_EQ(play.err, render.readAllStandardError().toStdString());
    }
    const PlayRun noPicture = Play({"--play", map_, "--picture", dir_.filePath("none.png")});
    EXPECT_EQ(noPicture.status, 1);
    EXPECT_NE(noPicture.err.find("cannot load picture"), std::string::npos) << noPicture.err;
    const PlayRun noVideo = Play({"--play", map_, "--video", notMap});
    EXPECT_EQ(noVideo.status, 1);
    EXPECT_NE(noVideo.err.find("cannot load video"), std::string::npos) << noVideo.err;
}

TEST_F(PlayCommand, ScreenMistakesAreUsageMistakesNamingTheScreens) {
    PlayRun run = Play({"--play", map_, "--lineup", "--screen", "HDMI-3"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("1: DESK 640 x 480 at 0,0; 2: WALL 800 x 600 at 640,0"), std::string::npos) << run.err;
    run = Play({"--play", map_, "--lineup", "--at", "1440,0"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("is on no screen"), std::string::npos) << run.err;
    run = Play({"--play", map_, "--lineup", "--at", "700,10", "--screen", "WALL"});
    EXPECT_EQ(run.status, 2);
    run = Play({"--play", map_, "--lineup", "--picture", picture_});
    EXPECT_EQ(run.status, 2);
    run = Play({"--play", map_, "--picture", picture_, "--loop"});
    EXPECT_EQ(run.status, 2);
    run = Play({"--play", map_, "--picture", picture_, "--at", "x,1"});
    EXPECT_EQ(run.status, 2);
}

TEST_F(PlayCommand, StopsCleanlyOnSigtermAndSigint) {
    for (int signal : {SIGTERM, SIGINT}) {
        QProcess process;
        process.setProcessEnvironment(TwoScreens());
        process.start(TESSELINK_EXECUTABLE, {"--play", map_, "--picture", picture_, "--screen", "2", "--stats"});
        ASSERT_TRUE(process.waitForStarted());
        // The first statistics line says the picture is on the screen.
        QByteArray err;
        for (int i = 0; i < 100 && !err.contains("shown 1"); ++i) {
            process.waitForReadyRead(100);
            err += process.readAllStandardError();
        }
        EXPECT_TRUE(err.contains("shown 1, dropped 0")) << err.toStdString();
        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }
}

}  // namespace
}  // namespace tesselink
