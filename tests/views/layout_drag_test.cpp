// SPDX-License-Identifier: GPL-3.0-or-later
// Several windows and snapping in the Original view, through real mouse and key events.
#include <gtest/gtest.h>

#include <QTest>
#include <QUndoStack>

#include "support/document_setup.h"
#include "support/editing_tools.h"
#include "support/recording_message_boxes.h"
#include "view_test_support.h"
#include "views/original_view.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

// At zoom 1 the 640 x 480 original picture lies at (180, 80) of the view.
constexpr int Left = 180;
constexpr int Top = 80;

struct LayoutDragFixture : ::testing::Test {
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    RecordingMessageBoxes boxes;
    EditingTools tools{doc, &boxes};
    CTesselinkView original{doc, backdrop, &boxes};

    LayoutDragFixture() {
        FixViewport(original, 1000, 700);
        original.SetToolManager(&tools.Manager);
        tools.Manager.Snap().SetEnabled(true);
        backdrop.SetBackgroundPicturePath("picture.png");
    }
    QWidget* Port() { return original.viewport(); }
    const PlaybackWindow& Window(int i) const { return doc.GetPlaybackWindows()[static_cast<std::size_t>(i)]; }
    // A press, four steps with the button held and the release, all with `modifiers`; the
    // guides seen on the way are kept.
    std::vector<SnapGuide> Drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {}) {
        std::vector<SnapGuide> seen;
        QTest::mousePress(Port(), Qt::LeftButton, modifiers, from);
        for (int s = 1; s <= 4; ++s) {
            QMouseEvent move(QEvent::MouseMove, from + (to - from) * s / 4,
                             Port()->mapToGlobal(from + (to - from) * s / 4), Qt::NoButton, Qt::LeftButton, modifiers);
            QCoreApplication::sendEvent(Port(), &move);
            if (!original.Guides().empty()) seen = original.Guides();
        }
        QTest::mouseRelease(Port(), Qt::LeftButton, modifiers, to);
        return seen;
    }
    static QPoint At(int x, int y) { return {Left + x, Top + y}; }
};

}  // namespace

TEST_F(LayoutDragFixture, CtrlClickedWindowsMoveTogetherAndStopTogetherAtTheEdge) {
    SetWindows(doc, {MakeWindow(20, 20, 100, 50, 0, 0, 0), MakeWindow(300, 20, 100, 50, 200, 0, 0),
                     MakeWindow(20, 300, 50, 50, 0, 100, 0)});
    tools.Manager.Snap().SetEnabled(false);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, At(50, 40));
    QTest::mouseClick(Port(), Qt::LeftButton, Qt::ControlModifier, At(350, 40));
    ASSERT_EQ(doc.Selection(), (std::vector<int>{0, 1}));

    Drag(At(350, 40), At(400, 70));
    EXPECT_EQ(Window(0).OriginalStartX, 70);
    EXPECT_EQ(Window(0).OriginalStartY, 50);
    EXPECT_EQ(Window(1).OriginalStartX, 350);
    EXPECT_EQ(Window(1).OriginalStartY, 50);
    EXPECT_EQ(Window(2).OriginalStartX, 20) << "not selected, not moved";
    ASSERT_EQ(doc.UndoStack().count(), 1);
    EXPECT_EQ(doc.UndoStack().text(0), "Move 2 windows");

    // Far past the right edge: the right window stops there, the left one by the same amount.
    Drag(At(400, 70), At(900, 70));
    EXPECT_EQ(Window(1).OriginalStartX + Window(1).Width, 640);
    EXPECT_EQ(Window(0).OriginalStartX, 70 + (540 - 350));
    EXPECT_EQ(doc.UndoStack().count(), 2);
    EXPECT_TRUE(boxes.Shown.empty()) << "no message during a group drag";

    // A click on one of them without a drag leaves it alone selected.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, At(Window(0).OriginalStartX + 10, 60));
    EXPECT_EQ(doc.Selection(), std::vector<int>{0});

    doc.UndoStack().undo();
    doc.UndoStack().undo();
    EXPECT_EQ(Window(0), MakeWindow(20, 20, 100, 50, 0, 0, 0));
    EXPECT_EQ(Window(1), MakeWindow(300, 20, 100, 50, 200, 0, 0));
}

TEST_F(LayoutDragFixture, ADragEndingNearANeighboursEdgeLandsOnItUnlessShiftIsHeld) {
    SetWindows(doc, {MakeWindow(20, 20, 100, 50, 0, 0, 0), MakeWindow(300, 200, 100, 50, 0, 100, 0)});
    doc.SelectWindow(1);
    // The window's left edge would end 4 screen pixels right of the neighbour's right edge (120).
    const std::vector<SnapGuide> guides = Drag(At(350, 225), At(350 - 176, 225));
    EXPECT_EQ(Window(1).OriginalStartX, 120) << "snapped onto the neighbour's edge";
    EXPECT_EQ(Window(1).OriginalStartY, 200);
    EXPECT_NE(std::find(guides.begin(), guides.end(), SnapGuide{GuideOrientation::Vertical, 120}), guides.end())
        << "a guide along the edge while the drag lasts";
    EXPECT_TRUE(original.Guides().empty()) << "and gone after it";

    doc.UndoStack().undo();
    ASSERT_EQ(Window(1).OriginalStartX, 300);
    Drag(At(350, 225), At(350 - 176, 225), Qt::ShiftModifier);
    EXPECT_EQ(Window(1).OriginalStartX, 124) << "Shift places it where the mouse put it";

    // Beyond the snapping distance nothing pulls it.
    doc.UndoStack().undo();
    Drag(At(350, 225), At(350 - 170, 225));
    EXPECT_EQ(Window(1).OriginalStartX, 130);
}

TEST_F(LayoutDragFixture, SelectAllDeleteAndOneUndoBringEveryWindowBack) {
    const PlaybackWindows windows = {MakeWindow(20, 20, 100, 50, 0, 0, 0), MakeWindow(300, 200, 100, 50, 0, 100, 1),
                                     MakeWindow(400, 10, 30, 30, 300, 300, 5)};
    SetWindows(doc, windows);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, At(50, 40));
    QTest::keyClick(Port(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(doc.Selection().size(), 3u);
    QTest::keyClick(Port(), Qt::Key_Delete);
    EXPECT_EQ(doc.WindowCount(), 0);
    doc.UndoStack().undo();
    EXPECT_EQ(doc.GetPlaybackWindows(), windows);
    EXPECT_FALSE(doc.UndoStack().canUndo()) << "one step";
    QTest::keyClick(Port(), Qt::Key_Escape);
    EXPECT_EQ(doc.Selection().size(), 1u) << "Escape leaves the current window";
}

TEST_F(LayoutDragFixture, ABandOnEmptyAreaSelectsTheWindowsInsideIt) {
    SetWindows(doc, {MakeWindow(20, 20, 100, 50, 0, 0, 0), MakeWindow(150, 20, 100, 50, 0, 100, 0),
                     MakeWindow(400, 300, 30, 30, 300, 300, 0)});
    Drag(At(10, 10), At(300, 100));
    EXPECT_EQ(doc.Selection(), (std::vector<int>{0, 1}));
    Drag(At(10, 10), At(200, 100));
    EXPECT_EQ(doc.Selection(), std::vector<int>{0}) << "only windows wholly inside";
}
