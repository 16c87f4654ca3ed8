// SPDX-License-Identifier: GPL-3.0-or-later
// Editing windows with the mouse and the keys in both picture views, through real events.
#include <gtest/gtest.h>

#include <QShortcut>
#include <QTest>
#include <QUndoStack>
#include <QWheelEvent>

#include "support/document_setup.h"
#include "support/editing_tools.h"
#include "support/recording_message_boxes.h"
#include "view_test_support.h"
#include "views/original_view.h"
#include "views/target_view.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

// Both views with the editor's tools; at zoom 1 each shows its 640 x 480 picture at
// (180, 80, 820, 560).
struct EditingFixture : ::testing::Test {
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    RecordingMessageBoxes boxes;
    QStringList status;  // every status text either view said, in order
    EditingTools tools{doc, &boxes};
    CTesselinkView original{doc, backdrop, &boxes};
    CRightView target{doc, backdrop};

    EditingFixture() {
        FixViewport(original, 1000, 700);
        FixViewport(target, 1000, 400);
        original.SetToolManager(&tools.Manager);
        target.SetToolManager(&tools.Manager);
        const auto record = [this](const QString& text) { status.push_back(text); };
        QObject::connect(&original, &PictureScrollView::statusChanged, record);
        QObject::connect(&target, &PictureScrollView::statusChanged, record);
    }

    static QWidget* Port(PictureScrollView& view) { return view.viewport(); }
    const PlaybackWindow& Window(int i) const { return doc.GetPlaybackWindows()[static_cast<std::size_t>(i)]; }
    void Zoom(float z) {
        original.ZoomObject().SetFactor(z);
        target.ZoomObject().SetFactor(z);
    }
    // Press, move there in a few steps with the button held, release; both views paint
    // after each step, as they do on screen.
    void Drag(PictureScrollView& view, QPoint from, QPoint to, bool release = true) {
        QTest::mousePress(Port(view), Qt::LeftButton, {}, from);
        for (int s = 1; s <= 4; ++s) {
            QTest::mouseMove(Port(view), from + (to - from) * s / 4);
            original.RenderViewport();
            target.RenderViewport();
        }
        if (release) QTest::mouseRelease(Port(view), Qt::LeftButton, {}, to);
    }
    static void Click(PictureScrollView& view, QPoint at) { QTest::mouseClick(Port(view), Qt::LeftButton, {}, at); }
    static void Key(PictureScrollView& view, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(Port(view), key, mods);
    }
    static QPoint Centre(const ViewRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
};

const float Zooms[] = {1.0f, 1.5f, 2.0f};

}  // namespace

