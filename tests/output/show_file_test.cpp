// SPDX-License-Identifier: GPL-3.0-or-later
// The show file: what it takes (sources, outputs by screen or position, paths relative to the
// show or absolute) and one refusal per rule, each naming its place in the file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "map/map_file.h"
#include "output/show_file.h"

namespace tesselink {
namespace {

class ShowFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir_.path()).mkdir("maps"));
        WriteMap("maps/a.map", 640, 480);
        WriteMap("maps/b.map", 640, 480);
        WriteMap("maps/small.map", 320, 240);
    }
    void WriteMap(const QString& name, int ow, int oh) {
        Map map;
        map.Head.OriginalWidth = static_cast<std::uint16_t>(ow);
        map.Head.OriginalHeight = static_cast<std::uint16_t>(oh);
        map.Head.TargetWidth = 200;
        map.Head.TargetHeight = 100;
        map.Windows = {MakeWindow(0, 0, 100, 100, 0, 0, 0)};
        map.Head.WindowCount = 1;
        ASSERT_TRUE(WriteMapFile(map, dir_.filePath(name).toStdString()));
    }
    // Reads `json` as a show; the refusal, or empty.
    std::string Read(const QByteArray& json, Show* out = nullptr) {
        const QString path = dir_.filePath("wall.show");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(json);
        file.close();
        Show show;
        const std::string refused = ReadShowFile(path.toStdString(), show);
        if (out) *out = show;
        return refused;
    }
    QTemporaryDir dir_;
};

TEST_F(ShowFile, TakesEverySourceAndBothKindsOfPlace) {
    Show show;
    ASSERT_EQ(Read(R"({"source": {"video": "clip.mp4", "loop": true},
                       "outputs": [{"map": "maps/a.map", "screen": "HDMI-1", "name": "left", "cover": "same"},
                                   {"map": "maps/b.map", "at": [1920, -40]},
                                   {"map": ")" +
                       dir_.filePath("maps/a.map").toUtf8() + R"(", "screen": 2}]})",
                   &show),
              "");
    EXPECT_EQ(show.Source.What, ShowSource::Kind::Video);
    EXPECT_TRUE(show.Source.Loop);
    EXPECT_EQ(show.Source.Path, dir_.filePath("clip.mp4").toStdString()) << "relative to the show";
    ASSERT_EQ(show.Outputs.size(), 3u);
    EXPECT_EQ(show.Outputs[0].Screen, "HDMI-1");
    EXPECT_EQ(show.Outputs[0].Name, "left");
    EXPECT_EQ(show.Outputs[0].Cover, CoverMode::Same);
    EXPECT_EQ(show.Outputs[1].At, QPoint(1920, -40));
    EXPECT_EQ(show.Outputs[1].Name, "2");
    EXPECT_EQ(show.Outputs[2].Screen, "2");
    EXPECT_EQ(show.Outputs[2].MapPath, dir_.filePath("maps/a.map").toStdString()) << "absolute paths are taken";
    EXPECT_EQ(show.Outputs[1].LoadedMap.Head.OriginalWidth, 640);

    for (const char* source : {R"({"picture": "p.png"})", R"({"lineup": true})", R"({"live": "udp://127.0.0.1:5000"})"})
        EXPECT_EQ(
            Read(QByteArray(R"({"source": )") + source + R"(, "outputs": [{"map": "maps/a.map", "at": [0, 0]}]})"), "")
            << source;
}

TEST_F(ShowFile, RefusesEachBrokenRuleWithItsPlace) {
    const std::string show = dir_.filePath("wall.show").toStdString();
    const QByteArray one = R"("outputs": [{"map": "maps/a.map", "at": [0, 0]}])";
    struct Case {
        QByteArray json;
        std::string reason;
    };
    const Case cases[] = {
        {"{\"source\": ", "not JSON at byte"},
        {"[]", "must be a JSON object"},
        {R"({"source": {"picture": "p.png"}, )" + one + R"(, "extra": 1})", "unknown member \"extra\""},
        {R"({"source": {"picture": "p.png"}, "source": {"lineup": true}, )" + one + "}",
         "the member \"source\" is given twice"},
        {R"({"source": {"picture": "p.png", "loop": true}, )" + one + "}", "source: unknown member \"loop\""},
        {R"({"source": {"lineup": false}, )" + one + "}", "source.lineup: must be true"},
        {R"({"source": {"film": "x"}, )" + one + "}", "source: unknown member \"film\""},
        {R"({"source": {"video": "v.mp4", "loop": "yes"}, )" + one + "}", "source.loop: must be true or false"},
        {R"({"source": {"lineup": true}, "outputs": []})", "outputs: the list is empty"},
        {R"({"source": {"lineup": true}, "outputs": [{"map": "maps/a.map"}]})",
         "outputs[0]: needs \"screen\" or \"at\""},
        {R"({"source": {"lineup": true}, "outputs": [{"map": "maps/a.map", "at": [0, 0], "screen": 1}]})",
         "outputs[0]: \"screen\" and \"at\" cannot both be given"},
        {R"({"source": {"lineup": true}, "outputs": [{"map": "maps/a.map", "at": [0.5, 0]}]})",
         "outputs[0].at: must be a desktop position"},
        {R"({"source": {"lineup": true}, "outputs": [{"map": "maps/a.map", "screen": 0}]})",
         "outputs[0].screen: must be a screen's name or its number from 1"},
        {R"({"source": {"lineup": true}, "outputs": [{"map": "maps/a.map", "at": [0, 0], "dpi": 96}]})",
         "outputs[0]: unknown member \"dpi\""},
        {R"({"source": {"lineup": true}, "outputs": [{"map": "maps/a.map", "at": [0, 0], "cover": "all"}]})",
         "outputs[0].cover: must be"},
        {R"({"source": {"lineup": true}, "outputs": [{"map": "maps/a.map", "at": [0, 0]},
                                                     {"map": "maps/none.map", "at": [300, 0]}]})",
         "outputs[1].map: cannot load map"},
        {R"({"source": {"lineup": true}, "outputs": [{"map": "maps/a.map", "at": [0, 0]},
                                                     {"map": "maps/small.map", "at": [300, 0]}]})",
         "outputs[1].map: its original size 320 x 240 differs from the first map's 640 x 480"},
        {R"({"source": {"lineup": true}, "outputs": [{"map": "wall.show", "at": [0, 0]}]})",
         "outputs[0].map: cannot load map"},
    };
    for (const Case& c : cases) {
        const std::string refused = Read(c.json);
        EXPECT_EQ(refused.rfind(show + ": ", 0), 0u) << refused;
        EXPECT_NE(refused.find(c.reason), std::string::npos) << c.json.toStdString() << "\n-> " << refused;
    }
}

TEST_F(ShowFile, RefusesWhatIsNoFile) {
    Show show;
    EXPECT_NE(ReadShowFile(dir_.filePath("none.show").toStdString(), show).find("no such file"), std::string::npos);
    EXPECT_NE(ReadShowFile(dir_.filePath("maps").toStdString(), show).find("not a file"), std::string::npos);
}

}  // namespace
}  // namespace tesselink
