// SPDX-License-Identifier: GPL-3.0-or-later
// Picking, moving and resizing windows with the pick tool, press by press, checked through the
// document.
#include <gtest/gtest.h>

#include <QUndoStack>

#include "fake_tool_surface.h"
#include "support/document_setup.h"
#include "support/recording_message_boxes.h"
#include "tools/pick_move_tool.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

// A 640 x 480 original and target; at zoom 1 picture pixel (x, y) is client (30 + x, 50 + y).
struct PickFixture : ::testing::Test {
    CTesselinkDoc doc;
    RecordingMessageBoxes boxes;
    PickMoveTool tool{1, doc, &boxes};
    FakeSurface original{doc, PictureViewRole::Original};
    FakeSurface target{doc, PictureViewRole::Target};

    const PlaybackWindow& Window(int i) const { return doc.GetPlaybackWindows()[static_cast<std::size_t>(i)]; }
    int Steps() { return doc.UndoStack().count(); }
    static ToolPoint Offset(ToolPoint p, int dx, int dy) { return ToolPoint{p.X + dx, p.Y + dy, p.Modifiers}; }
};

}  // namespace

TEST_F(PickFixture, TheInsideMovesTheWindowByPicturePixelsAtTheZoomAndStopsAtTheEdge) {
    const PlaybackWindow start = MakeWindow(100, 100, 50, 40, 0, 0, 0);
    SetWindows(doc, {start});
    original.Drag(tool, original.At(120, 120), Offset(original.At(120, 120), 30, 20));
    EXPECT_EQ(Window(0), MakeWindow(130, 120, 50, 40, 0, 0, 0));
    EXPECT_EQ(doc.SelectedOriginalWindow(), 0) << "the press picked it";
    EXPECT_EQ(Steps(), 1) << "every step of the drag merged";

    FakeSurface zoomed(doc, PictureViewRole::Original, 2.0f);
    zoomed.Drag(tool, zoomed.At(140, 130), Offset(zoomed.At(140, 130), 30, 20));
    EXPECT_EQ(Window(0), MakeWindow(145, 130, 50, 40, 0, 0, 0)) << "30 x 20 screen pixels at zoom 2";

    original.Drag(tool, original.At(150, 140), original.At(900, 140));
    EXPECT_EQ(Window(0), MakeWindow(590, 130, 50, 40, 0, 0, 0)) << "pushed back inside, its size kept";
    EXPECT_EQ(Steps(), 3);
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(PickFixture, ResizingPastThePictureEdgeStopsOnlyTheDraggedEdge) {
    // Client (230, 150, 330, 210); the edge handles sit beside the middle of each side.
    const PlaybackWindow start = MakeWindow(200, 100, 100, 60, 0, 0, 0);
    SetWindows(doc, {start});
    doc.SelectWindow(0);
    const int right = original.PictureRect().right;
    original.Drag(tool, ToolPoint{333, 180}, ToolPoint{right + 60, 180});
    EXPECT_EQ(Window(0), MakeWindow(200, 100, 440, 60, 0, 0, 0));

    doc.UndoStack().undo();
    original.Drag(tool, ToolPoint{227, 180}, ToolPoint{original.PictureRect().left - 60, 180});
    EXPECT_EQ(Window(0), MakeWindow(0, 100, 300, 60, 0, 0, 0));

    // A corner past two edges stops at both; the other two edges stay.
    doc.UndoStack().undo();
    original.Drag(tool, ToolPoint{333, 213}, ToolPoint{right + 60, original.PictureRect().bottom + 60});
    EXPECT_EQ(Window(0), MakeWindow(200, 100, 440, 380, 0, 0, 0));
    EXPECT_EQ(Steps(), 1);
}

TEST_F(PickFixture, ThePickedWindowsHandlesComeBeforeTheNeighbourUnderThem) {
    // B's top-left corner lies under A's bottom-right handle, client (130..136, 110..116).
    const PlaybackWindow a = MakeWindow(0, 0, 100, 60, 0, 0, 0);
    const PlaybackWindow b = MakeWindow(100, 60, 100, 60, 100, 60, 0);
    SetWindows(doc, {a, b});
    const ToolPoint handle{132, 112};
    doc.SelectWindow(0);
    EXPECT_EQ(tool.HoverCursor(original, handle.X, handle.Y), Qt::SizeFDiagCursor) << "hover and press agree";
    original.Drag(tool, handle, Offset(handle, 20, 20));
    EXPECT_EQ(Window(0), MakeWindow(0, 0, 120, 80, 0, 0, 0));
    EXPECT_EQ(Window(1), b);
    EXPECT_EQ(doc.SelectedOriginalWindow(), 0);

    // With nothing picked the same press picks the window under it and moves that.
    doc.UndoStack().undo();
    doc.SelectWindow(-1);
    EXPECT_EQ(tool.HoverCursor(original, handle.X, handle.Y), Qt::ArrowCursor);
    original.Drag(tool, handle, Offset(handle, 20, 20));
    EXPECT_EQ(Window(0), a);
    EXPECT_EQ(Window(1), MakeWindow(120, 80, 100, 60, 100, 60, 0));
    EXPECT_EQ(doc.SelectedOriginalWindow(), 1);
}

TEST_F(PickFixture, JitterUnderThreeScreenPixelsIsAClickAndAMoveBeyondCountsFromThePress) {
    const PlaybackWindow start = MakeWindow(100, 100, 50, 40, 10, 10, 0);
    SetWindows(doc, {start});
    for (const float zoom : {1.0f, 0.5f}) {
        SCOPED_TRACE(zoom);
        FakeSurface view(doc, PictureViewRole::Original, zoom);
        const ToolPoint press = view.At(120, 120);
        tool.Press(view, press);
        for (const auto& [dx, dy] : {std::pair{1, 0}, {2, -2}, {-2, 2}, {0, 1}}) tool.Move(view, Offset(press, dx, dy));
        tool.Release(view, Offset(press, 2, 1));
        EXPECT_EQ(Window(0), start);
        EXPECT_EQ(Steps(), 0) << "nothing stored";
        EXPECT_EQ(doc.SelectedOriginalWindow(), 0) << "a click picks";
    }
    // Past the threshold the whole way counts: 3 pixels, not the 1 beyond the first 2.
    tool.Press(original, original.At(120, 120));
    tool.Move(original, original.At(122, 120));
    EXPECT_EQ(Window(0), start);
    tool.Move(original, original.At(123, 120));
    EXPECT_EQ(Window(0).OriginalStartX, 103);
    tool.Release(original, original.At(123, 121));
    EXPECT_EQ(Window(0), MakeWindow(103, 101, 50, 40, 10, 10, 0));
    EXPECT_EQ(Steps(), 1);

    // The same in the Target view.
    target.Drag(tool, target.At(20, 20), target.At(21, 22));
    EXPECT_EQ(Window(0).TargetStartX, 10);
    target.Drag(tool, target.At(20, 20), target.At(17, 20));
    EXPECT_EQ(Window(0).TargetStartX, 7);
}

TEST_F(PickFixture, EachRunOfArrowPressesIsItsOwnUndoStep) {
    const PlaybackWindow start = MakeWindow(100, 100, 50, 40, 10, 10, 0);
    SetWindows(doc, {start});
    doc.SelectWindow(0);
    const auto press = [this](FakeSurface& view, int key, Qt::KeyboardModifiers modifiers = {}) {
        return tool.Key(view, key, modifiers);
    };
    for (int i = 0; i < 3; ++i) press(original, Qt::Key_Right);
    original.Click(tool, original.At(120, 120));
    press(original, Qt::Key_Right);
    press(original, Qt::Key_Right);
    EXPECT_EQ(Window(0).OriginalStartX, 105);
    ASSERT_EQ(Steps(), 2) << "a click ends the first run";
    doc.UndoStack().undo();
    EXPECT_EQ(Window(0).OriginalStartX, 103);
    doc.UndoStack().undo();
    EXPECT_EQ(Window(0), start);
    doc.UndoStack().clear();

    // Shift pressed on its own within a run belongs to it; another key ends it.
    press(original, Qt::Key_Down);
    press(original, Qt::Key_Shift, Qt::ShiftModifier);
    press(original, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Window(0).OriginalStartY, 111);
    EXPECT_EQ(Steps(), 1);
    EXPECT_FALSE(press(original, Qt::Key_F));
    press(original, Qt::Key_Down);
    EXPECT_EQ(Steps(), 2);

    // Another edit between two presses ends the run too: an undo, or the other view's keys.
    doc.UndoStack().undo();
    press(original, Qt::Key_Down);
    EXPECT_EQ(Steps(), 2) << "in place of the step undone";
    press(target, Qt::Key_Left);
    press(original, Qt::Key_Down);
    EXPECT_EQ(Steps(), 4);
    EXPECT_EQ(Window(0), MakeWindow(100, 113, 50, 40, 9, 10, 0));
}

TEST_F(PickFixture, EscapeAndCancelPutEverythingBackAndLeaveNoStep) {
    const PlaybackWindow start = MakeWindow(100, 100, 50, 40, 10, 10, 0);
    SetWindows(doc, {start});
    doc.SelectWindow(0);
    ASSERT_TRUE(original.PlaceFrameOn(0));
    const ViewRect frame = original.Frame().Rect;

    tool.Press(original, original.At(120, 120));
    tool.Move(original, original.At(200, 150));
    ASSERT_EQ(Window(0).OriginalStartX, 180) << "the window follows while dragging";
    EXPECT_TRUE(tool.Key(original, Qt::Key_Right, {})) << "keys belong to the drag";
    EXPECT_TRUE(tool.Key(original, Qt::Key_Escape, {}));
    EXPECT_FALSE(tool.GestureRunning());
    EXPECT_EQ(Window(0), start);
    EXPECT_EQ(original.Frame().Rect, frame);
    tool.Release(original, original.At(200, 150));
    EXPECT_EQ(Window(0), start) << "the release after Escape does nothing";

    // A resize given up with the right button (Cancel).
    tool.Press(original, ToolPoint{frame.right + 3, frame.bottom + 3});
    tool.Move(original, ToolPoint{frame.right + 40, frame.bottom + 40});
    ASSERT_NE(Window(0), start);
    tool.Cancel(original);
    EXPECT_EQ(Window(0), start);
    EXPECT_EQ(Steps(), 0);
    EXPECT_FALSE(doc.IsModified());
}