TEST_F(EditingFixture, RubberBandsAddWindowsAndFramesAreMovedBackIntoThePicture) {
    tools.Draw(1);
    Drag(original, {200, 100}, {300, 150});
    ASSERT_EQ(doc.WindowCount(), 1);
    EXPECT_EQ(Window(0), MakeWindow(20, 20, 100, 50, 0, 0, 1));
    EXPECT_EQ(Window(0).PlacedWidth, 50);
    EXPECT_EQ(doc.SelectedOriginalWindow(), 0);
    EXPECT_EQ(doc.SelectedTargetWindow(), 0);
    EXPECT_EQ(original.SelectionFrame().Rect, (ViewRect{200, 100, 300, 150}));
    EXPECT_EQ(target.SelectionFrame().Rect, (ViewRect{180, 80, 230, 180})) << "the Target view follows";

    // Draw mode, a press on the window moves it: 570 to the right is pushed back to the edge.
    Drag(original, {250, 120}, {820, 120});
    EXPECT_EQ(Window(0), MakeWindow(540, 20, 100, 50, 0, 0, 1));
    EXPECT_EQ(original.SelectionFrame().Rect, (ViewRect{720, 100, 820, 150}));

    tools.Draw(0);
    Drag(original, {700, 500}, {1000, 700});
    ASSERT_EQ(doc.WindowCount(), 2);
    EXPECT_EQ(Window(1), MakeWindow(340, 280, 300, 200, 0, 0, 0)) << "moved, not cut";
    EXPECT_EQ(original.SelectionFrame().Rect, (ViewRect{520, 360, 820, 560}));
    EXPECT_EQ(doc.UndoStack().count(), 3);
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(EditingFixture, ClicksOnEmptyAreaChangeNothing) {
    SetWindows(doc, {MakeWindow(20, 20, 100, 50, 0, 0, 0)});
    doc.SelectWindow(0);
    const ViewRect frame = original.SelectionFrame().Rect;
    tools.Draw(0);
    Click(original, {500, 400});
    EXPECT_EQ(doc.WindowCount(), 1) << "a click in draw mode adds nothing";
    EXPECT_EQ(original.SelectionFrame().Rect, frame);
    tools.Pick();
    Click(original, {500, 400});
    EXPECT_EQ(doc.SelectedOriginalWindow(), 0) << "nor does select mode clear the selection";
    EXPECT_EQ(original.SelectionFrame().Rect, frame);
    EXPECT_EQ(doc.UndoStack().count(), 0);
}

TEST_F(EditingFixture, OverlappingWindowsPickTheLaterOneInBothViews) {
    SetWindows(doc, {MakeWindow(0, 0, 200, 200, 0, 0, 0), MakeWindow(100, 100, 200, 200, 100, 100, 0),
                     MakeWindow(400, 0, 10, 10, 400, 0, 0)});
    Click(original, {300, 200});
    EXPECT_EQ(doc.SelectedOriginalWindow(), 1);
    EXPECT_EQ(doc.SelectedTargetWindow(), 1);
    EXPECT_EQ(target.SelectionFrame().Rect, target.DisplayRects()[1]);
    // Right and bottom edges are not part of a window: (590, 80) is window 2's right edge.
    doc.SelectWindow(-1);
    Click(target, {590, 85});
    EXPECT_EQ(doc.SelectedTargetWindow(), -1);
    Click(target, {589, 89});
    EXPECT_EQ(doc.SelectedTargetWindow(), 2);
    EXPECT_EQ(original.SelectionFrame().Rect, original.DisplayRects()[2]) << "the Original view follows";
    EXPECT_EQ(doc.UndoStack().count(), 0) << "picking stores nothing";
}

TEST_F(EditingFixture, DeleteRemovesTheSelectedWindowInEitherView) {
    SetWindows(doc, {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(20, 0, 10, 10, 20, 0, 0),
                     MakeWindow(40, 0, 10, 10, 40, 0, 0)});
    Key(original, Qt::Key_Delete);
    EXPECT_EQ(doc.WindowCount(), 3) << "no selected row, nothing removed";
    doc.SelectWindow(1);
    Key(original, Qt::Key_Delete);
    ASSERT_EQ(doc.WindowCount(), 2);
    EXPECT_EQ(Window(1).OriginalStartX, 40);
    doc.SelectWindow(0);
    Key(target, Qt::Key_Delete);
    ASSERT_EQ(doc.WindowCount(), 1);
    EXPECT_EQ(Window(0).OriginalStartX, 40);
}

TEST_F(EditingFixture, ClicksDragsAndKeysAreExactAtEveryZoom) {
    for (const float z : Zooms) {
        SCOPED_TRACE(z);
        // At 1.5 this window is drawn 10 pixels wide, its target place starts at half a pixel.
        const PlaybackWindow start = MakeWindow(0, 3, 7, 9, 1, 3, 0);
        SetWindows(doc, {start});
        Zoom(z);
        // A click only selects, in both views, even where the window is not a whole number of pixels wide.
        Click(original, Centre(original.DisplayRects()[0]));
        Click(target, Centre(target.DisplayRects()[0]));
        EXPECT_EQ(Window(0), start);
        EXPECT_EQ(doc.UndoStack().count(), 0);

        // A move keeps the size, and the stored window is shown where the frame was let go
        // (a pixel boundary lies there at each of these zooms).
        const ViewRect before = original.DisplayRects()[0];
        const QPoint by(30, 18);
        Drag(original, Centre(before), Centre(before) + by, false);
        const ViewRect released = original.SelectionFrame().Rect;
        QTest::mouseRelease(Port(original), Qt::LeftButton, {}, Centre(before) + by);
        EXPECT_EQ(released, before.Offset(by.x(), by.y()));
        EXPECT_EQ(Window(0).Width, 7);
        EXPECT_EQ(Window(0).Height, 9);
        const ViewRect shown = original.DisplayRects()[0];
        EXPECT_EQ(shown.left, released.left);
        EXPECT_EQ(shown.top, released.top);
        EXPECT_EQ(original.SelectionFrame().Rect, shown) << "the frame shows the stored window";

        // Dragged by an odd number of pixels at zoom 2: a pixel beside, never further.
        const ViewRect again = original.DisplayRects()[0];
        Drag(original, Centre(again), Centre(again) + QPoint(-5, 0));
        EXPECT_LE(std::abs(original.DisplayRects()[0].left - (again.left - 5)), 1);
        EXPECT_EQ(Window(0).Width, 7);

        // Arrows move one picture pixel, Shift ten, again and again; the frame follows.
        const PlaybackWindow moved = Window(0);
        Key(original, Qt::Key_Right);
        Key(original, Qt::Key_Right);
        Key(original, Qt::Key_Down, Qt::ShiftModifier);
        EXPECT_EQ(Window(0).OriginalStartX, moved.OriginalStartX + 2);
        EXPECT_EQ(Window(0).OriginalStartY, moved.OriginalStartY + 10);
        EXPECT_EQ(original.SelectionFrame().Rect, original.DisplayRects()[0]);
        Key(target, Qt::Key_Left);
        Key(target, Qt::Key_Right);
        Key(target, Qt::Key_Right);
        EXPECT_EQ(Window(0).TargetStartX, 2);
        EXPECT_EQ(target.SelectionFrame().Rect, target.DisplayRects()[0]);

        // The target place likewise: moved, shown where let go, its size untouched.
        const ViewRect place = target.DisplayRects()[0];
        Drag(target, Centre(place), Centre(place) + by);
        EXPECT_EQ(target.DisplayRects()[0].left, place.left + by.x());
        EXPECT_EQ(target.DisplayRects()[0].top, place.top + by.y());
        EXPECT_EQ(Window(0).PlacedWidth, 7);
        EXPECT_EQ(target.SelectionFrame().Rect, target.DisplayRects()[0]);
        EXPECT_EQ(doc.UndoStack().count(), 5) << "two drags, original keys, target keys, target drag";
    }
}

TEST_F(EditingFixture, RefusedResizeShowsItsMessageOnceAndPutsTheFrameBack) {
    for (const float z : Zooms) {
        SCOPED_TRACE(z);
        // At target x 540, 100 wide: any wider leaves the target picture.
        const PlaybackWindow start = MakeWindow(10, 10, 100, 50, 540, 0, 0);
        SetWindows(doc, {start});
        Zoom(z);
        doc.SelectWindow(0);
        boxes.Shown.clear();
        const ViewRect r = original.DisplayRects()[0];
        Drag(original, {r.right + 3, (r.top + r.bottom) / 2 - 2}, {r.right + 40, (r.top + r.bottom) / 2});
        EXPECT_EQ(Window(0), start);
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(boxes.Shown[0], ApplicationMessage("the Target width of The playback window beyond the screen "));
        EXPECT_EQ(original.SelectionFrame().Rect, original.DisplayRects()[0]);
        EXPECT_EQ(doc.UndoStack().count(), 0);
    }
}

TEST_F(EditingFixture, EachGestureIsOneUndoStepAndEscapeLeavesNone) {
    const PlaybackWindow start = MakeWindow(100, 100, 50, 50, 10, 10, 0);
    SetWindows(doc, {start});
    doc.SelectWindow(0);
    Drag(original, {305, 205}, {355, 225});
    const PlaybackWindow dragged = Window(0);
    EXPECT_EQ(dragged.OriginalStartX, 150);
    for (int i = 0; i < 20; ++i) Key(original, Qt::Key_Left);
    EXPECT_EQ(Window(0).OriginalStartX, 130);
    ASSERT_EQ(doc.UndoStack().count(), 2);
    doc.UndoStack().undo();
    EXPECT_EQ(Window(0), dragged);
    doc.UndoStack().undo();
    EXPECT_EQ(Window(0), start);
    EXPECT_EQ(original.SelectionFrame().Rect, original.DisplayRects()[0]);
    doc.UndoStack().clear();

    // Escape, or the right button, in the middle of a drag: the window and the frame as before.
    for (const bool escape : {true, false}) {
        Drag(original, {305, 205}, {405, 305}, false);
        EXPECT_EQ(Window(0).OriginalStartX, 200) << "the window follows while dragging";
        if (escape) {
            Key(original, Qt::Key_Escape);
        } else {
            QTest::mousePress(Port(original), Qt::RightButton, {}, {405, 305});
            QTest::mouseRelease(Port(original), Qt::RightButton, {}, {405, 305});
        }
        QTest::mouseRelease(Port(original), Qt::LeftButton, {}, {405, 305});
        EXPECT_EQ(Window(0), start);
        EXPECT_EQ(original.SelectionFrame().Rect, (ViewRect{280, 180, 330, 230}));
        EXPECT_EQ(doc.UndoStack().count(), 0);
        EXPECT_FALSE(doc.IsModified());
    }
}

TEST_F(EditingFixture, TargetPlacesMoveByTheInsideOnlyAndStopAtTheEdge) {
    const PlaybackWindow start = MakeWindow(0, 0, 100, 50, 100, 100, 0);
    SetWindows(doc, {start});
    Click(target, {300, 200});
    ASSERT_EQ(doc.SelectedTargetWindow(), 0);
    ASSERT_EQ(target.SelectionFrame().HitTest(383, 205), HitRight);
    Drag(target, {383, 205}, {450, 260});
    EXPECT_EQ(Window(0), start) << "handles do nothing here";
    status.clear();
    Drag(target, {300, 200}, {900, 200}, false);
    EXPECT_EQ(target.SelectionFrame().Rect, (ViewRect{880, 180, 980, 230})) << "under the mouse while dragging";
    EXPECT_EQ(Window(0).TargetStartX, 540) << "while the window already stops at the edge";
    QTest::mouseRelease(Port(target), Qt::LeftButton, {}, {900, 200});
    EXPECT_EQ(Window(0).TargetStartX, 540);
    EXPECT_EQ(Window(0).TargetStartY, 100);
    EXPECT_EQ(Window(0).Width, 100);
    EXPECT_EQ(target.SelectionFrame().Rect, (ViewRect{720, 180, 820, 230}));
    ASSERT_FALSE(status.empty());
    EXPECT_TRUE(status.contains(QStringLiteral("Target view: (x:540,y:100,w:100,h:50)"))) << "shown while dragging";
}

TEST_F(EditingFixture, CtrlWheelZoomsTheViewUnderTheMouse) {
    const auto wheel = [](PictureScrollView& view, int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(300, 300), QPointF(300, 300), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view.viewport(), &e);
    };
    wheel(original, 120, Qt::ControlModifier);
    wheel(original, 60, Qt::ControlModifier);
    EXPECT_EQ(original.ZoomObject().Factor(), 1.5f);
    wheel(original, 60, Qt::ControlModifier);
    EXPECT_EQ(original.ZoomObject().Factor(), 2.0f) << "two half notches make a step";
    wheel(target, -120, Qt::ControlModifier);
    EXPECT_EQ(target.ZoomObject().Factor(), 0.5f);
    wheel(target, -120, {});
    EXPECT_EQ(target.ZoomObject().Factor(), 0.5f) << "the plain wheel scrolls";
    EXPECT_EQ(original.ZoomObject().Factor(), 2.0f);
}

