// SPDX-License-Identifier: GPL-3.0-or-later
// The whole map as JSON: round trips byte for byte, and every refusal names its element.
#include "exchange/map_json.h"

#include <gtest/gtest.h>

#include "support/random_maps.h"

namespace tesselink {
namespace {

using testing::MapBytes;

TEST(MapJson, RandomMapsComeBackByteForByte) {
    std::mt19937 random(20);
    for (int round = 0; round < 300; ++round) {
        const Map map = testing::RandomValidMap(random, 1, round % 3 ? 2000 : 200, round % 7 ? 12 : 255);
        SCOPED_TRACE(round);
        const QByteArray json = WriteMapJson(map);
        ASSERT_FALSE(json.isEmpty());
        Map back;
        const ExchangeRead read = ReadMapJson(json, back);
        ASSERT_TRUE(read.Ok()) << DescribeProblem("map.json", read.Problems[0]);
        EXPECT_EQ(MapBytes(back), MapBytes(map));
        EXPECT_EQ(WriteMapJson(back), json);
    }
}

TEST(MapJson, WrittenInTheDocumentedShape) {
    Map map;
    map.Head.TargetWidth = 480;
    map.Head.CoverOption = CoverFullScreen | CoverDifferentDirection;
    map.Windows = {MakeWindow(320, 240, 240, 240, 240, 0, 1), MakeWindow(0, 0, 10, 20, 0, 0, 4)};
    EXPECT_EQ(WriteMapJson(map).toStdString(),
              "{\n"
              "    \"original\": {\"width\": 640, \"height\": 480},\n"
              "    \"target\": {\"width\": 480, \"height\": 480},\n"
              "    \"cover\": {\"full-screen\": true, \"direction\": \"different\"},\n"
              "    \"windows\": [\n"
              "        {\"original\": [320, 240, 240, 240], \"target\": [240, 0], \"mode\": \"clockwise\"},\n"
              "        {\"original\": [0, 0, 10, 20], \"target\": [0, 0], \"mode\": \"level-mirror\"}\n"
              "    ]\n"
              "}\n");
    map.Windows[1].MapMode = 6;
    std::string why;
    EXPECT_TRUE(WriteMapJson(map, &why).isEmpty());
    EXPECT_EQ(why, "window 2 has map mode 6, which has no name in JSON");
}

TEST(MapJson, ReadsWhatOtherToolsWriteAndFillsTheCount) {
    Map map;
    const QByteArray compact = R"({"windows":[{"mode":"half-turn","target":[1,2],"original":[3,4,5,6]}],)"
                               R"("target":{"height":100,"width":90},"original":{"width":80,"height":70},)"
                               R"("comment":"ignored"})";
    ASSERT_TRUE(ReadMapJson(compact, map).Ok());
    EXPECT_EQ(map.Head.WindowCount, 1);
    EXPECT_EQ(map.Head.CoverOption, 0) << "no cover member: no cover";
    EXPECT_EQ(map.Head.OriginalWidth, 80);
    EXPECT_EQ(map.Head.TargetHeight, 100);
    EXPECT_EQ(map.Windows.at(0), MakeWindow(3, 4, 5, 6, 1, 2, 5));
}

TEST(MapJson, RefusalsNameTheElementAndLeaveTheMapAlone) {
    const std::string head = R"("original": {"width": 640, "height": 480}, "target": {"width": 640, "height": 480})";
    auto withWindows = [&](const std::string& windows) { return "{" + head + ", \"windows\": [" + windows + "]}"; };
    const std::string good = R"({"original": [0, 0, 10, 10], "target": [0, 0], "mode": "copy"})";
    std::string many;
    for (int i = 0; i < 256; ++i) many += (i ? "," : "") + good;
    const struct {
        std::string Json;
        const char* Expected;
    } cases[] = {
        {"{\n  \"original\": {\"width\": 640,\n  \"height\" 480}}",
         "map.json line 3: JSON syntax error: missing name separator"},
        {"[1, 2]", "map.json: the top level is not an object"},
        {R"({"target": {"width": 1, "height": 1}, "windows": []})", "map.json: \"original\" is missing"},
        {R"({"original": {"width": 1}, "target": {"width": 1, "height": 1}, "windows": []})",
         "map.json: original: \"height\" is missing"},
        {R"({"original": {"width": -1, "height": 5}, "target": {"width": 1, "height": 1}, "windows": []})",
         "map.json: original.width: -1 is not a whole number from 0 to 65535"},
        {R"({"original": {"width": 65536, "height": 5}, "target": {"width": 1, "height": 1}, "windows": []})",
         "map.json: original.width: 65536 is not a whole number from 0 to 65535"},
        {R"({"original": {"width": "640", "height": 5}, "target": {"width": 1, "height": 1}, "windows": []})",
         "map.json: original.width: \"640\" is not a whole number from 0 to 65535"},
        {"{" + head + "}", "map.json: \"windows\" is missing"},
        {"{" + head + R"(, "cover": {"full-screen": 1}, "windows": []})",
         "map.json: cover.full-screen: true or false is expected, not 1"},
        {"{" + head + R"(, "cover": {"direction": "other"}, "windows": []})",
         "map.json: cover.direction: \"same\" or \"different\" is expected, not \"other\""},
        {withWindows(good + R"(, {"original": [0, 0, 10.5, 10], "target": [0, 0], "mode": "copy"})"),
         "map.json: windows[1].original[2]: 10.5 is not a whole number from 0 to 65535"},
        {withWindows(R"({"original": [0, 0, 10], "target": [0, 0], "mode": "copy"})"),
         "map.json: windows[0].original: a list of 4 numbers is expected, not of 3"},
        {withWindows(R"({"original": [0, 0, 10, 10], "mode": "copy"})"),
         "map.json: windows[0] (window 1): \"target\" is missing"},
        {withWindows(R"({"original": [0, 0, 10, 10], "target": [0, 0], "mode": "sideways"})"),
         "map.json: windows[0].mode: \"sideways\" is not a map mode (copy, clockwise, anticlockwise, "
         "vertical-mirror, level-mirror, half-turn)"},
        {withWindows(good + "," + good + R"(, {"original": [0, 0, 10, 10], "target": [631, 0], "mode": "copy"})"),
         "map.json: windows[2] (window 3): The paywindow's Target Width beyond Screen"},
        {withWindows(R"({"original": [0, 0, 481, 10], "target": [0, 0], "mode": "clockwise"})"),
         "map.json: windows[0] (window 1): The paywindow's Target Heigh beyond Screen"},
        {R"({"original": {"width": 2001, "height": 5}, "target": {"width": 1, "height": 1}, "windows": [)" + good +
             "]}",
         "map.json: windows[0] (window 1): High and Width can't more than 2000"},
        {withWindows(many), "map.json: windows: a map holds at most 255 windows, this list has 256"},
        {withWindows("7"), "map.json: windows[0] (window 1): an object is expected, not 7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Json.substr(0, 200));
        Map map;
        map.Windows = {MakeWindow(1, 1, 1, 1, 1, 1, 1)};
        const Map before = map;
        const ExchangeRead read = ReadMapJson(QByteArray::fromStdString(c.Json), map);
        ASSERT_EQ(read.Problems.size(), 1u);
        EXPECT_EQ(DescribeProblem("map.json", read.Problems[0]), c.Expected);
        EXPECT_EQ(MapBytes(map), MapBytes(before));
    }
    Map huge;  // a head above 2000 without windows is a map file's right too
    EXPECT_TRUE(ReadMapJson(R"({"original": {"width": 65535, "height": 65535}, "target": {"width": 1, "height": 1},
                                "windows": []})",
                            huge)
                    .Ok());
}

TEST(MapJson, ADuplicatedMemberIsRefusedWithItsNameAndPlace) {
    const std::string head = R"("original": {"width": 640, "height": 480}, "target": {"width": 640, "height": 480})";
    const std::string good = R"({"original": [0, 0, 10, 10], "target": [0, 0], "mode": "copy"})";
    const struct {
        std::string Json;
        const char* Expected;
    } cases[] = {
        // The second list would silently replace the first.
        {"{" + head + ", \"windows\": [" + good + "],\n\"windows\": []}",
         "map.json line 2: the member \"windows\" is given twice"},
        {"{" + head + ", \"windows\": [" + good + ", " + good +
             ",\n {\"original\": [0, 0, 1, 1], \"mode\": \"copy\", \"target\": [0, 0], \"mode\": \"copy\"}]}",
         "map.json line 2: windows[2]: the member \"mode\" is given twice"},
        // The same name spelt with an escape is the same member.
        {R"({"original": {"width": 640, "height": 480, "w\u0069dth": 1}, "target": {"width": 1, "height": 1},
             "windows": []})",
         "map.json line 1: original: the member \"width\" is given twice"},
        {R"({"cover": {}, "cover": {}, )" + head + R"(, "windows": []})",
         "map.json line 1: the member \"cover\" is given twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Json);
        Map map;
        map.Windows = {MakeWindow(1, 1, 1, 1, 1, 1, 1)};
        const Map before = map;
        const ExchangeRead read = ReadMapJson(QByteArray::fromStdString(c.Json), map);
        ASSERT_EQ(read.Problems.size(), 1u);
        EXPECT_EQ(DescribeProblem("map.json", read.Problems[0]), c.Expected);
        EXPECT_EQ(MapBytes(map), MapBytes(before));
    }
    // Members of the same name in different objects are not duplicates.
    Map map;
    EXPECT_TRUE(
        ReadMapJson(QByteArray::fromStdString("{" + head + ", \"windows\": [" + good + ", " + good + "]}"), map).Ok());
    EXPECT_EQ(map.Windows.size(), 2u);
}

