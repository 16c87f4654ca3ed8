// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "map/map_file.h"
#include "support/test_files.h"

using namespace tesselink;

namespace {

using tesselink::testing::FileBytes;

void WriteRaw(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

Map SampleMap(int windows) {
    Map map;
    for (int i = 0; i < windows; ++i)
        map.Windows.push_back(MakeWindow(i % 600, i % 400, 10, 20, i % 600, i % 400, i % 6));
    map.Head.WindowCount = static_cast<std::uint8_t>(windows);
    map.Head.CoverOption = CoverFullScreen;
    return map;
}

std::string Std(const QString& s) { return s.toStdString(); }

// Files in `dir` other than `keep`: a failed save must not leave temporary files behind.
QStringList Leftovers(const QDir& dir, const QString& keep) {
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden);
    names.removeAll(keep);
    return names;
}

// Runs the write probe `probe` (a separate process) through `sh -c script`; returns its exit code
// (the shell's 128 + N when a signal N ended the probe) and its stderr in `err`, if given.
int RunProbe(const QString& script, const QStringList& args, const QString& probe = MAP_WRITE_PROBE,
             QString* err = nullptr) {
    QProcess p;
    p.setProgram("/bin/sh");
    p.setArguments(QStringList{"-c", script, probe} + args);  // the probe is $0
    p.start();
    if (!p.waitForFinished(60000)) return -1;
    if (err) *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
}

// A path of more than PATH_MAX (4096) bytes whose every part is a legal name.
std::string PathOverPathMax(const QTemporaryDir& dir) {
    QString path = dir.path();
    while (path.size() <= 4200) path += "/" + QString(200, 'd');
    return Std(path + "/wall.map");
}

}  // namespace

TEST(MapFile, WriteThenReadGivesTheSameMap) {
    QTemporaryDir dir;
    const QString path = dir.filePath("wall.map");
    const Map map = SampleMap(12);
    ASSERT_TRUE(WriteMapFile(map, Std(path)));
    EXPECT_EQ(FileBytes(path).size(), 16 + 14 * 12);

    Map back;
    const MapLoadResult r = ReadMapFile(back, Std(path));
    ASSERT_TRUE(r);
    EXPECT_EQ(back.Head, map.Head);
    EXPECT_EQ(back.Windows, map.Windows);
}

TEST(MapFile, OverwritingReplacesTheWholeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.map");
    ASSERT_TRUE(WriteMapFile(SampleMap(20), Std(path)));
    ASSERT_TRUE(WriteMapFile(SampleMap(1), Std(path)));
    EXPECT_EQ(FileBytes(path).size(), 30) << "no tail of the longer file remains";
    EXPECT_TRUE(Leftovers(QDir(dir.path()), "a.map").isEmpty());
}

TEST(MapFile, ReadingWhatCannotBeOpenedLeavesTheMapAlone) {
    QTemporaryDir dir;
    Map map = SampleMap(3);
    const MapLoadResult r = ReadMapFile(map, Std(dir.filePath("missing.map")));
    EXPECT_FALSE(r);
    EXPECT_TRUE(r.Message.empty());
    EXPECT_EQ(map.Windows.size(), 3u);
    EXPECT_EQ(map.Head.WindowCount, 3);
    EXPECT_EQ(r.ReadError, "No such file or directory");
    const MapLoadResult folder = ReadMapFile(map, Std(dir.path()));
    EXPECT_FALSE(folder);
    EXPECT_EQ(folder.ReadError, "is a folder");
    EXPECT_EQ(map.Windows.size(), 3u);
    EXPECT_EQ(MapFileReadProblem(Std(dir.path())), "is a folder");
    EXPECT_EQ(MapFileReadProblem("/dev/null"), "is not a regular file");
    EXPECT_EQ(MapFileReadProblem(PathOverPathMax(dir)), "File name too long");
    ASSERT_EQ(::symlink("loop.map", Std(dir.filePath("loop.map")).c_str()), 0);
    EXPECT_EQ(MapFileReadProblem(Std(dir.filePath("loop.map"))), "Too many levels of symbolic links");
}

