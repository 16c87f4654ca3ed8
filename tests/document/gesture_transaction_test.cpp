// SPDX-License-Identifier: GPL-3.0-or-later
// A gesture as a transaction on the document's history: its edits merge into one step, a commit
// keeps it, a cancel leaves the map and the history exactly as they were at the start.
#include "document/gesture_transaction.h"

#include <gtest/gtest.h>

#include <QUndoStack>

#include "document/tesselink_doc.h"
#include "support/document_setup.h"
#include "support/undo_history.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

struct GestureTransactionTest : ::testing::Test {
    CTesselinkDoc doc;
    GestureTransaction gesture{doc};

    // Two windows; one earlier step (a move of window 1) done and saved.
    GestureTransactionTest() {
        SetWindows(doc, {MakeWindow(10, 10, 40, 30, 0, 0, 0), MakeWindow(100, 10, 40, 30, 50, 0, 0)});
        doc.ChangeWindow(1, MakeWindow(110, 10, 40, 30, 50, 0, 0));
        doc.UndoStack().setClean();
    }
    History Now() { return HistoryOf(doc); }
    void MoveFirstTo(int x) {
        PlaybackWindow w = doc.GetPlaybackWindows()[0];
        w.OriginalStartX = static_cast<std::uint16_t>(x);
        ASSERT_TRUE(doc.ChangeWindow(0, w, gesture.Step(EditGesture::Kind::OriginalDrag)).Accepted());
    }
};

TEST_F(GestureTransactionTest, ACancelledGestureLeavesTheMapAndTheHistoryAsTheyWere) {
    const Map before = doc.GetMap();
    const History history = Now();
    gesture.Begin();
    for (const int x : {20, 30, 45}) MoveFirstTo(x);
    EXPECT_EQ(doc.UndoStack().count(), history.Count + 1) << "the moves merged into one step";
    gesture.Cancel();
    EXPECT_FALSE(gesture.IsOpen());
    EXPECT_EQ(doc.GetMap().Windows, before.Windows);
    EXPECT_EQ(Now(), history) << "no step to undo or redo, and still saved";
    // The step before the gesture is still there to undo.
    doc.UndoStack().undo();
    EXPECT_EQ(doc.GetPlaybackWindows()[1].OriginalStartX, 100);
}

TEST_F(GestureTransactionTest, AGestureThatCameBackToItsStartAndWentOnIsCancelledWhole) {
    const Map before = doc.GetMap();
    const History history = Now();
    gesture.Begin();
    MoveFirstTo(30);
    MoveFirstTo(10);  // where it began: the merged step goes
    EXPECT_EQ(doc.UndoStack().count(), history.Count);
    MoveFirstTo(60);
    gesture.Cancel();
    EXPECT_EQ(doc.GetMap().Windows, before.Windows);
    EXPECT_EQ(Now(), history);
}

TEST_F(GestureTransactionTest, ACommittedGestureStaysAndACancelNeverTakesAnotherEdit) {
    gesture.Begin();
    MoveFirstTo(30);
    gesture.Commit();
    gesture.Cancel();
    EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 30) << "a cancel after the commit changes nothing";
    EXPECT_EQ(doc.UndoStack().count(), 2);

    // A gesture whose step is no longer the newest: another edit came after it.
    gesture.Begin();
    MoveFirstTo(40);
    doc.ChangeWindow(1, MakeWindow(120, 10, 40, 30, 50, 0, 0));
    const History history = Now();
    EXPECT_FALSE(gesture.OwnsNewestStep());
    gesture.Cancel();
    EXPECT_EQ(Now(), history);
    EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 40);
    EXPECT_EQ(doc.GetPlaybackWindows()[1].OriginalStartX, 120);

    // A gesture that stored nothing leaves even an undone step to redo.
    doc.UndoStack().undo();
    const History undone = Now();
    gesture.Begin();
    gesture.Cancel();
    EXPECT_EQ(Now(), undone);
    EXPECT_TRUE(doc.UndoStack().canRedo());
}

TEST_F(GestureTransactionTest, AGroupStepIsCancelledWithTheSelectionItHad) {
    doc.SetSelection({0, 1}, 0);
    const Map before = doc.GetMap();
    const History history = Now();
    gesture.Begin();
    PlaybackWindows moved = doc.GetPlaybackWindows();
    for (PlaybackWindow& w : moved) w.OriginalStartY = 50;
    ASSERT_TRUE(
        doc.ChangeWindows(moved, {1}, "Move 2 windows", gesture.Step(EditGesture::Kind::OriginalDrag)).Accepted());
    EXPECT_EQ(doc.Selection(), std::vector<int>{1});
    gesture.Cancel();
    EXPECT_EQ(doc.GetMap().Windows, before.Windows);
    EXPECT_EQ(doc.Selection(), (std::vector<int>{0, 1}));
    EXPECT_EQ(doc.SelectedOriginalWindow(), 0);
    EXPECT_EQ(Now(), history);
}

}  // namespace
