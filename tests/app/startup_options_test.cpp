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

TEST(ParseEditorArguments, APlainDashIsAFileName) {
    // "-" and names starting with one dash are left to the map reader to judge.
    EXPECT_EQ(ParseEditorArguments({"-odd.map"}).MapPath, "-odd.map");
}

}  // namespace
}  // namespace tesselink