// Only the head and 255 entries are ever read: a sparse 3 GB file behind a valid head loads at
// once, the rest ignored, without a buffer of its length.
TEST(MapFile, AHugeFileIsReadOnlyAsFarAsAMapCanReach) {
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.map");
    ASSERT_TRUE(WriteMapFile(SampleMap(2), Std(path)));
    ASSERT_TRUE(QFile::resize(path, 3LL << 30));
    Map map;
    const MapLoadResult r = ReadMapFile(map, Std(path));
    EXPECT_TRUE(r) << r.ReadError;
    EXPECT_EQ(map.Windows, SampleMap(2).Windows);
}

TEST(MapFile, ARefusedFileEmptiesTheListButKeepsTheHead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.map");
    QByteArray bytes("#Map\0\0\x01\0\x07\xd1\x01\xe0\x02\x80\x01\xe0", 16);  // original width 2001
    bytes.append(QByteArray(14, '\0'));
    WriteRaw(path, bytes);

    Map map = SampleMap(3);
    map.Head.TargetWidth = 900;
    const MapLoadResult r = ReadMapFile(map, Std(path));
    EXPECT_FALSE(r);
    EXPECT_EQ(r.Message, "High and Width can't more than 2000");
    EXPECT_TRUE(map.Windows.empty());
    EXPECT_EQ(map.Head.WindowCount, 0);
    EXPECT_EQ(map.Head.TargetWidth, 900);
    EXPECT_EQ(map.Head.OriginalWidth, 640);
    EXPECT_EQ(map.Head.CoverOption, CoverFullScreen);

    WriteRaw(path, QByteArray());  // empty file: refused silently, list emptied too
    Map other = SampleMap(2);
    const MapLoadResult empty = ReadMapFile(other, Std(path));
    EXPECT_FALSE(empty);
    EXPECT_TRUE(empty.Message.empty());
    EXPECT_TRUE(other.Windows.empty());
}

TEST(MapFile, MoreThan255WindowsAreRefusedAndTheOldFileKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.map");
    ASSERT_TRUE(WriteMapFile(SampleMap(2), Std(path)));
    const QByteArray before = FileBytes(path);

    ASSERT_TRUE(WriteMapFile(SampleMap(255), Std(path)));
    ASSERT_TRUE(WriteMapFile(SampleMap(2), Std(path)));
    Map tooMany = SampleMap(256);
    const MapWriteResult r = WriteMapFile(tooMany, Std(path));
    EXPECT_FALSE(r);
    EXPECT_NE(r.Error.find("255"), std::string::npos) << r.Error;
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_TRUE(Leftovers(QDir(dir.path()), "keep.map").isEmpty());
}

TEST(MapFile, SaveIntoAFolderThatDoesNotExistFails) {
    QTemporaryDir dir;
    const std::string path = Std(dir.filePath("no/such/folder/x.map"));
    const MapWriteResult r = WriteMapFile(SampleMap(1), path);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.Error,
              "cannot write " + path + ": the folder " + Std(dir.filePath("no/such/folder")) + " does not exist");
}

