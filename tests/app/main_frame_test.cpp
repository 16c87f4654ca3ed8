// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/command_table.h"
#include "document/tesselink_doc.h"
#include "tools/draw_window_tool.h"
#include "tools/tool_manager.h"

namespace tesselink {
namespace {

QWidget* MakePane(const char* name) {
    auto* pane = new QWidget;
    pane->setObjectName(name);
    pane->setFocusPolicy(Qt::StrongFocus);
    return pane;
}

class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest() {
        editor_ = MakePane("editor");
        original_ = MakePane("original");
        target_ = MakePane("target");
        frame_.CreateClient(editor_, original_, target_);
        // The tools as the editor registers them; their buttons come with them.
        for (const int command : DrawingModeCommands()) {
            const DrawingMode mode = DrawingModeOf(command);
            if (mode.Armed != 0)
                tools_.Register(new DrawWindowTool(command, mode.MapMode, doc_, nullptr));
            else
                tools_.Register(new PickMoveTool(command, doc_, nullptr));
        }
        frame_.AddToolButtons(tools_);
    }

    // Shows the frame unmaximised with a central area of exactly w x h.
    void ShowWithClientArea(int w, int h) {
        frame_.QMainWindow::setVisible(true);
        frame_.setWindowState(Qt::WindowNoState);
        frame_.resize(w, h + 200);
        QApplication::processEvents();
        const QSize extra = frame_.size() - frame_.OuterSplitter()->size();
        frame_.resize(w + extra.width(), h + extra.height());
        QApplication::processEvents();
        ASSERT_EQ(frame_.OuterSplitter()->size(), QSize(w, h));
    }

    CTesselinkDoc doc_;
    ToolManager tools_;
    CMainFrame frame_;
    QWidget* editor_;
    QWidget* original_;
    QWidget* target_;
};

TEST_F(MainFrameTest, MenusCarryTheirItemsInOrderWithExactTexts) {
    const QList<QAction*> menus = frame_.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&View");
    EXPECT_EQ(menus[2]->text(), "&Help");
    QStringList file, view, help;
    for (QAction* a : menus[0]->menu()->actions()) file << a->text();
    for (QAction* a : menus[1]->menu()->actions()) view << a->text();
    for (QAction* a : menus[2]->menu()->actions()) help << a->text();
    EXPECT_EQ(file, (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "Open &Recent",
                                 "E&xit", "Magnification", "minify"}));
    for (QAction* a : menus[0]->menu()->actions()) EXPECT_FALSE(a->isIconVisibleInMenu()) << a->text().toStdString();
    EXPECT_EQ(view, (QStringList{"&Toolbar", "&Status Bar"}));
    EXPECT_EQ(help, (QStringList{"&About Tesselink..."}));
}

TEST_F(MainFrameTest, FileShortcuts) {
    EXPECT_EQ(frame_.Action(CommandFileNew)->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(frame_.Action(CommandFileOpen)->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(frame_.Action(CommandFileSave)->shortcut(), QKeySequence("Ctrl+S"));
}

TEST_F(MainFrameTest, ToolbarHasSixteenPositionsWithSeparatorsWhereListed) {
    const QList<QAction*> actions = frame_.ToolBar()->actions();
    ASSERT_EQ(actions.size(), 16);
    const int expected[16] = {57600, 0,     57601, 0,     57603, 0,     32782, 32784,
                              0,     32792, 32791, 32785, 32786, 32787, 32788, 32789};
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        if (expected[i] == 0) {
            EXPECT_TRUE(actions[i]->isSeparator());
        } else {
            EXPECT_EQ(actions[i]->data().toInt(), expected[i]);
            EXPECT_FALSE(actions[i]->icon().pixmap(24, 24).isNull()) << "every button is drawn";
        }
    }
}

TEST_F(MainFrameTest, DrawingModesAreOneExclusiveGroupStartingOnTheSelectButton) {
    QActionGroup* group = frame_.DrawingModeGroup();
    ASSERT_EQ(group->actions().size(), 7);
    EXPECT_TRUE(group->isExclusive());
    EXPECT_EQ(group->checkedAction(), frame_.Action(32792));
    for (QAction* a : group->actions()) {
        if (a != frame_.Action(32792)) {
            EXPECT_FALSE(a->isChecked());
        }
    }

    frame_.Action(32785)->trigger();
    EXPECT_TRUE(frame_.Action(32785)->isChecked());
    EXPECT_FALSE(frame_.Action(32792)->isChecked());
    EXPECT_EQ(tools_.ActiveTool()->Id(), 32785) << "the button activates its tool";
    tools_.ActivateById(32792);
    EXPECT_TRUE(frame_.Action(32792)->isChecked()) << "and shows the tool made active elsewhere";
}

TEST_F(MainFrameTest, StatusBarPanesMeasureThirdSixthHalfSideBySide) {
    for (const int w : {1280, 1000}) {
        SCOPED_TRACE(w);
        ShowWithClientArea(w, 700);
        const int expected[3] = {w / 3, w / 6, w / 2};
        int x = 0;
        for (int pane = 0; pane < 3; ++pane) {
            ASSERT_NE(frame_.StatusPane(pane), nullptr);
            EXPECT_EQ(frame_.StatusPane(pane)->width(), expected[pane]) << pane;
            EXPECT_EQ(frame_.StatusPane(pane)->mapTo(&frame_, QPoint(0, 0)).x(), x) << pane;
            x += expected[pane];
        }
    }
    // Laid out once, the bar stays still: no layout pass asks for the next one.
    struct LayoutRequests : QObject {
        int Count = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            Count += e->type() == QEvent::LayoutRequest;
            return false;
        }
    } requests;
    frame_.statusBar()->installEventFilter(&requests);
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    requests.Count = 0;
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    EXPECT_EQ(requests.Count, 0);
    frame_.statusBar()->removeEventFilter(&requests);

    EXPECT_EQ(frame_.StatusPane(0)->text(), "Ready");
    EXPECT_TRUE(frame_.StatusPane(1)->text().isEmpty());
    EXPECT_TRUE(frame_.StatusPane(2)->text().isEmpty());

    // A fly-by prompt takes the message pane only, and "Ready" comes back after it.
    QStatusTipEvent prompt(frame_.Action(CommandFileNew)->statusTip());
    QApplication::sendEvent(&frame_, &prompt);
    EXPECT_EQ(frame_.StatusPane(0)->text(), "Create a new document");
    EXPECT_TRUE(frame_.StatusPane(0)->isVisible());
    QStatusTipEvent idle{QString()};
    QApplication::sendEvent(&frame_, &idle);
    EXPECT_EQ(frame_.StatusPane(0)->text(), "Ready");

    frame_.SetStatusPaneText(1, "Original view: (x:1,y:2,w:3,h:4)");
    EXPECT_EQ(frame_.StatusPane(1)->text(), "Original view: (x:1,y:2,w:3,h:4)");
    frame_.SetStatusPaneText(3, "nowhere");  // no such pane: ignored
}

