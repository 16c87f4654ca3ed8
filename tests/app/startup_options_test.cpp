// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup_options.h"

#include <gtest/gtest.h>

namespace tesselink {
namespace {

TEST(ParseEditorArguments, NothingOpensAnEmptyEditor) {
    const EditorStartOptions options = ParseEditorArguments({});
    EXPECT_TRUE(options.MapPath.isEmpty());
    EXPECT_TRUE(options.ScreenshotPath.isEmpty());
    EXPECT_TRUE(options.Error.isEmpty());
}

TEST(ParseEditorArguments, MapAndScreenshotInEitherOrder) {
    EditorStartOptions options = ParseEditorArguments({"walls.map", "--screenshot", "out.png"});
    EXPECT_EQ(options.MapPath, "walls.map");
    EXPECT_EQ(options.ScreenshotPath, "out.png");
    EXPECT_TRUE(options.Error.isEmpty());

    options = ParseEditorArguments({"--screenshot", "out.png", "walls.map"});
    EXPECT_EQ(options.MapPath, "walls.map");
    EXPECT_EQ(options.ScreenshotPath, "out.png");
}

TEST(ParseEditorArguments, MistakesAreReportedNotGuessed) {
    EXPECT_FALSE(ParseEditorArguments({"--screenshot"}).Error.isEmpty());
    EXPECT_FALSE(ParseEditorArguments({"--zoom", "2"}).Error.isEmpty());
    EXPECT_FALSE(ParseEditorArguments({"a.map", "b.map"}).Error.isEmpty());
}

TEST(ParseEditorArguments, ALiveSourceIsCheckedBeforeTheWindowOpens) {
    EditorStartOptions options = ParseEditorArguments({"walls.map", "--source", "udp://127.0.0.1:5000"});
    EXPECT_EQ(options.MapPath, "walls.map");
    EXPECT_EQ(options.Source, "udp://127.0.0.1:5000");
    EXPECT_TRUE(options.Error.isEmpty()) << options.Error.toStdString();

    // An address that could make FFmpeg read a file or another protocol never reaches the editor.
    for (const char* bad : {"file:///etc/passwd", "http://example.org/live.ts", "v4l2:/etc/passwd", "walls.mp4"}) {
        options = ParseEditorArguments({"--source", bad});
        EXPECT_TRUE(options.Error.contains(QLatin1String(bad))) << bad << ": " << options.Error.toStdString();
    }
    EXPECT_FALSE(ParseEditorArguments({"--source"}).Error.isEmpty());
}

TEST(ParseEditorArguments, APlainDashIsAFileName) {
    // "-" and names starting with one dash are left to the map reader to judge.
    EXPECT_EQ(ParseEditorArguments({"-odd.map"}).MapPath, "-odd.map");
}

}  // namespace
}  // namespace tesselink