// Names the system cannot resolve are refused with its own reason, not as a missing folder, and
// a symlink loop is not replaced by a file.
TEST(MapFile, SaveGivesTheSystemsReasonForAnUnusableName) {
    QTemporaryDir dir;
    const std::string tooLong = PathOverPathMax(dir);
    EXPECT_EQ(WriteMapFile(SampleMap(1), tooLong).Error, "cannot write " + tooLong + ": File name too long");

    const std::string loop = Std(dir.filePath("loop.map"));
    ASSERT_EQ(::symlink("loop.map", loop.c_str()), 0);
    EXPECT_EQ(WriteMapFile(SampleMap(1), loop).Error, "cannot write " + loop + ": Too many levels of symbolic links");
    struct stat info {};
    ASSERT_EQ(::lstat(loop.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_TRUE(Leftovers(QDir(dir.path()), "loop.map").isEmpty());
}

// Only a regular file is replaced. A FIFO or a device node in the way stays as it was (a rename
// would swap the node for a file) and the save neither blocks nor reports success.
TEST(MapFile, SaveOntoAFifoLeavesItAndWritesThroughASymlink) {
    QTemporaryDir dir;
    const std::string fifo = Std(dir.filePath("pipe.map"));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(WriteMapFile(SampleMap(1), fifo).Error, "cannot write " + fifo + ": is not a regular file");
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(Leftovers(QDir(dir.path()), "pipe.map").isEmpty());

    // A symlink to a regular file is written through, and stays a symlink.
    const std::string real = Std(dir.filePath("real.map")), link = Std(dir.filePath("link.map"));
    ASSERT_TRUE(WriteMapFile(SampleMap(1), real));
    ASSERT_EQ(::symlink("real.map", link.c_str()), 0);
    ASSERT_TRUE(WriteMapFile(SampleMap(2), link));
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(FileBytes(QString::fromStdString(real)).size(), 16 + 14 * 2);
}

TEST(MapFile, SaveOntoADeviceNodeLeavesIt) {
    QTemporaryDir dir;
    struct stat info {};
    const std::string device = Std(dir.filePath("null.map"));
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here (needs root): " << SystemErrorText(errno);
    EXPECT_EQ(WriteMapFile(SampleMap(1), device).Error, "cannot write " + device + ": is not a regular file");
    ASSERT_EQ(::lstat(device.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(info.st_rdev, makedev(1, 3));
}

// A size limit: the child may write at most 1 KiB per file, so a 255-window map (3586 bytes)
// cannot be written. The limit's signal must not end it: the old file must stay byte-identical
// and the writer must say why.
TEST(MapFileSafeSave, FileSizeLimitLeavesTheOldFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath("wall.map");
    ASSERT_TRUE(WriteMapFile(SampleMap(3), Std(path)));
    const QByteArray before = FileBytes(path);

    QString err;
    const int code = RunProbe("ulimit -f 1; exec \"$0\" \"$@\"", {path, "255"}, MAP_WRITE_PROBE, &err);
    EXPECT_EQ(code, 1) << "the writer reports the failure (153: killed by SIGXFSZ)";
    EXPECT_EQ(err, "cannot write " + path + ": File too large\n");
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_TRUE(Leftovers(QDir(dir.path()), "wall.map").isEmpty());

    EXPECT_EQ(RunProbe("exec \"$0\" \"$@\"", {path, "255"}), 0) << "without the limit the same save works";
    EXPECT_EQ(FileBytes(path).size(), 16 + 14 * 255);
}

// A folder the writer may not write into. Root ignores permission bits, so as root the
// probe runs as the unprivileged user "nobody".
TEST(MapFileSafeSave, UnwritableFolderFailsAndKeepsTheOldFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                      QFile::ExeOther));
    const QString path = dir.filePath("wall.map");
    ASSERT_TRUE(WriteMapFile(SampleMap(3), Std(path)));
    const QByteArray before = FileBytes(path);

    int code = 0;
    if (geteuid() == 0) {
        if (QStandardPaths::findExecutable("setpriv").isEmpty()) GTEST_SKIP() << "setpriv is not installed";
        // The build tree may lie under a folder the other user cannot enter: run a copy.
        QTemporaryDir probeDir;
        const QString probe = probeDir.filePath("map_write_probe");
        ASSERT_TRUE(QFile::copy(MAP_WRITE_PROBE, probe));
        const auto everyoneMayRun = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        ASSERT_TRUE(QFile::setPermissions(probeDir.path(), everyoneMayRun));
        ASSERT_TRUE(QFile::setPermissions(probe, everyoneMayRun));
        code = RunProbe("exec setpriv --reuid=65534 --regid=65534 --clear-groups \"$0\" \"$@\"", {path, "1"}, probe);
    } else {
        ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        code = RunProbe("exec \"$0\" \"$@\"", {path, "1"});
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    EXPECT_EQ(code, 1) << "126 or 127: the probe could not be started as the other user";
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_TRUE(Leftovers(QDir(dir.path()), "wall.map").isEmpty());
}
