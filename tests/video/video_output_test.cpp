// SPDX-License-Identifier: GPL-3.0-or-later
// Where tesselink --render --video writes: never over an input, through a symbolic link keeping
// the file's mode, and no temporary left by a hang-up, a broken pipe or, after the next run, a
// SIGKILL.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "map/map_file.h"
#include "render/video_render_command.h"
#include "video_test_files.h"

namespace tesselink {
namespace {

class VideoOutput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        Map map;
        map.Head.OriginalWidth = map.Head.TargetWidth = 256;
        map.Head.OriginalHeight = map.Head.TargetHeight = 192;
        map.Windows = {MakeWindow(0, 0, 128, 96, 0, 0, 5)};
        map.Head.WindowCount = 1;
        ASSERT_TRUE(WriteMapFile(map, Path("m.map").toStdString()));
    }
    QString Path(const char* name) const { return dir_.filePath(name); }
    void WriteVideo(const char* name, int frames) const {
        std::vector<test::TestFrame> list;
        for (int i = 0; i < frames; ++i) list.push_back(test::NumberedFrame(i, 256, 192));
        ASSERT_EQ(test::WriteTestVideo(Path(name).toStdString(), test::TestVideo{}, list), "");
    }
    QByteArray Contents(const char* name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    void Start(QProcess& p, const QString& video, const QString& output) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", dir_.path());
        p.setProcessEnvironment(env);
        p.start(TESSELINK_EXECUTABLE, {"--render", Path("m.map"), "--video", video, "--output", output});
        ASSERT_TRUE(p.waitForStarted());
    }
    // Starts a long render and waits until its temporary file is there.
    void StartLong(QProcess& p) const {
        Start(p, Path("long.mkv"), Path("out.mkv"));
        for (int i = 0; i < 4000 && Files().filter(".out.mkv.").isEmpty(); ++i) QThread::msleep(5);
        ASSERT_FALSE(Files().filter(".out.mkv.").isEmpty()) << p.readAllStandardError().toStdString();
    }

    QTemporaryDir dir_;
};

TEST_F(VideoOutput, AnOutputThatIsTheVideoOrTheMapIsRefusedUntouched) {
    WriteVideo("v.mkv", 3);
    ASSERT_EQ(::symlink("v.mkv", Path("link.mkv").toUtf8().constData()), 0);
    const QByteArray video = Contents("v.mkv"), map = Contents("m.map");
    const struct {
        QString Output;
        QString Message;
    } cases[] = {
        {Path("v.mkv"), ": it is the video " + Path("v.mkv")},
        {Path("link.mkv"), ": it is the video " + Path("v.mkv")},
        {dir_.path() + "/./m.map", ": it is the map " + Path("m.map")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Output.toStdString());
        QProcess p;
        Start(p, Path("v.mkv"), c.Output);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()),
                  "tesselink: cannot write " + c.Output + c.Message + "\n");
        EXPECT_EQ(Contents("v.mkv"), video);
        EXPECT_EQ(Contents("m.map"), map);
    }
    EXPECT_EQ(Files(), QStringList({"link.mkv", "m.map", "v.mkv"}));
}

TEST_F(VideoOutput, ALinkedOutputIsWrittenThroughTheLinkAndKeepsItsMode) {
    WriteVideo("v.mkv", 3);
    {
        QFile old(Path("real.mkv"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    ASSERT_EQ(::chmod(Path("real.mkv").toUtf8().constData(), 0600), 0);
    ASSERT_EQ(::symlink("real.mkv", Path("out.mkv").toUtf8().constData()), 0);
    QProcess p;
    Start(p, Path("v.mkv"), Path("out.mkv"));
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    struct stat link {
    }, real{};
    ASSERT_EQ(::lstat(Path("out.mkv").toUtf8().constData(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    ASSERT_EQ(::stat(Path("real.mkv").toUtf8().constData(), &real), 0);
    EXPECT_EQ(real.st_mode & 07777, 0600u);
    EXPECT_TRUE(Contents("real.mkv").startsWith("\x1a\x45\xdf\xa3"));  // a Matroska file now
}

TEST_F(VideoOutput, AHangUpOrABrokenPipeStopsTheRenderAndLeavesNoTemporary) {
    WriteVideo("long.mkv", 300);
    for (int signal : {SIGHUP, SIGPIPE}) {
        SCOPED_TRACE(signal);
        QProcess p;
        StartLong(p);
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), VideoRenderInterrupted);
        EXPECT_EQ(Files(), QStringList({"long.mkv", "m.map"}));
    }
}

TEST_F(VideoOutput, TheTemporaryOfAKilledRenderIsSweptByTheNextOne) {
    WriteVideo("long.mkv", 300);
    QProcess killed;
    StartLong(killed);
    ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(60000));
    ASSERT_EQ(Files().filter(".out.mkv.").size(), 1);

    WriteVideo("short.mkv", 3);
    QProcess next;
    Start(next, Path("short.mkv"), Path("out.mkv"));
    ASSERT_TRUE(next.waitForFinished(60000));
    EXPECT_EQ(next.exitCode(), 0) << next.readAllStandardError().toStdString();
    EXPECT_EQ(Files(), QStringList({"long.mkv", "m.map", "out.mkv", "short.mkv"}));
}

}  // namespace
}  // namespace tesselink
