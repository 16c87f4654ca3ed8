// SPDX-License-Identifier: GPL-3.0-or-later
// `tesselink --convert` and `tesselink --lineup` run as a user runs them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <unistd.h>

#include "exchange/ffmpeg_graph.h"
#include "exchange/lineup.h"
#include "map/map_file.h"
#include "remap/cover.h"
#include "support/random_maps.h"

namespace tesselink {
namespace {

struct Outcome {
    int Code = -1;
    QString Err;
};

Outcome RunProgram(const QStringList& args) {
    static const QTemporaryDir runtime;  // Qt warns on stderr without one
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    p.setProcessEnvironment(env);
    p.start(TESSELINK_EXECUTABLE, args);
    Outcome o;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.Code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    o.Err = QString::fromUtf8(p.readAllStandardError());
    return o;
}

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ExchangeCommand : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir_;
};

TEST_F(ExchangeCommand, RandomMapsThroughJsonAndCsvComeBackByteForByte) {
    std::mt19937 random(26);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const Map map = testing::RandomValidMap(random, 1, 2000, round == 0 ? 255 : 20);
        ASSERT_TRUE(WriteMapFile(map, Path("a.map").toStdString()));
        ASSERT_EQ(RunProgram({"--convert", Path("a.map"), Path("a.json")}).Code, 0);
        ASSERT_EQ(RunProgram({"--convert=" + Path("a.json"), Path("b.map")}).Code, 0);
        EXPECT_EQ(Contents(Path("b.map")), Contents(Path("a.map")));
        ASSERT_EQ(RunProgram({"--convert", Path("b.map"), Path("a.csv")}).Code, 0);
        ASSERT_EQ(RunProgram({"--convert", Path("a.csv"), Path("c.map"), "--head", Path("a.json")}).Code, 0);
        EXPECT_EQ(Contents(Path("c.map")), Contents(Path("a.map")));
        ASSERT_EQ(RunProgram({"--head=" + Path("b.map"), "--convert", Path("a.csv"), Path("c.json")}).Code, 0);
        EXPECT_EQ(Contents(Path("c.json")), Contents(Path("a.json")));
        ASSERT_EQ(RunProgram({"--convert", Path("a.json"), Path("a.ffmpeg")}).Code, 0);
        EXPECT_EQ(Contents(Path("a.ffmpeg")).toStdString(),
                  WriteFfmpegGraph(map, CoverModeFromOption(map.Head.CoverOption)));
    }
}

TEST_F(ExchangeCommand, BadInputIsRefusedWithFileLineAndReasonAndNoOutput) {
    const QByteArray header = "No,MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY\n";
    QByteArray many = header;
    for (int i = 1; i <= 256; ++i) many += QByteArray::number(i) + ",0,0,0,1,1,0,0\n";
    ASSERT_TRUE(WriteMapFile(Map(), Path("head.map").toStdString()));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.csv"));
    const struct {
        const char* Name;
        QByteArray Contents;
        const char* Message;  // after "tesselink: " and the input's path
    } cases[] = {
        {"noheader.csv", "1,0,0,0,10,10,0,0\n", " line 1: the header line is missing"},
        {"mode.csv", header + "1,6,0,0,10,10,0,0\n", " line 2: MapMode \"6\" is not a map mode 0-5"},
        {"negative.csv", header + "1,0,-3,0,10,10,0,0\n", " line 2: OriginalX \"-3\" is negative"},
        {"outside.csv", header + "1,0,0,0,10,10,0,0\n2,0,0,0,10,10,0,471\n",
         " line 3: window 2: The paywindow's Target Heigh beyond Screen"},
        {"many.csv", many, " line 257: a map holds at most 255 windows; this is window 256"},
        {"word.csv", header + "1,0,0,0,ten,10,0,0\n", " line 2: Width \"ten\" is not a whole number"},
        {"empty.csv", "", ": the file is empty"},
        {"folder.csv", QByteArray(), ": is a folder"},
        {"syntax.json", "{\n\"original\": {\"width\": 64,,\n", " line 2: JSON syntax error: "},
        {"mode.json", R"({"original": {"width": 64, "height": 48}, "target": {"width": 64, "height": 48},
                         "windows": [{"original": [0, 0, 1, 1], "target": [0, 0], "mode": "tilted"}]})",
         ": windows[0].mode: \"tilted\" is not a map mode"},
        {"empty.json", "  \n", ": the file is empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString in = Path(c.Name);
        if (!QFileInfo(in).isDir()) Write(c.Name, c.Contents);
        for (const char* out : {"out.map", "out.json"}) {
            QStringList args{"--convert", in, Path(out)};
            if (QString(c.Name).endsWith(".csv")) args << "--head" << Path("head.map");
            const Outcome o = RunProgram(args);
            EXPECT_EQ(o.Code, 1);
            EXPECT_TRUE(o.Err.startsWith("tesselink: " + in + c.Message)) << o.Err.toStdString();
            EXPECT_FALSE(QFile::exists(Path(out)));
        }
    }
    // A bad head is named as such.
    Write("bad.json", "{}");
    Write("fine.csv", header);
    const Outcome head = RunProgram({"--convert", Path("fine.csv"), Path("out.map"), "--head", Path("bad.json")});
    EXPECT_EQ(head.Code, 1);
    EXPECT_EQ(head.Err, "tesselink: " + Path("bad.json") + ": \"original\" is missing\n");
    EXPECT_EQ(QDir(dir_.path()).entryList({"out.*"}), QStringList());
}

