// SPDX-License-Identifier: GPL-3.0-or-later
// The program run as a user runs it: bad map paths, full disks, unattended screenshots.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "map/map_file.h"
#include "picture/no_signal_card.h"
#include "support/source_tree.h"

namespace tesselink {
namespace {

// PNG's chunk checksum (CRC-32 of ISO 3309), big-endian.
QByteArray Crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    const char out[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    return QByteArray(out, 4);
}

struct Outcome {
    int Code = -1;  // -1: still running after the time limit (killed)
    QString Out, Err;
};

// The settings folder of the program's runs: the user's own recent maps stay untouched.
QString ConfigHome() {
    static const QTemporaryDir config;
    return config.path();
}

// Runs `sh -c script` with the program as $0 and `args` after it, for at most `seconds`.
Outcome RunShell(const QString& script, const QStringList& args, int seconds = 60) {
    QProcess p;
    // Qt warns on stderr without a runtime folder; the tests read stderr.
    static const QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("XDG_CONFIG_HOME", ConfigHome());
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
    void Write(const char* name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray Read(const char* name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::System | QDir::Hidden); }
    // Both command-line modes that write a picture, each to `out`.
    QList<QStringList> WritingRuns(const QString& out) const {
        return {{"--render", Path("empty.map"), "--picture", picture_, "--output", out},
                {"--screenshot", out, Path("empty.map")}};
    }
    // Runs both modes with `out` taken by a node of the given type and expects it left as it was.
    void ExpectNodeKept(const char* name, mode_t type) {
        for (const QStringList& args : WritingRuns(Path(name))) {
            const Outcome o = RunProgram(args, 20);
            ASSERT_NE(o.Code, -1) << args[0].toStdString() << " hung on the node";
            EXPECT_EQ(o.Code, 1) << args[0].toStdString();
            EXPECT_EQ(o.Err, "tesselink: cannot write " + Path(name) + ": is not a regular file\n");
            struct stat info {};
            ASSERT_EQ(::lstat(StdPath(name).c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & S_IFMT, type) << "the node was replaced";
            EXPECT_EQ(Files(), QStringList({"empty.map", name})) << "a temporary file was left";
        }
    }

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
    const Outcome render =
        RunShell(FullDiskScript, {mount.path(), "--render", Path("empty.map"), "--picture", picture_, "--output", out});
    ExpectOldFileKept(render, "--render");
    EXPECT_EQ(render.Err.count('\n'), 1) << render.Err.toStdString();
    ExpectOldFileKept(RunShell(FullDiskScript, {mount.path(), "--screenshot", out, Path("empty.map")}), "--screenshot");
}

// A size limit (a quota, a container's) makes the write fail with the system's reason instead
// of its signal ending the run without a word (status 153).
TEST_F(CommandLine, AFileSizeLimitFailsTheWriteWithItsReason) {
    for (const QStringList& args : WritingRuns(Path("out.png"))) {
        Write("out.png", "OLD");
        const Outcome o = RunShell("ulimit -f 1; exec \"$0\" \"$@\"", args);
        EXPECT_EQ(o.Code, 1) << args[0].toStdString();
        EXPECT_EQ(o.Err, "tesselink: cannot write " + Path("out.png") + ": File too large\n");
        EXPECT_EQ(Read("out.png"), "OLD");
        EXPECT_EQ(Files(), QStringList({"empty.map", "out.png"}));
    }
}

TEST_F(CommandLine, AnOutputThatIsAFifoIsLeftAsItWas) {
    ASSERT_EQ(mkfifo(StdPath("pipe.png").c_str(), 0600), 0);
    ExpectNodeKept("pipe.png", S_IFIFO);
}

// As root, /dev/null itself would once have been replaced; a copy of it stands in.
TEST_F(CommandLine, AnOutputThatIsADeviceIsLeftAsItWas) {
    if (mknod(StdPath("null.png").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here (needs root): " << std::strerror(errno);
    ExpectNodeKept("null.png", S_IFCHR);
}

// A path longer than PATH_MAX is not a missing folder.
TEST_F(CommandLine, AnOutputPathOverPathMaxSaysFileNameTooLong) {
    QString deep = dir_.path();
    while (deep.size() <= 4200) deep += "/" + QString(200, 'd');
    for (const QStringList& args : WritingRuns(deep + "/out.png")) {
        const Outcome o = RunProgram(args);
        EXPECT_EQ(o.Code, 1) << args[0].toStdString();
        EXPECT_EQ(o.Err, "tesselink: cannot write " + deep + "/out.png: File name too long\n");
    }
}

// A process killed while it wrote the settings' lock leaves the lock file empty; QSettings would
// wait 30 s before breaking it, at the first save of the recent maps.
TEST_F(CommandLine, ALeftoverSettingsLockDoesNotStallTheStart) {
    const QString folder = ConfigHome() + "/Local AppWizard-Generated Applications";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile lock(folder + "/Tesselink.conf.lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    const Outcome o = RunProgram({"--screenshot", Path("s.png"), Path("empty.map")}, 20);
    ASSERT_NE(o.Code, -1) << "waited for the lock";
    EXPECT_EQ(o.Code, 0) << o.Err.toStdString();
    EXPECT_FALSE(lock.exists());
    EXPECT_TRUE(QFile(folder + "/Tesselink.conf").size() > 0) << "the recent maps were saved";
}

// Damaged pictures and a missing runtime folder make Qt and libpng talk on stderr; a
// command-line run prints its own line and nothing else.
TEST_F(CommandLine, ACommandLineRunPrintsOnlyItsOwnLines) {
    QByteArray png = QByteArray::fromHex("89504e470d0a1a0a");
    const QByteArray head = QByteArray("IHDR") + QByteArray::fromHex("000000000000000a0802000000");  // width 0
    png += QByteArray::fromHex("0000000d") + head + Crc32(head);
    png += QByteArray::fromHex("00000000") + "IEND" + Crc32("IEND");
    Write("broken.png", png);
    const Outcome o =
        RunProgram({"--render", Path("empty.map"), "--picture", Path("broken.png"), "--output", Path("o.png")});
    EXPECT_EQ(o.Code, 1);
    EXPECT_EQ(o.Err, "tesselink: cannot load picture " + Path("broken.png") + ": the picture data is damaged\n");

    const Outcome s =
        RunShell("unset XDG_RUNTIME_DIR; exec \"$0\" \"$@\"", {"--screenshot", Path("s.png"), Path("empty.map")});
    EXPECT_EQ(s.Code, 0);
    EXPECT_EQ(s.Err, "");
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
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(open.path(), everyone));
    const QString program = open.filePath("tesselink");
    ASSERT_TRUE(QFile::copy(TESSELINK_EXECUTABLE, program));
    ASSERT_TRUE(QFile::setPermissions(program, everyone));
    ASSERT_TRUE(QFile::copy(Path("empty.map"), open.filePath("empty.map")));
    ASSERT_TRUE(QFile::setPermissions(open.filePath("empty.map"), everyone));
    ASSERT_TRUE(QFile::copy(picture_, open.filePath("secret.jpg")));
    ASSERT_TRUE(QFile::setPermissions(open.filePath("secret.jpg"), QFile::WriteOwner));

    const QString as =
        geteuid() == 0 ? "exec setpriv --reuid=65534 --regid=65534 --clear-groups \"$@\"" : "exec \"$@\"";
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
    EXPECT_EQ(o.Code, 1) << o.Err.toStdString();
    EXPECT_EQ(o.Err, "tesselink: High and Width can't more than 2000\n");

    o = RunProgram({"--screenshot", Path("a.png"), Path("empty.map")}, 30);
    EXPECT_EQ(o.Code, 0) << o.Err.toStdString();
    EXPECT_EQ(QImage(Path("a.png")).size(), QSize(1280, 800));

    for (const QString& path : {Path("absent.map"), dir_.path()}) {
        o = RunProgram({"--screenshot", Path("b.png"), path}, 30);
        ASSERT_NE(o.Code, -1) << "waited for a click on " << path.toStdString();
        EXPECT_EQ(o.Code, 1);
        EXPECT_TRUE(o.Err.contains("tesselink: Failed to open document. " + path + " ")) << o.Err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("b.png")));
}

// --source in the editor: a refused address ends the start in one line, before any window; an
// accepted one is opened after the first update, and with nothing sending its card is what the
// views show.
TEST_F(CommandLine, TheEditorOpensItsSourceOrRefusesItBeforeTheWindow) {
    Outcome o = RunProgram({"--screenshot", Path("s.png"), "--source", "file:///etc/passwd", Path("empty.map")}, 30);
    EXPECT_EQ(o.Code, 2);
    EXPECT_TRUE(o.Err.startsWith("tesselink: ") && o.Err.count('\n') == 1 && o.Err.contains("file:///etc/passwd"))
        << o.Err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("s.png")));

    // A port on the loopback nothing sends to.
    o = RunProgram({"--screenshot", Path("s.png"), "--source", "udp://127.0.0.1:9", Path("empty.map")}, 30);
    ASSERT_EQ(o.Code, 0) << o.Err.toStdString();
    // FFmpeg's own complaints about the silent port are not printed.
    EXPECT_EQ(o.Err, "");
    const QImage shot(Path("s.png"));
    ASSERT_FALSE(shot.isNull());
    long long card = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if ((shot.pixel(x, y) & 0xffffffu) == NoSignalCardBackground) ++card;
    // The card's background fills much of the Original view and the Target view.
    EXPECT_GT(card, 40000) << card;
}

// A map without windows may carry any head size. At 65535 x 65535 the editor once stretched the
// picture to that size (17 GB); now it starts at once, in little memory, and says why.
// A map file the reader refuses, named for a screenshot run, fails the run as an unreadable one
// does: the picture would not show the map asked for.
TEST_F(CommandLine, AScreenshotOfARefusedMapFails) {
    Map map;
    map.Windows = {MakeWindow(0, 0, 10, 10, 0, 0, 0)};
    map.Head.WindowCount = 1;
    ASSERT_TRUE(WriteMapFile(map, StdPath("good.map")));
    const QByteArray good = Read("good.map");
    QByteArray outside = good;
    outside[16 + 8] = 0x02;  // target x 635: the window leaves the target
    outside[16 + 9] = 0x7b;
    const struct {
        const char* Name;
        QByteArray Bytes;
    } refused[] = {{"magic.map", "#Mop" + good.mid(4)},
                   {"truncated.map", good.left(good.size() - 3)},
                   {"outside.map", outside},
                   {"wide.map", good.left(8) + QByteArray::fromHex("0bb8") + good.mid(10)}};  // original width 3000
    for (const auto& r : refused) {
        Write(r.Name, r.Bytes);
        const Outcome o = RunProgram({"--screenshot", Path("s.png"), Path(r.Name)}, 30);
        ASSERT_NE(o.Code, -1) << r.Name << " waited for a click";
        EXPECT_EQ(o.Code, 1) << r.Name;
        EXPECT_FALSE(o.Err.isEmpty()) << r.Name << " was refused without a word";
        EXPECT_FALSE(QFile::exists(Path("s.png"))) << r.Name;
    }
}

TEST_F(CommandLine, TheEditorStartsWithAnOriginalAreaTooLargeToShow) {
    Map map;
    map.Head.OriginalWidth = map.Head.OriginalHeight = 65535;
    ASSERT_TRUE(WriteMapFile(map, StdPath("huge.map")));
#ifdef TESSELINK_SANITIZED
    const char* const limit = "";  // the sanitizer reserves far more address space than this
#else
    const char* const limit = "ulimit -v 1500000; ";
#endif
    const Outcome o =
        RunShell(QString(limit) + "exec \"$0\" \"$@\"", {"--screenshot", Path("s.png"), Path("huge.map")});
    ASSERT_NE(o.Code, -1) << "the editor did not come up";
    EXPECT_EQ(o.Code, 0) << o.Err.toStdString();
    EXPECT_EQ(QImage(Path("s.png")).size(), QSize(1280, 800));

    const Outcome render = RunProgram({"--render", Path("huge.map"), "--picture", picture_, "--output", Path("r.png")});
    EXPECT_EQ(render.Code, 1);
    EXPECT_TRUE(render.Err.contains("The original area 65535 x 65535 is too large to show"))
        << render.Err.toStdString();
}

}  // namespace
}  // namespace tesselink
