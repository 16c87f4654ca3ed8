// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/problem_list_dock.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "document/tesselink_doc.h"
#include "support/document_setup.h"

namespace tesselink {
namespace {

class ProblemListDockTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Two 100 x 100 places overlapping by 40 x 30 on a 640 x 480 target.
        testing::SetWindows(doc, {MakeWindow(0, 0, 100, 100, 0, 0, 0), MakeWindow(0, 0, 100, 100, 60, 70, 0)});
        dock.Watch(doc);
        dock.resize(500, 300);
        dock.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dock));
    }

    // As the mouse sends it: press, release, the double click, release (QTest's double click on a
    // widget is the third event alone).
    void DoubleClickRow(int row) {
        QListWidget* list = dock.List();
        const QRect rect = list->visualItemRect(list->item(row));
        ASSERT_FALSE(rect.isEmpty());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

    CTesselinkDoc doc;
    ProblemListDock dock;
};

TEST_F(ProblemListDockTest, ListsTheWatchedMapAtOnce) {
    ASSERT_GE(dock.RowCount(), 2);
    EXPECT_EQ(dock.RowText(0).toStdString(), "Window 2 covers 40 x 30 at (60,70) of window 1.");
    EXPECT_TRUE(dock.RowText(1).endsWith("is covered by no window."));
    EXPECT_EQ(dock.windowTitle(), "Problems");
}

TEST_F(ProblemListDockTest, ChangesAreListedOnceBackInTheEventLoop) {
    QSignalSpy listed(&dock, &ProblemListDock::listed);
    // Move the second window off the first, then cover the whole target with a third.
    PlaybackWindow moved = doc.GetPlaybackWindows()[1];
    moved.TargetStartX = 100;
    ASSERT_TRUE(doc.ChangeWindow(1, moved).Accepted());
    ASSERT_TRUE(doc.AddWindow(MakeWindow(0, 0, 640, 480, 0, 0, 0)).Accepted());
    // Nothing recomputed while the changes are made.
    EXPECT_EQ(listed.count(), 0);
    EXPECT_EQ(dock.RowText(0).toStdString(), "Window 2 covers 40 x 30 at (60,70) of window 1.");
    ASSERT_TRUE(listed.wait(1000));
    QCoreApplication::processEvents();
    EXPECT_EQ(listed.count(), 1);
    ASSERT_EQ(dock.RowCount(), 2);
    EXPECT_EQ(dock.RowText(0).toStdString(), "Window 3 covers 100 x 100 at (0,0) of window 1.");
    EXPECT_EQ(dock.RowText(1).toStdString(), "Window 3 covers 100 x 100 at (100,70) of window 2.");

    doc.UndoStack().undo();
    ASSERT_TRUE(listed.wait(1000));
    EXPECT_TRUE(dock.RowText(0).endsWith("is covered by no window."));
}

TEST_F(ProblemListDockTest, DoubleClickGivesTheWindowsOfTheRow) {
    QSignalSpy windows(&dock, &ProblemListDock::windowsActivated);
    QSignalSpy area(&dock, &ProblemListDock::targetAreaActivated);
    DoubleClickRow(0);
    ASSERT_EQ(windows.count(), 1);
    EXPECT_EQ(windows.at(0).at(0).value<QList<int>>(), (QList<int>{0, 1}));
    ASSERT_EQ(area.count(), 1);
    EXPECT_EQ(area.at(0).at(0).toRect(), QRect(60, 70, 40, 30));
    // The summary of the uncovered area names no window.
    DoubleClickRow(1);
    EXPECT_EQ(windows.count(), 1);
}

TEST_F(ProblemListDockTest, MapWithoutProblemsSaysSo) {
    testing::SetWindows(doc, {MakeWindow(0, 0, 640, 480, 0, 0, 0)});
    QSignalSpy listed(&dock, &ProblemListDock::listed);
    ASSERT_TRUE(listed.wait(1000));
    ASSERT_EQ(dock.RowCount(), 1);
    EXPECT_EQ(dock.RowText(0).toStdString(), "No problems found.");
    QSignalSpy windows(&dock, &ProblemListDock::windowsActivated);
    DoubleClickRow(0);
    EXPECT_EQ(windows.count(), 0);
}

}  // namespace
}  // namespace tesselink