TEST_F(MainFrameTest, PanesStartAt450AndTwoThirdsOneThirdOfTheClientArea) {
    ShowWithClientArea(1280, 700);
    const int outerHandle = frame_.OuterSplitter()->handleWidth();
    const int innerHandle = frame_.InnerSplitter()->handleWidth();
    EXPECT_EQ(editor_->size(), QSize(450, 700));
    EXPECT_EQ(original_->size(), QSize(830 - outerHandle, 466));
    EXPECT_EQ(target_->size(), QSize(830 - outerHandle, 233 + 1 - innerHandle));
    EXPECT_EQ(original_->mapTo(&frame_, QPoint(0, 0)).x(), editor_->mapTo(&frame_, QPoint(450 + outerHandle, 0)).x());
}

TEST_F(MainFrameTest, ALaterResizeKeepsTheEditorWidthOnceTheUserMovedASplitter) {
    ShowWithClientArea(1280, 700);
    frame_.OuterSplitter()->splitterMoved(450, 1);  // as a drag reports it
    frame_.resize(frame_.width() + 200, frame_.height());
    QApplication::processEvents();
    EXPECT_EQ(editor_->width(), 450);
}

TEST_F(MainFrameTest, AlwaysComesUpMaximised) {
    frame_.showNormal();
    EXPECT_TRUE(frame_.windowState() & Qt::WindowMaximized);
    frame_.hide();
    frame_.showMinimized();
    EXPECT_TRUE(frame_.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(frame_.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(frame_.windowTitle(), "Tesselink[*]") << "the marker shows only while modified";
    EXPECT_FALSE(frame_.isWindowModified());
}

TEST_F(MainFrameTest, F6AndShiftF6MoveTheFocusRoundThePanes) {
    frame_.ActivateFrame();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame_));
    editor_->setFocus();
    QTest::keyClick(&frame_, Qt::Key_F6);
    EXPECT_TRUE(original_->hasFocus());
    QTest::keyClick(&frame_, Qt::Key_F6);
    EXPECT_TRUE(target_->hasFocus());
    QTest::keyClick(&frame_, Qt::Key_F6);
    EXPECT_TRUE(editor_->hasFocus());
    QTest::keyClick(&frame_, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(target_->hasFocus());
}

TEST_F(MainFrameTest, ViewCommandsShowAndHideTheBars) {
    frame_.ActivateFrame();
    QAction* toolbar = frame_.Action(CommandViewToolbar);
    QAction* statusBar = frame_.Action(CommandViewStatusBar);
    ASSERT_TRUE(toolbar->isCheckable());
    ASSERT_TRUE(statusBar->isCheckable());
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_TRUE(frame_.ToolBar()->isVisible());

    toolbar->trigger();
    EXPECT_FALSE(toolbar->isChecked());
    EXPECT_FALSE(frame_.ToolBar()->isVisible());
    toolbar->trigger();
    EXPECT_TRUE(frame_.ToolBar()->isVisible());

    statusBar->trigger();
    EXPECT_FALSE(frame_.statusBar()->isVisible());
    statusBar->trigger();
    EXPECT_TRUE(frame_.statusBar()->isVisible());
}

TEST_F(MainFrameTest, ExitClosesTheFrame) {
    frame_.ActivateFrame();
    frame_.Action(CommandAppExit)->trigger();
    EXPECT_FALSE(frame_.isVisible());
}

}  // namespace
}  // namespace tesselink
