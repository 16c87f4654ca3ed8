// The program run as a user runs it: bad map paths, full disks, unattended screenshots.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include "map/map_file.h"
#include "support/source_tree.h"

namespace tesselink {
namespace {

struct Outcome {
    int Code = -1;  // -1: still running after the time limit (killed)
    QString Out, Err;
};

// Runs `sh -c script` with the program as $0 and `args` after it, for at most `seconds`.
Outcome RunShell(const QString& script, const QStringList& args, int seconds = 60) {
    QProcess p;
    // Qt warns on stderr without a runtime folder; the tests read stderr.
    static const QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    p.setProcessEnvironment(env);
    p.start("/bin/sh", QStringList{"-c", script, TESSELINK_EXECUTABLE} + args);
    Outcome o;
    if (!p.waitForFinished(seconds * 1000)) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.Code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    o.Out = QString::fromUtf8(p.readAllStandardOutput());
    o.Err = QString::fromUtf8(p.readAllStandardError());
    return o;
}

Outcome RunProgram(const QStringList& args, int seconds = 60) { return RunShell("exec \"$0\" \"$@\"", args, seconds); }

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        Map map;  // 640 x 480 both ways, no windows: a 2 KB grey PNG
        ASSERT_TRUE(WriteMapFile(map, StdPath("empty.map")));
        picture_ = testing::SourcePath("res/tesselink.jpg");
    }
    QString Path(const char* name) const { return dir_.filePath(name); }
    std::string StdPath(const char* name) const { return Path(name).toStdString(); }

    QTemporaryDir dir_;
    QString picture_;
};

// Runs the program on a private 64 KiB tmpfs at `mount`, already full, holding out.png with
// "OLD" in it. Prints "rc=", the old file's contents and the folder's listing. Without mount
// rights (no user namespaces) a file-size limit of 0 stands in for the full disk.
const char* const FullDiskScript = R"sh(
prog=$0; mnt=$1; shift
if unshare -rm true 2>/dev/null; then
  exec unshare -rm sh -c '
    prog=$0; mnt=$1; shift
    mount -t tmpfs -o size=64k tmpfs "$mnt" || exit 90
    printf OLD > "$mnt/out.png"
    head -c 1000000 /dev/zero > "$mnt/fill" 2>/dev/null
    "$prog" "$@"; echo "rc=$?"
    echo "old=$(cat "$mnt/out.png")"; ls -A "$mnt"' "$prog" "$mnt" "$@"
fi
printf OLD > "$mnt/out.png"
(trap "" XFSZ; ulimit -f 0; exec "$prog" "$@"); echo "rc=$?"
echo "old=$(cat "$mnt/out.png")"; ls -A "$mnt"
)sh";

void ExpectOldFileKept(const Outcome& o, const char* what) {
    ASSERT_NE(o.Code, -1) << what << " did not end";
    EXPECT_FALSE(o.Out.contains("rc=0")) << what << " reported success:\n" << o.Out.toStdString();
    EXPECT_TRUE(o.Out.contains("old=OLD\n")) << what << " replaced the old file:\n" << o.Out.toStdString();
    const QStringList listing = o.Out.section("old=OLD\n", 1).split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(listing.isEmpty() || listing == QStringList({"fill", "out.png"})) << o.Out.toStdString();
    const QString reason = o.Out.contains("fill") ? "No space left on device" : "File too large";
    EXPECT_TRUE(o.Err.contains(reason)) << o.Err.toStdString();
    EXPECT_FALSE(o.Err.contains("libpng")) << "no encoder chatter:\n" << o.Err.toStdString();
}

TEST_F(CommandLine, AFullDiskFailsTheWriteAndKeepsTheOldFile) {
    QTemporaryDir mount;
    const QString out = mount.filePath("out.png");
    const Outcome render = RunShell(FullDiskScript, {mount.path(), "--render", Path("empty.map"), "--picture",
                                                     picture_, "--output", out});
    ExpectOldFileKept(render, "--render");
    EXPECT_EQ(render.Err.count('\n'), 1) << render.Err.toStdString();
    ExpectOldFileKept(RunShell(FullDiskScript, {mount.path(), "--screenshot", out, Path("empty.map")}),
                      "--screenshot");
}

TEST_F(CommandLine, MapPathsThatAreNotRegularFilesAreRefusedAtOnce) {
    ASSERT_EQ(mkfifo(StdPath("pipe.map").c_str(), 0600), 0);
    const struct {
        QString Path;
        const char* Reason;
    } cases[] = {{"/dev/zero", "is not a regular file"},
                 {Path("pipe.map"), "is not a regular file"},
                 {dir_.path(), "is a folder"},
                 {Path("absent.map"), "No such file or directory"}};
    for (const auto& c : cases) {
        const Outcome o = RunProgram({"--render", c.Path, "--picture", picture_, "--output", Path("o.png")}, 20);
        ASSERT_NE(o.Code, -1) << c.Path.toStdString() << " hung";
        EXPECT_EQ(o.Code, 1);
        EXPECT_EQ(o.Err, "tesselink: cannot load map " + c.Path + ": " + c.Reason + "\n");
    }
    EXPECT_FALSE(QFile::exists(Path("o.png")));
}

