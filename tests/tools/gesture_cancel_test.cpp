// SPDX-License-Identifier: GPL-3.0-or-later
// Gestures of the picture tools given up (Escape, the right button, a release the map refuses):
// the map and the undo history are as they were at the press, with an earlier saved step still
// below. Runs of arrow presses stay one step each.
#include <gtest/gtest.h>

#include <QUndoStack>

#include "fake_tool_surface.h"
#include "support/document_setup.h"
#include "support/undo_history.h"
#include "support/recording_message_boxes.h"
#include "tools/draw_window_tool.h"
#include "tools/pick_move_tool.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

// At zoom 1 picture pixel (x, y) is client (30 + x, 50 + y); both pictures 640 x 480.
struct GestureCancelTest : ::testing::Test {
    CTesselinkDoc doc;
    RecordingMessageBoxes boxes;
    PickMoveTool pick{1, doc, &boxes};
    DrawWindowTool draw{2, static_cast<int>(MapMode::Copy), doc, &boxes};
    FakeSurface original{doc, PictureViewRole::Original};
    FakeSurface target{doc, PictureViewRole::Target};

    // Window 0 turned a quarter, placed near the target's bottom; window 1 plain. One edit of
    // window 1 is done and saved before each gesture.
    GestureCancelTest() {
        SetWindows(doc, {MakeWindow(100, 100, 50, 40, 0, 400, static_cast<int>(MapMode::Clockwise90)),
                         MakeWindow(300, 100, 50, 40, 200, 0, 0)});
        doc.ChangeWindow(1, MakeWindow(310, 100, 50, 40, 200, 0, 0));
        doc.UndoStack().setClean();
        doc.SelectWindow(0);
    }
    History Now() { return HistoryOf(doc); }
};

TEST_F(GestureCancelTest, EveryGivenUpGestureLeavesMapAndHistoryAsAtThePress) {
    const Map before = doc.GetMap();
    const History history = Now();
    const std::vector<int> selection = doc.Selection();
    const auto expectUntouched = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(pick.GestureRunning());
        EXPECT_FALSE(draw.GestureRunning());
        EXPECT_EQ(doc.GetMap().Windows, before.Windows);
        EXPECT_EQ(Now(), history);
    };

    // A move in the Original view, Escape.
    pick.Press(original, original.At(120, 120));
    pick.Move(original, original.At(160, 150));
    ASSERT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 140);
    pick.Key(original, Qt::Key_Escape, {});
    pick.Release(original, original.At(160, 150));
    expectUntouched("move, Escape");

    // A resize by the right handle, the right button.
    ASSERT_TRUE(original.PlaceFrameOn(0));
    const ToolPoint handle{original.Frame().Rect.right + 3,
                           (original.Frame().Rect.top + original.Frame().Rect.bottom) / 2};
    pick.Press(original, handle);
    pick.Move(original, ToolPoint{handle.X + 20, handle.Y});
    ASSERT_EQ(doc.GetPlaybackWindows()[0].Width, 70);
    pick.Cancel(original);
    expectUntouched("resize, right button");

    // A resize refused at the release: turned, the wider window would end below the target.
    pick.Press(original, handle);
    pick.Move(original, ToolPoint{handle.X + 20, handle.Y});
    ASSERT_EQ(doc.GetPlaybackWindows()[0].Width, 70) << "accepted on the way";
    pick.Release(original, ToolPoint{handle.X + 60, handle.Y});
    ASSERT_EQ(boxes.Shown.size(), 1u) << "the refusal is told";
    expectUntouched("resize refused at the release");

    // A place moved in the Target view, Escape.
    pick.Press(target, target.At(20, 420));
    pick.Move(target, target.At(60, 400));
    ASSERT_NE(doc.GetPlaybackWindows()[0].TargetStartX, 0);
    pick.Key(target, Qt::Key_Escape, {});
    expectUntouched("place, Escape");

    // Both windows dragged together, Escape.
    doc.SetSelection({0, 1}, 0);
    const History group = Now();
    pick.Press(original, original.At(120, 120));
    pick.Move(original, original.At(120, 160));
    ASSERT_EQ(doc.GetPlaybackWindows()[1].OriginalStartY, 140);
    pick.Key(original, Qt::Key_Escape, {});
    EXPECT_EQ(doc.GetMap().Windows, before.Windows);
    EXPECT_EQ(Now(), group) << "group drag";
    EXPECT_EQ(doc.Selection(), (std::vector<int>{0, 1}));
    doc.SetSelection(selection);

    // A rubber band drawing a window, Escape: nothing is added.
    draw.Press(original, original.At(400, 300));
    draw.Move(original, original.At(450, 350));
    draw.Key(original, Qt::Key_Escape, {});
    draw.Release(original, original.At(450, 350));
    expectUntouched("rubber band, Escape");
    EXPECT_EQ(doc.WindowCount(), 2);

    // The history under the gestures is whole: the saved step undoes.
    doc.UndoStack().undo();
    EXPECT_EQ(doc.GetPlaybackWindows()[1].OriginalStartX, 300);
}

TEST_F(GestureCancelTest, AnArrowRunIsOneStepAndARunAfterAnUndoStartsAfresh) {
    const int steps = doc.UndoStack().count();
    for (int i = 0; i < 3; ++i) pick.Key(original, Qt::Key_Right, {});
    EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 103);
    EXPECT_EQ(doc.UndoStack().count(), steps + 1);

    doc.UndoStack().undo();
    pick.Key(original, Qt::Key_Right, {});
    pick.Key(original, Qt::Key_Right, {});
    EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 102);
    EXPECT_EQ(doc.UndoStack().count(), steps + 1) << "the new run replaced the undone one";
    doc.UndoStack().undo();
    EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 100) << "one undo takes back the new run, not more";
    EXPECT_EQ(doc.GetPlaybackWindows()[1].OriginalStartX, 310);

    // A drag given up between two presses ends the run: the presses are two steps.
    pick.Key(original, Qt::Key_Down, {});
    pick.Press(original, original.At(120, 120));
    pick.Move(original, original.At(160, 150));
    pick.Cancel(original);
    pick.Key(original, Qt::Key_Down, {});
    EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartY, 102);
    EXPECT_EQ(doc.UndoStack().count(), steps + 2);
}

}  // namespace