TEST_F(ExchangeCommand, UsageMistakesEndWithStatusTwo) {
    ASSERT_TRUE(WriteMapFile(Map(), Path("a.map").toStdString()));
    Write("a.csv", "MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY\n");
    const QStringList cases[] = {
        {"--convert", Path("a.map")},
        {"--convert", Path("a.map"), Path("a.txt")},
        {"--convert", Path("a.ffmpeg"), Path("b.map")},
        {"--convert", Path("a.csv"), Path("b.map")},
        {"--convert", Path("a.map"), Path("b.json"), "--head", Path("a.map")},
        {"--convert", Path("a.map"), Path("b.json"), Path("c.json")},
        {"--lineup", Path("a.map")},
        {"--lineup", Path("a.map"), "--output", Path("b.png"), "--side", "left"},
        {"--lineup", Path("a.map"), "--output", Path("b.png"), "--picture", Path("a.map")},
        {"--lineup", Path("a.map"), "--convert", Path("a.map"), Path("b.json")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome o = RunProgram(args);
        EXPECT_EQ(o.Code, 2);
        EXPECT_EQ(o.Err.count('\n'), 1) << o.Err.toStdString();
        EXPECT_TRUE(o.Err.startsWith("tesselink: ")) << o.Err.toStdString();
    }
    EXPECT_EQ(QDir(dir_.path()).entryList({"b.*", "c.*"}), QStringList());
}

// The target lineup the command writes is what --render makes of the original lineup it writes.
TEST_F(ExchangeCommand, TargetLineupIsTheOriginalLineupRendered) {
    std::mt19937 random(27);
    const char* const covers[] = {"none", "same", "different"};
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        Map map = testing::RandomValidMap(random, 30, 400, 8);
        ASSERT_TRUE(WriteMapFile(map, Path("m.map").toStdString()));
        ASSERT_EQ(RunProgram({"--lineup", Path("m.map"), "--output", Path("original.png"), "--side", "original"}).Code,
                  0);
        EXPECT_EQ(QImage(Path("original.png")).size(), QSize(map.Head.OriginalWidth, map.Head.OriginalHeight));
        for (const char* cover : covers) {
            SCOPED_TRACE(cover);
            const Outcome lineup =
                RunProgram({"--lineup", Path("m.map"), "--output=" + Path("target.png"), "--cover", cover});
            ASSERT_EQ(lineup.Code, 0) << lineup.Err.toStdString();
            ASSERT_EQ(RunProgram({"--render", Path("m.map"), "--picture", Path("original.png"), "--output",
                                  Path("rendered.png"), "--cover", cover})
                          .Code,
                      0);
            const QImage target(Path("target.png")), rendered(Path("rendered.png"));
            ASSERT_EQ(target.size(), QSize(map.Head.TargetWidth, map.Head.TargetHeight));
            EXPECT_TRUE(target.convertToFormat(QImage::Format_RGB32) == rendered.convertToFormat(QImage::Format_RGB32));
        }
    }
    // Without --cover the map's own option decides, as for --render.
    Map map = testing::RandomValidMap(random, 30, 200, 3);
    map.Head.CoverOption = CoverFullScreen | CoverDifferentDirection;
    ASSERT_TRUE(WriteMapFile(map, Path("m.map").toStdString()));
    ASSERT_EQ(RunProgram({"--lineup", Path("m.map"), "--output", Path("own.png")}).Code, 0);
    ASSERT_EQ(RunProgram({"--lineup", Path("m.map"), "--output", Path("different.png"), "--cover", "different"}).Code,
              0);
    EXPECT_EQ(Contents(Path("own.png")), Contents(Path("different.png")));

    // A map that does not load leaves nothing behind.
    Write("broken.map", "#Map");
    const Outcome broken = RunProgram({"--lineup", Path("broken.map"), "--output", Path("x.png")});
    EXPECT_EQ(broken.Code, 1);
    EXPECT_EQ(broken.Err, "tesselink: " + Path("broken.map") + ": not a map file\n");
    EXPECT_FALSE(QFile::exists(Path("x.png")));
}