// A picture the user may not read says so, not "not a picture (File not found)". Root reads
// anything, so as root the program runs as the unprivileged user "nobody".
TEST_F(CommandLine, AnUnreadablePictureSaysPermissionDenied) {
    QTemporaryDir open;  // a folder everyone may enter, with a copy of the program
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(open.path(), everyone));
    const QString program = open.filePath("tesselink");
    ASSERT_TRUE(QFile::copy(TESSELINK_EXECUTABLE, program));
    ASSERT_TRUE(QFile::setPermissions(program, everyone));
    ASSERT_TRUE(QFile::copy(Path("empty.map"), open.filePath("empty.map")));
    ASSERT_TRUE(QFile::setPermissions(open.filePath("empty.map"), everyone));
    ASSERT_TRUE(QFile::copy(picture_, open.filePath("secret.jpg")));
    ASSERT_TRUE(QFile::setPermissions(open.filePath("secret.jpg"), QFile::WriteOwner));

    const QString as = geteuid() == 0 ? "exec setpriv --reuid=65534 --regid=65534 --clear-groups \"$@\""
                                      : "exec \"$@\"";
    const Outcome o = RunShell(as, {program, "--render", open.filePath("empty.map"), "--picture",
                                    open.filePath("secret.jpg"), "--output", open.filePath("o.png")});
    EXPECT_EQ(o.Code, 1);
    EXPECT_EQ(o.Err, "tesselink: cannot load picture " + open.filePath("secret.jpg") + ": Permission denied\n");
}

// A screenshot run has nobody to click: every message box goes to stderr and the run ends.
TEST_F(CommandLine, AScreenshotRunNeverWaitsForAClick) {
    QFile bad(Path("bad.map"));  // one window in a head wider than 2000: refused with a message
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("#Map\0\0\x01\0\x07\xd1\x01\xe0\x02\x80\x01\xe0", 16) + QByteArray(14, '\0'));
    bad.close();

    Outcome o = RunProgram({"--screenshot", Path("a.png"), Path("bad.map")}, 30);
    ASSERT_NE(o.Code, -1) << "waited for a click on the refused map's message";
    EXPECT_EQ(o.Code, 0) << o.Err.toStdString();
    EXPECT_TRUE(o.Err.contains("tesselink: High and Width can't more than 2000\n")) << o.Err.toStdString();
    EXPECT_EQ(QImage(Path("a.png")).size(), QSize(1280, 800));

    for (const QString& path : {Path("absent.map"), dir_.path()}) {
        o = RunProgram({"--screenshot", Path("b.png"), path}, 30);
        ASSERT_NE(o.Code, -1) << "waited for a click on " << path.toStdString();
        EXPECT_EQ(o.Code, 1);
        EXPECT_TRUE(o.Err.contains("tesselink: Failed to open document. " + path + " ")) << o.Err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("b.png")));
}

// A map without windows may carry any head size. At 65535 x 65535 the editor once stretched the
// picture to that size (17 GB); now it starts at once, in little memory, and says why.
TEST_F(CommandLine, TheEditorStartsWithAnOriginalAreaTooLargeToShow) {
    Map map;
    map.Head.OriginalWidth = map.Head.OriginalHeight = 65535;
    ASSERT_TRUE(WriteMapFile(map, StdPath("huge.map")));
#ifdef TESSELINK_SANITIZED
    const char* const limit = "";  // the sanitizer reserves far more address space than this
#else
    const char* const limit = "ulimit -v 1500000; ";
#endif
    const Outcome o = RunShell(QString(limit) + "exec \"$0\" \"$@\"", {"--screenshot", Path("s.png"), Path("huge.map")});
    ASSERT_NE(o.Code, -1) << "the editor did not come up";
    EXPECT_EQ(o.Code, 0) << o.Err.toStdString();
    EXPECT_EQ(QImage(Path("s.png")).size(), QSize(1280, 800));

    const Outcome render = RunProgram({"--render", Path("huge.map"), "--picture", picture_, "--output", Path("r.png")});
    EXPECT_EQ(render.Code, 1);
    EXPECT_TRUE(render.Err.contains("The original area 65535 x 65535 is too large to show")) << render.Err.toStdString();
}

}  // namespace
}  // namespace tesselink