TEST(MapJson, EmptyWindowsForeignTextAndMinusZero) {
    const std::string head = R"({"original": {"width": 640, "height": 480}, "target": {"width": 640, "height": 480},)";
    auto one = [&](const std::string& window) { return head + " \"windows\": [" + window + "]}"; };
    const struct {
        std::string Json;
        const char* Expected;
    } cases[] = {
        {one(R"({"original": [0, 0, 0, 10], "target": [0, 0], "mode": "copy"})"),
         "map.json: windows[0] (window 1): the window is 0 x 10; a window needs a width and a height of at least 1"},
        {one(R"({"original": [5, 5, 0, 0], "target": [0, 0], "mode": "half-turn"})"),
         "map.json: windows[0] (window 1): the window is 0 x 0; a window needs a width and a height of at least 1"},
        // Bytes that would drive a terminal are shown escaped, and a long value cut.
        {one(R"({"original": [0, 0, 1, 1], "target": [0, 0], "mode": "\u001b[2J\u0007"})"),
         "map.json: windows[0].mode: \"\\x1b[2J\\x07\" is not a map mode (copy, clockwise, anticlockwise, "
         "vertical-mirror, level-mirror, half-turn)"},
        {std::string("\xff\xfe{\0}\0", 6), "map.json: the file is UTF-16 text; save it as UTF-8"},
        {std::string("{\0\"\0", 4), "map.json: the file is UTF-16 text; save it as UTF-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Json);
        Map map;
        const ExchangeRead read = ReadMapJson(QByteArray::fromStdString(c.Json), map);
        ASSERT_EQ(read.Problems.size(), 1u);
        EXPECT_EQ(DescribeProblem("map.json", read.Problems[0]), c.Expected);
    }
    const std::string longMode(3000, 'x');
    Map map;
    const ExchangeRead read = ReadMapJson(
        QByteArray::fromStdString(one(R"({"original": [0, 0, 1, 1], "target": [0, 0], "mode": ")" + longMode + "\"}")),
        map);
    ASSERT_EQ(read.Problems.size(), 1u);
    const std::string shown = "\"" + std::string(60, 'x') + "...\" (3000 bytes) is not a map mode";
    EXPECT_EQ(read.Problems[0].Reason.substr(0, shown.size()), shown);

    ASSERT_TRUE(ReadMapJson(QByteArray::fromStdString(one(R"({"original": [-0, 0, 1, 1], "target": [0, -0.0],
                                                              "mode": "copy"})")),
                            map)
                    .Ok());
    EXPECT_EQ(map.Windows.at(0), MakeWindow(0, 0, 1, 1, 0, 0, 0));
}

}  // namespace
}  // namespace tesselink