// --cabling draws the cabling order over either lineup, exactly as the editor's export does.
TEST_F(ExchangeCommand, CablingDrawsTheOrderOverTheLineup) {
    Map map;
    map.Head = MapFileHead{0, CoverFullScreen, 1920, 1080, 1920, 1080};
    for (int i = 0; i < 64; ++i)
        map.Windows.push_back(MakeWindow((i % 8) * 240, (i / 8) * 135, 240, 135, (7 - i % 8) * 240, (i / 8) * 135, 0));
    map.Head.WindowCount = 64;
    ASSERT_TRUE(WriteMapFile(map, Path("wall.map").toStdString()));
    const Outcome cabled = RunProgram({"--lineup", Path("wall.map"), "--output", Path("cabled.png"), "--cabling"});
    ASSERT_EQ(cabled.Code, 0) << cabled.Err.toStdString();
    EXPECT_TRUE(cabled.Err.isEmpty());
    const QImage target = QImage(Path("cabled.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(target, TargetLineup(map, CoverMode::Same, true, nullptr));
    EXPECT_NE(target, TargetLineup(map, CoverMode::Same, false, nullptr));
    ASSERT_EQ(
        RunProgram({"--lineup", Path("wall.map"), "--output", Path("o.png"), "--side", "original", "--cabling"}).Code,
        0);
    EXPECT_EQ(QImage(Path("o.png")).convertToFormat(QImage::Format_RGB32), OriginalLineup(map, true, nullptr));
    // A switch: it takes no value, and it belongs to --lineup alone.
    EXPECT_EQ(RunProgram({"--lineup", Path("wall.map"), "--output", Path("x.png"), "--cabling=yes"}).Code, 2);
    EXPECT_EQ(RunProgram({"--render", Path("wall.map"), "--picture", Path("cabled.png"), "--output", Path("x.png"),
                          "--cabling"})
                  .Code,
              2);
}

TEST_F(ExchangeCommand, AnOutputThatIsAnInputIsRefusedAndNothingIsTouched) {
    std::mt19937 random(28);
    const Map map = testing::RandomValidMap(random, 30, 200, 5);
    ASSERT_TRUE(WriteMapFile(map, Path("wall.map").toStdString()));
    ASSERT_EQ(RunProgram({"--convert", Path("wall.map"), Path("wall.json")}).Code, 0);
    ASSERT_EQ(RunProgram({"--convert", Path("wall.map"), Path("wall.csv")}).Code, 0);
    ASSERT_EQ(::link(Path("wall.map").toUtf8().constData(), Path("hard.png").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink("wall.json", Path("soft.map").toUtf8().constData()), 0);
    const QByteArray mapBytes = Contents(Path("wall.map")), jsonBytes = Contents(Path("wall.json"));
    const QByteArray csvBytes = Contents(Path("wall.csv"));
    const QString dotted = dir_.path() + "/./wall.map";
    const struct {
        QStringList Args;
        int Code;
        QString Message;
    } cases[] = {
        // A lineup over its map: named as the map, before its name is looked at.
        {{"--lineup", Path("wall.map"), "--output", Path("wall.map")},
         1,
         "cannot write " + Path("wall.map") + ": it is the map " + Path("wall.map")},
        {{"--lineup", Path("wall.map"), "--output", Path("other.map")},
         2,
         "cannot write " + Path("other.map") + ": a .map file is not a picture"},
        {{"--lineup", Path("wall.map"), "--output", Path("hard.png")},
         1,
         "cannot write " + Path("hard.png") + ": it is the map " + Path("wall.map")},
        {{"--lineup", Path("wall.csv"), "--head", Path("wall.map"), "--output", Path("hard.png")},
         1,
         "cannot write " + Path("hard.png") + ": it is the head file " + Path("wall.map")},
        {{"--convert", Path("wall.map"), dotted}, 1, "cannot write " + dotted + ": it is the map " + Path("wall.map")},
        {{"--convert", Path("wall.json"), Path("soft.map")},
         1,
         "cannot write " + Path("soft.map") + ": it is the map " + Path("wall.json")},
        {{"--convert", Path("wall.csv"), Path("soft.map"), "--head", Path("wall.json")},
         1,
         "cannot write " + Path("soft.map") + ": it is the head file " + Path("wall.json")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args.join(' ').toStdString());
        const Outcome o = RunProgram(c.Args);
        EXPECT_EQ(o.Code, c.Code);
        EXPECT_TRUE(o.Err.startsWith("tesselink: " + c.Message)) << o.Err.toStdString();
        EXPECT_EQ(Contents(Path("wall.map")), mapBytes);
        EXPECT_EQ(Contents(Path("wall.json")), jsonBytes);
        EXPECT_EQ(Contents(Path("wall.csv")), csvBytes);
    }
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 5);
}

TEST_F(ExchangeCommand, LineupChecksItsOutputBeforeItReadsOrDraws) {
    // The map is missing as well: the output's name is what the user hears about first.
    const Outcome named = RunProgram({"--lineup", Path("missing.map"), "--output", Path("out.json")});
    EXPECT_EQ(named.Code, 2);
    EXPECT_TRUE(named.Err.startsWith("tesselink: cannot write " + Path("out.json") + ": a .json file is not a picture"))
        << named.Err.toStdString();
    const Outcome folder = RunProgram({"--lineup", Path("missing.map"), "--output", Path("no/out.png")});
    EXPECT_EQ(folder.Code, 1);
    EXPECT_EQ(folder.Err,
              "tesselink: cannot write " + Path("no/out.png") + ": the folder " + Path("no") + " does not exist\n");
    // A named picture format is written in that format.
    std::mt19937 random(29);
    ASSERT_TRUE(WriteMapFile(testing::RandomValidMap(random, 30, 100, 3), Path("m.map").toStdString()));
    ASSERT_EQ(RunProgram({"--lineup", Path("m.map"), "--output", Path("l.bmp")}).Code, 0);
    EXPECT_TRUE(Contents(Path("l.bmp")).startsWith("BM"));
}

TEST_F(ExchangeCommand, EmptyWindowsAreRefusedFromEveryFormatWithTheirNumber) {
    Map map;
    map.Windows = {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(5, 5, 0, 7, 0, 0, 0)};
    map.Head.WindowCount = 2;
    ASSERT_TRUE(WriteMapFile(map, Path("empty.map").toStdString()));  // the editor may store one
    const Outcome fromMap = RunProgram({"--convert", Path("empty.map"), Path("out.json")});
    EXPECT_EQ(fromMap.Code, 1);
    EXPECT_EQ(fromMap.Err, "tesselink: " + Path("empty.map") +
                               ": window 2: the window is 0 x 7; a window needs a width and a height of at least 1\n");
    Write("empty.csv", "MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY\n0,0,0,10,10,0,0\n0,5,5,0,7,0,0\n");
    ASSERT_TRUE(WriteMapFile(Map(), Path("head.map").toStdString()));
    const Outcome fromCsv = RunProgram({"--convert", Path("empty.csv"), Path("out.json"), "--head", Path("head.map")});
    EXPECT_EQ(fromCsv.Code, 1);
    EXPECT_EQ(fromCsv.Err, "tesselink: " + Path("empty.csv") +
                               " line 3: window 2: the window is 0 x 7; a window needs a width and a height of at "
                               "least 1\n");
    EXPECT_FALSE(QFile::exists(Path("out.json")));
}

TEST_F(ExchangeCommand, ManyProblemsShowTheFirstTwentyAndACountOfTheRest) {
    QByteArray csv = "MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY\n";
    for (int i = 0; i < 100; ++i) csv += "9,0,0,1,1,0,0\n";
    Write("bad.csv", csv);
    ASSERT_TRUE(WriteMapFile(Map(), Path("head.map").toStdString()));
    const Outcome o = RunProgram({"--convert", Path("bad.csv"), Path("out.map"), "--head", Path("head.map")});
    EXPECT_EQ(o.Code, 1);
    const QStringList lines = o.Err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(lines[19], "tesselink: " + Path("bad.csv") + " line 21: MapMode \"9\" is not a map mode 0-5");
    EXPECT_EQ(lines[20], "tesselink: ... and 80 more");
}

}  // namespace
}  // namespace tesselink
