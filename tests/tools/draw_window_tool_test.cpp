// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing new windows with a rubber band, press by press, checked through the document.
#include <gtest/gtest.h>

#include <QUndoStack>

#include "fake_tool_surface.h"
#include "support/document_setup.h"
#include "support/recording_message_boxes.h"
#include "tools/draw_window_tool.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

constexpr int Clockwise = static_cast<int>(MapMode::Clockwise90);

// A 640 x 480 original and target; at zoom 1 picture pixel (x, y) is client (30 + x, 50 + y).
struct DrawFixture : ::testing::Test {
    CTesselinkDoc doc;
    RecordingMessageBoxes boxes;
    DrawWindowTool tool{1, Clockwise, doc, &boxes};
    FakeSurface original{doc, PictureViewRole::Original};
    FakeSurface target{doc, PictureViewRole::Target};

    const PlaybackWindow& Window(int i) const { return doc.GetPlaybackWindows()[static_cast<std::size_t>(i)]; }
};

}  // namespace

TEST_F(DrawFixture, ABandOnEmptyAreaAddsAWindowInTheToolsModeAtTheTargetsCorner) {
    original.Drag(tool, original.At(20, 20), original.At(120, 70));
    ASSERT_EQ(doc.WindowCount(), 1);
    EXPECT_EQ(Window(0), MakeWindow(20, 20, 100, 50, 0, 0, Clockwise));
    EXPECT_EQ(Window(0).PlacedWidth, 50) << "turned a quarter";
    EXPECT_EQ(doc.SelectedOriginalWindow(), 0);

    // Drawn up and to the left, at zoom 2: the same rectangle of picture pixels.
    FakeSurface zoomed(doc, PictureViewRole::Original, 2.0f);
    zoomed.Drag(tool, zoomed.At(420, 370), zoomed.At(320, 320));
    ASSERT_EQ(doc.WindowCount(), 2);
    EXPECT_EQ(Window(1), MakeWindow(320, 320, 100, 50, 0, 0, Clockwise));
    EXPECT_EQ(doc.UndoStack().count(), 2);

    // A press on a window moves it as the pick tool does.
    original.Drag(tool, original.At(30, 30), original.At(40, 30));
    EXPECT_EQ(doc.WindowCount(), 2);
    EXPECT_EQ(Window(0).OriginalStartX, 30);
}

TEST_F(DrawFixture, ClicksJitterAndTheTargetViewDrawNothing) {
    original.Click(tool, original.At(300, 300));
    original.Drag(tool, original.At(300, 300), original.At(302, 298));
    target.Drag(tool, target.At(100, 100), target.At(200, 200));
    original.Drag(tool, ToolPoint{5, 5}, original.At(100, 100));
    EXPECT_EQ(doc.WindowCount(), 0) << "the last band began outside the picture";
    EXPECT_EQ(doc.UndoStack().count(), 0);
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(DrawFixture, ABandTheMapRefusesIsNamedWhileDrawnAndReportedAtTheRelease) {
    // Turned, 300 wide becomes 300 high: too high for the 480-pixel target beyond 480.
    tool.Press(original, original.At(100, 100));
    tool.Move(original, original.At(400, 200));
    EXPECT_FALSE(original.Frame().Refused);
    tool.Move(original, original.At(600, 200));
    EXPECT_TRUE(original.Frame().Refused) << "drawn red";
    EXPECT_EQ(original.Status, QStringLiteral("Original view: (x:100,y:100,w:500,h:100)"
                                              " - does not fit: beyond the target height (turned)"));
    tool.Release(original, original.At(600, 200));
    EXPECT_EQ(doc.WindowCount(), 0);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0], ApplicationMessage("the Target Heigh of The playback window beyond the screen"));

    // A full map takes no more.
    boxes.Shown.clear();
    SetWindows(doc, PlaybackWindows(MaxWindowCount, MakeWindow(0, 0, 1, 1, 0, 0, 0)));
    original.Drag(tool, original.At(100, 100), original.At(200, 200));
    EXPECT_EQ(doc.WindowCount(), static_cast<int>(MaxWindowCount));
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0], ApplicationMessage(TooManyWindowsMessage));
    EXPECT_EQ(doc.UndoStack().count(), 0);
}