TEST_F(EditingFixture, ShortcutsWaitUntilTheDragEnds) {
    SetWindows(doc, {MakeWindow(0, 0, 10, 10, 0, 0, 0), MakeWindow(100, 100, 50, 50, 10, 10, 0)});
    doc.SelectWindow(0);
    Key(original, Qt::Key_Right);
    QShortcut undo(QKeySequence(Qt::CTRL | Qt::Key_Z), &original);
    original.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&original));
    int undone = 0;
    QObject::connect(&undo, &QShortcut::activated, [&] {
        ++undone;
        doc.UndoStack().undo();
    });
    Drag(original, {305, 205}, {355, 225}, false);
    Key(original, Qt::Key_Z, Qt::ControlModifier);
    QTest::mouseRelease(Port(original), Qt::LeftButton, {}, {355, 225});
    EXPECT_EQ(undone, 0);
    EXPECT_EQ(Window(1).OriginalStartX, 150);
    Key(original, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(undone, 1) << "the shortcut works again";
    EXPECT_EQ(Window(1).OriginalStartX, 100);
    EXPECT_EQ(Window(0).OriginalStartX, 1);
}

TEST_F(EditingFixture, ResizingPastThePictureEdgeStopsOnlyTheDraggedEdge) {
    // Shown at (380, 180, 480, 240); its edge handles sit beside the middle of each side.
    tools.Manager.Snap().SetEnabled(true);  // as the editor starts
    const PlaybackWindow start = MakeWindow(200, 100, 100, 60, 0, 0, 0);
    SetWindows(doc, {start});
    doc.SelectWindow(0);
    ASSERT_EQ(original.SelectionFrame().HitTest(483, 210), HitRight);
    Drag(original, {483, 210}, {820 + 60, 210});
    EXPECT_EQ(Window(0), MakeWindow(200, 100, 440, 60, 0, 0, 0)) << "the left edge stays";
    EXPECT_EQ(original.SelectionFrame().Rect, (ViewRect{380, 180, 820, 240}));

    doc.UndoStack().undo();
    ASSERT_EQ(Window(0), start);
    ASSERT_EQ(original.SelectionFrame().HitTest(377, 210), HitLeft);
    Drag(original, {377, 210}, {180 - 60, 210});
    EXPECT_EQ(Window(0), MakeWindow(0, 100, 300, 60, 0, 0, 0)) << "the right edge stays";
    EXPECT_EQ(doc.UndoStack().count(), 1);
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(EditingFixture, TheHandleOfThePickedWindowWinsOverTheNeighbourUnderIt) {
    tools.Manager.Snap().SetEnabled(true);  // as the editor starts
    // A tiled pair: B's top-left corner lies under A's bottom-right handle (280..286, 140..146).
    const PlaybackWindow a = MakeWindow(0, 0, 100, 60, 0, 0, 0);
    const PlaybackWindow b = MakeWindow(100, 60, 100, 60, 100, 60, 0);
    SetWindows(doc, {a, b});
    doc.SelectWindow(0);
    ASSERT_TRUE(original.DisplayRects()[1].Contains(282, 142));
    QTest::mouseMove(Port(original), {282, 142});
    EXPECT_EQ(Port(original)->cursor().shape(), Qt::SizeFDiagCursor) << "the hover says what a press does";
    Drag(original, {282, 142}, {302, 162});
    EXPECT_EQ(Window(0), MakeWindow(0, 0, 120, 80, 0, 0, 0));
    EXPECT_EQ(Window(1), b);
    EXPECT_EQ(doc.SelectedOriginalWindow(), 0);

    // In the Target view the picked place's inside likewise comes before a later place over it.
    SetWindows(doc, {MakeWindow(0, 0, 100, 60, 0, 0, 0), MakeWindow(0, 0, 100, 60, 50, 30, 0)});
    doc.SelectWindow(0);
    Drag(target, {260, 130}, {290, 150});  // place (80, 50), inside both
    EXPECT_EQ(Window(0).TargetStartX, 30);
    EXPECT_EQ(Window(0).TargetStartY, 20);
    EXPECT_EQ(Window(1).TargetStartX, 50);
    EXPECT_EQ(doc.SelectedTargetWindow(), 0);
}

TEST_F(EditingFixture, ARefusedRubberBandLeavesNoRectangleInTheStatus) {
    SetWindows(doc, PlaybackWindows(MaxWindowCount, MakeWindow(0, 0, 1, 1, 0, 0, 0)));
    tools.Draw(0);
    Drag(original, {400, 300}, {500, 400}, false);
    EXPECT_EQ(original.StatusText(), QStringLiteral("Original view: (x:220,y:220,w:100,h:100)")) << "while drawing";
    QTest::mouseRelease(Port(original), Qt::LeftButton, {}, {500, 400});
    EXPECT_EQ(doc.WindowCount(), static_cast<int>(MaxWindowCount));
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, TooManyWindowsMessage);
    EXPECT_TRUE(original.StatusText().isEmpty()) << "no window is picked";

    // Deselecting clears what a picked window left there.
    doc.SelectWindow(3);
    EXPECT_FALSE(original.StatusText().isEmpty());
    EXPECT_FALSE(target.StatusText().isEmpty());
    doc.SelectWindow(-1);
    EXPECT_TRUE(original.StatusText().isEmpty());
    EXPECT_TRUE(target.StatusText().isEmpty());
}
