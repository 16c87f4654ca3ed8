// SPDX-License-Identifier: GPL-3.0-or-later
// The one writer of outputs: through symbolic links, keeping modes, sweeping what killed runs
// left; and the check that an output is none of a command's inputs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "map/output_guard.h"
#include "map/safe_write.h"

namespace tesselink {
namespace {

class SafeWrite : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }
    void Put(const char* name, const char* text) const {
        QFile f(dir_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray Contents(const char* name) const {
        QFile f(dir_.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
    mode_t Mode(const char* name) const {
        struct stat info {};
        EXPECT_EQ(::stat(Path(name).c_str(), &info), 0);
        return info.st_mode & 07777;
    }
    QStringList Temporaries() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(".tesselink-");
    }
    bool IsLink(const char* name) const {
        struct stat info {};
        return ::lstat(Path(name).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    }

    QTemporaryDir dir_;
};

TEST_F(SafeWrite, WritesThroughSymbolicLinksAndKeepsTheOldMode) {
    Put("real.txt", "old");
    ASSERT_EQ(::chmod(Path("real.txt").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("real.txt", Path("link.txt").c_str()), 0);
    ASSERT_EQ(::symlink("link.txt", Path("link2.txt").c_str()), 0);  // a chain of two

    ASSERT_TRUE(WriteFileSafely(Path("link2.txt"), "new", 3));
    EXPECT_TRUE(IsLink("link.txt"));
    EXPECT_TRUE(IsLink("link2.txt"));
    EXPECT_EQ(Contents("real.txt"), "new");
    EXPECT_EQ(Mode("real.txt"), 0600u);

    // A link to a file not there yet makes it, with the mode a plain create gives.
    ASSERT_EQ(::symlink("later.txt", Path("dangling.txt").c_str()), 0);
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(WriteFileSafely(Path("dangling.txt"), "made", 4));
    ::umask(mask);
    EXPECT_TRUE(IsLink("dangling.txt"));
    EXPECT_EQ(Contents("later.txt"), "made");
    EXPECT_EQ(Mode("later.txt"), 0644u);
    EXPECT_TRUE(Temporaries().isEmpty());
}

TEST_F(SafeWrite, TheTemporaryOfAKilledRunIsSweptAtTheNextWriteButNotOneBeingWritten) {
    Put("out.png", "old");
    auto hold = [&](QProcess& p) {
        p.start(OUTPUT_TEMPORARY_PROBE, {"hold", QString::fromStdString(Path("out.png"))});
        ASSERT_TRUE(p.waitForReadyRead(20000));
        ASSERT_EQ(p.readAllStandardOutput(), "ready\n");
    };
    QProcess killed;
    hold(killed);
    ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(20000));
    const QStringList left = Temporaries();
    ASSERT_EQ(left.size(), 1) << "a SIGKILL leaves its temporary";

    // The next run that writes out.png, here one that stays in the middle of its write, sweeps it.
    QProcess alive;
    hold(alive);
    const QStringList held = Temporaries();
    ASSERT_EQ(held.size(), 1);
    EXPECT_NE(held, left);

    QProcess writer;
    writer.start(OUTPUT_TEMPORARY_PROBE, {"write", QString::fromStdString(Path("out.png")), "new"});
    ASSERT_TRUE(writer.waitForFinished(20000));
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    EXPECT_EQ(Contents("out.png"), "new");
    EXPECT_EQ(Temporaries(), held) << "the live writer's temporary is kept";

    // Nor does the sweep touch other names, or temporaries of another output.
    Put(".out.png.backup", "mine");
    Put(".other.png.tesselink-abc123", "not ours to judge");
    ::kill(static_cast<pid_t>(alive.processId()), SIGKILL);
    ASSERT_TRUE(alive.waitForFinished(20000));
    writer.start(OUTPUT_TEMPORARY_PROBE, {"write", QString::fromStdString(Path("out.png")), "newer"});
    ASSERT_TRUE(writer.waitForFinished(20000));
    EXPECT_EQ(Contents("out.png"), "newer");
    EXPECT_EQ(Temporaries(), QStringList{".other.png.tesselink-abc123"});
    EXPECT_EQ(Contents(".out.png.backup"), "mine");
}

TEST_F(SafeWrite, AnOutputIsMatchedToAnInputByItsFileNotItsName) {
    Put("map.map", "m");
    Put("pic.png", "p");
    ASSERT_EQ(::link(Path("map.map").c_str(), Path("hard.png").c_str()), 0);
    ASSERT_EQ(::symlink("pic.png", Path("soft.png").c_str()), 0);
    const std::vector<NamedInput> inputs{{"map", Path("map.map")}, {"picture", Path("pic.png")}};

    EXPECT_EQ(OutputIsInputProblem(Path("hard.png"), inputs), "it is the map " + Path("map.map"));
    EXPECT_EQ(OutputIsInputProblem(Path("soft.png"), inputs), "it is the picture " + Path("pic.png"));
    const std::string dotted = dir_.path().toStdString() + "/./pic.png";
    EXPECT_EQ(OutputIsInputProblem(dotted, inputs), "it is the picture " + Path("pic.png"));
    Put("other.png", "o");
    EXPECT_EQ(OutputIsInputProblem(Path("other.png"), inputs), "");
    EXPECT_EQ(OutputIsInputProblem(Path("new.png"), inputs), "");  // not there yet
}

TEST(PictureOutputName, OnlyPictureExtensionsAreTaken) {
    EXPECT_STREQ(PictureOutputFormat("a/b.PNG"), "png");
    EXPECT_STREQ(PictureOutputFormat("x.jpeg"), "jpg");
    EXPECT_STREQ(PictureOutputFormat("x.bmp"), "bmp");
    for (const char* name : {"wall.map", "wall.json", "wall.csv", "clip.mp4", "png", "dir.png/out", "out."})
        EXPECT_EQ(PictureOutputFormat(name), nullptr) << name;
    EXPECT_EQ(PictureOutputNameProblem("wall.map"),
              "a .map file is not a picture; a picture output ends in .png, "
              ".bmp or .jpg");
    EXPECT_EQ(PictureOutputNameProblem("out"),
              "the name has no extension; a picture output ends in .png, .bmp or .jpg");
}

}  // namespace
}  // namespace tesselink
