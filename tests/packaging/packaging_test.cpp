// SPDX-License-Identifier: GPL-3.0-or-later
// The installed program as a desktop sees it: its entry, metainfo and map type, what
// `cmake --install` puts where, and the Debian package.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "support/source_tree.h"

namespace {

struct Outcome {
    int Code = -1;
    QString Out;  // stdout and stderr together
};

Outcome RunTool(const QString& program, const QStringList& args,
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                const QString& folder = QString()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.isEmpty()) p.setWorkingDirectory(folder);
    p.start(program, args);
    Outcome o;
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.Code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    o.Out = QString::fromUtf8(p.readAll());
    return o;
}

// Every file under `root`, as paths relative to it, sorted.
QStringList FilesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

const QString Source = tesselink::testing::SourceDir();

const QStringList InstalledFiles = {
    "bin/tesselink",
    "share/applications/tesselink.desktop",
    "share/doc/tesselink/changelog.gz",
    "share/doc/tesselink/copyright",
    "share/icons/hicolor/scalable/apps/tesselink.svg",
    "share/man/man1/tesselink.1.gz",
    "share/metainfo/org.tesselink.Tesselink.metainfo.xml",
    "share/mime/packages/tesselink.xml",
    "share/tesselink/examples/cover_block.map",
    "share/tesselink/examples/mirrored_strip.map",
    "share/tesselink/examples/wall_2x2.map",
    "share/tesselink/tesselink.jpg",
};

TEST(Packaging, DesktopEntryAndMetainfoValidate) {
    const Outcome entry = RunTool("desktop-file-validate", {Source + "/res/tesselink.desktop"});
    EXPECT_EQ(entry.Code, 0) << entry.Out.toStdString();
    EXPECT_EQ(entry.Out, "") << "no warnings either";

    const Outcome metainfo =
        RunTool("appstreamcli", {"validate", "--no-net", Source + "/res/org.tesselink.Tesselink.metainfo.xml"});
    EXPECT_EQ(metainfo.Code, 0) << metainfo.Out.toStdString();
}

// A map is told by its "#Map" bytes; a linker map with the same extension stays text.
TEST(Packaging, TheMapTypeGoesByContentNotByExtension) {
    QTemporaryDir data;
    ASSERT_TRUE(QDir(data.path()).mkpath("mime/packages"));
    ASSERT_TRUE(QFile::copy(Source + "/res/tesselink-mime.xml", data.filePath("mime/packages/tesselink.xml")));
    const Outcome update = RunTool("update-mime-database", {data.filePath("mime")});
    ASSERT_EQ(update.Code, 0) << update.Out.toStdString();

    QFile linker(data.filePath("program.map"));
    ASSERT_TRUE(linker.open(QIODevice::WriteOnly));
    linker.write(
        "Archive member included to satisfy reference by file (symbol)\n\n"
        ".text           0x0000000000401000       0x2c crt1.o\n");
    linker.close();
    ASSERT_TRUE(QFile::copy(Source + "/examples/wall_2x2.map", data.filePath("renamed.bin")));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", data.path());
    env.insert("XDG_DATA_DIRS", data.path() + ":/usr/share");
    // Without a desktop session xdg-mime asks the freedesktop database itself (through mimetype).
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
        env.remove(name);
    const auto typeOf = [&](const QString& path) {
        const Outcome o = RunTool("xdg-mime", {"query", "filetype", path}, env);
        return o.Code == 0 ? o.Out.trimmed().section(';', 0, 0) : "failed: " + o.Out;
    };
    EXPECT_EQ(typeOf(Source + "/examples/wall_2x2.map"), "application/x-tesselink-map");
    EXPECT_EQ(typeOf(data.filePath("renamed.bin")), "application/x-tesselink-map");
    EXPECT_EQ(typeOf(data.filePath("program.map")), "text/plain");
}

// Installed under a prefix the build was not configured for, the program still finds its
// default picture (beside its own folder) and works from any current folder.
TEST(Packaging, InstallPutsEveryFileInItsPlaceAndTheProgramFindsItsPicture) {
    QTemporaryDir root;
    const Outcome install = RunTool(CMAKE_COMMAND, {"--install", TESSELINK_BUILD, "--prefix", root.filePath("opt/tl")});
    ASSERT_EQ(install.Code, 0) << install.Out.toStdString();
    EXPECT_EQ(FilesUnder(root.filePath("opt/tl")).join('\n').toStdString(), InstalledFiles.join('\n').toStdString());

    const QString program = root.filePath("opt/tl/bin/tesselink");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    const Outcome version = RunTool(program, {"--version"}, env, "/");
    EXPECT_EQ(version.Code, 0);
    EXPECT_EQ(version.Out, "Tesselink " TESSELINK_VERSION "\n") << "--version needs no display";
    const Outcome help = RunTool(program, {"--help"}, env, "/");
    EXPECT_EQ(help.Code, 0);
    EXPECT_TRUE(help.Out.startsWith("Usage:\n")) << "--help needs no display: " << help.Out.toStdString();

    static const QTemporaryDir runtime;
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    const Outcome shot = RunTool(program, {"--screenshot", root.filePath("shot.png")}, env, "/");
    ASSERT_EQ(shot.Code, 0) << shot.Out.toStdString();
    const QImage image(root.filePath("shot.png"));
    ASSERT_EQ(image.size(), QSize(1280, 800));
    // The middle of the Original view shows the test card, not the grey of a missing picture.
    EXPECT_NE(image.pixel(860, 330) & 0xFFFFFF, 0xACACACu);
}

TEST(Packaging, TheDebianPackageHoldsTheProgramAndDependsOnItsLibraries) {
    if (QStandardPaths::findExecutable("dpkg-shlibdeps").isEmpty()) GTEST_SKIP() << "dpkg-dev is not installed";
    QTemporaryDir out;
    const Outcome pack =
        RunTool(CPACK_COMMAND, {"-G", "DEB", "--config", TESSELINK_BUILD "/CPackConfig.cmake", "-B", out.path()});
    ASSERT_EQ(pack.Code, 0) << pack.Out.toStdString();
    const QStringList debs = QDir(out.path()).entryList({"tesselink_*.deb"}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << pack.Out.toStdString();
    const QString deb = out.filePath(debs[0]);

    const Outcome contents = RunTool("dpkg-deb", {"--contents", deb});
    ASSERT_EQ(contents.Code, 0) << contents.Out.toStdString();
    for (const QString& file : InstalledFiles)
        EXPECT_TRUE(contents.Out.contains(" ./usr/" + file + "\n")) << file.toStdString() << "\n"
                                                                    << contents.Out.toStdString();
    const Outcome depends = RunTool("dpkg-deb", {"--field", deb, "Depends"});
    EXPECT_TRUE(depends.Out.contains("libqt6widgets6")) << depends.Out.toStdString() << pack.Out.toStdString();
    EXPECT_TRUE(depends.Out.contains("libc6")) << depends.Out.toStdString();

    // Debian's own check of the package: no error and no warning (a stripped program, a
    // compressed manual page, a copyright file, a changelog, a real maintainer address).
    if (QStandardPaths::findExecutable("lintian").isEmpty()) GTEST_SKIP() << "lintian is not installed";
    const Outcome lintian = RunTool("lintian", {"--fail-on", "error,warning", "--no-tag-display-limit", deb});
    EXPECT_EQ(lintian.Code, 0) << lintian.Out.toStdString();
    const QStringList tags = lintian.Out.split('\n').filter(QRegularExpression("^[EW]: "));
    EXPECT_TRUE(tags.isEmpty()) << tags.join('\n').toStdString();
}

}  // namespace
