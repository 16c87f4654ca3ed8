// SPDX-License-Identifier: GPL-3.0-or-later
// What --render --picture reads and where it may write: every map format --convert reads, and
// never over one of its own inputs.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <unistd.h>

#include <random>

#include "exchange/map_json.h"
#include "exchange/window_csv.h"
#include "map/map_file.h"
#include "render/render_command.h"
#include "support/random_maps.h"
#include "support/test_files.h"

namespace tesselink {
namespace {

using testing::FileBytes;

class RenderInputs : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir_.filePath(name); }
    void Put(const char* name, const QByteArray& bytes) const {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The exit code; stderr in `errors`.
    int Run(const QStringList& args, std::string* errors = nullptr) {
        ::testing::internal::CaptureStderr();
        const int code = RunRenderCommand(args);
        const std::string text = ::testing::internal::GetCapturedStderr();
        if (errors) *errors = text;
        return code;
    }

    QTemporaryDir dir_;
};

TEST_F(RenderInputs, JsonAndCsvMapsRenderAsTheMapFileDoes) {
    std::mt19937 random(31);
    const Map map = testing::RandomValidMap(random, 40, 160, 8);
    ASSERT_TRUE(WriteMapFile(map, Path("m.map").toStdString()));
    Put("m.json", WriteMapJson(map));
    Put("m.csv", WriteWindowCsv(map));
    ASSERT_TRUE(testing::NoisePicture(map.Head.OriginalWidth, map.Head.OriginalHeight, random).save(Path("p.png")));

    ASSERT_EQ(Run({"--render", Path("m.map"), "--picture", Path("p.png"), "--output", Path("a.png")}), 0);
    ASSERT_EQ(Run({"--render", Path("m.json"), "--picture", Path("p.png"), "--output", Path("b.png")}), 0);
    ASSERT_EQ(Run({"--render", Path("m.csv"), "--head", Path("m.json"), "--picture", Path("p.png"), "--output",
                   Path("c.png")}),
              0);
    const QImage a(Path("a.png"));
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(QImage(Path("b.png")), a);
    EXPECT_EQ(QImage(Path("c.png")), a);

    std::string errors;
    EXPECT_EQ(Run({"--render", Path("m.csv"), "--picture", Path("p.png"), "--output", Path("d.png")}, &errors), 2);
    EXPECT_EQ(errors, "tesselink: a .csv holds only windows: give the head with --head FILE (a .map or .json)\n");
    EXPECT_EQ(Run({"--render", Path("m.json"), "--head", Path("m.map"), "--picture", Path("p.png"), "--output",
                   Path("d.png")},
                  &errors),
              2);
    EXPECT_EQ(errors, "tesselink: --head is used only when the map is a .csv\n");
    Put("bad.json", "{\"original\": {\"width\": 1, \"width\": 2}}");
    EXPECT_EQ(Run({"--render", Path("bad.json"), "--picture", Path("p.png"), "--output", Path("d.png")}, &errors), 1);
    EXPECT_EQ(errors, "tesselink: " + Path("bad.json").toStdString() +
                          " line 1: original: the member \"width\" is given twice\n");
    EXPECT_FALSE(QFile::exists(Path("d.png")));
}

TEST_F(RenderInputs, AnOutputThatIsAnInputOrNotAPictureIsRefusedUntouched) {
    std::mt19937 random(32);
    const Map map = testing::RandomValidMap(random, 40, 100, 4);
    ASSERT_TRUE(WriteMapFile(map, Path("m.map").toStdString()));
    ASSERT_TRUE(testing::NoisePicture(map.Head.OriginalWidth, map.Head.OriginalHeight, random).save(Path("pic.png")));
    ASSERT_EQ(::symlink("pic.png", Path("link.png").toUtf8().constData()), 0);
    ASSERT_EQ(::link(Path("m.map").toUtf8().constData(), Path("m.png").toUtf8().constData()), 0);
    const QByteArray mapBytes = FileBytes(Path("m.map")), picBytes = FileBytes(Path("pic.png"));
    const struct {
        QString Output;
        int Code;
        std::string Message;
    } cases[] = {
        {Path("pic.png"), 1, ": it is the picture " + Path("pic.png").toStdString()},
        {dir_.path() + "/./pic.png", 1, ": it is the picture " + Path("pic.png").toStdString()},
        {Path("link.png"), 1, ": it is the picture " + Path("pic.png").toStdString()},
        {Path("m.png"), 1, ": it is the map " + Path("m.map").toStdString()},
        {Path("m.map"), 1, ": it is the map " + Path("m.map").toStdString()},
        {Path("other.map"), 2, ": a .map file is not a picture; a picture output ends in .png, .bmp or .jpg"},
        {Path("out.mp4"), 2, ": a .mp4 file is not a picture; a picture output ends in .png, .bmp or .jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Output.toStdString());
        std::string errors;
        EXPECT_EQ(Run({"--render", Path("m.map"), "--picture", Path("pic.png"), "--output", c.Output}, &errors),
                  c.Code);
        EXPECT_EQ(errors, "tesselink: cannot write " + c.Output.toStdString() + c.Message + "\n");
        EXPECT_EQ(FileBytes(Path("m.map")), mapBytes);
        EXPECT_EQ(FileBytes(Path("pic.png")), picBytes);
    }
    EXPECT_FALSE(QFile::exists(Path("out.mp4")));
    // A .jpg output is a JPEG picture.
    ASSERT_EQ(Run({"--render", Path("m.map"), "--picture", Path("pic.png"), "--output", Path("out.JPG")}), 0);
    EXPECT_TRUE(FileBytes(Path("out.JPG")).startsWith("\xff\xd8\xff"));
}

}  // namespace
}  // namespace tesselink
