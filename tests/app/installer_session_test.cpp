// SPDX-License-Identifier: GPL-3.0-or-later
// A full wall in the real main window: View > Fit and the zoom keys, a Problems row brought into
// view, and what the message pane says when the lineup hides an opened video.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/editor_session.h"
#include "app/main_frame.h"
#include "app/video_commands.h"
#include "editor/problem_list_dock.h"
#include "support/isolated_settings.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_file_dialogs.h"
#include "video/video_test_files.h"
#include "views/original_view.h"
#include "views/target_view.h"
#include "views/zoom_controller.h"

namespace tesselink {
namespace {

class InstallerSession : public ::testing::Test {
protected:
    InstallerSession() {
        session_ = std::make_unique<EditorSession>(&boxes_, &dialogs_);
        Map map;
        map.Head = MapFileHead{0, 0, 1920, 1080, 1920, 1080};
        for (int i = 0; i < 64; ++i)
            map.Windows.push_back(MakeWindow((i % 8) * 240, (i / 8) * 135, 240, 135, (i % 8) * 240, (i / 8) * 135, 0));
        // The last one twice: the Problems list names windows 64 and 65, far down on the right.
        map.Windows.push_back(map.Windows.back());
        map.Head.WindowCount = 65;
        CMainFrame& frame = session_->Frame();
        frame.resize(1280, 800);
        frame.show();
        session_->InitialUpdate();
        QCoreApplication::processEvents();
        // As an opened map: the views set their extents for it.
        session_->Doc().ReplaceMap(map);
        QCoreApplication::processEvents();
    }

    QAction* Named(const char* name) const { return session_->Frame().findChild<QAction*>(name); }
    static bool Shows(PictureScrollView& view, const ViewRect& r) {
        return r.left >= 0 && r.top >= 0 && r.right <= view.viewport()->width() &&
               r.bottom <= view.viewport()->height();
    }

    testing::IsolatedSettings settings_;
    testing::RecordingMessageBoxes boxes_;
    testing::ScriptedFileDialogs dialogs_;
    std::unique_ptr<EditorSession> session_;
};

TEST_F(InstallerSession, FitShowsTheWholeWallAndTheZoomKeysStepFromThere) {
    CTesselinkView& original = session_->OriginalView();
    CRightView& target = session_->TargetView();
    ASSERT_FALSE(Shows(target, target.DisplayRects()[63])) << "at zoom 1 the wall does not fit";
    QAction* fit = Named("viewFit");
    ASSERT_NE(fit, nullptr);
    fit->trigger();
    QCoreApplication::processEvents();
    for (PictureScrollView* view :
         {static_cast<PictureScrollView*>(&original), static_cast<PictureScrollView*>(&target)}) {
        EXPECT_TRUE(Shows(*view, view->PictureRect()));
        EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(view->verticalScrollBar()->isVisible());
        EXPECT_TRUE(Shows(*view, view->DisplayRects()[63]));
    }
    EXPECT_LT(target.ZoomObject().Factor(), 0.5f);

    // Zoom Out (Ctrl+-) and Zoom In (Ctrl++) are the standard keys, for the area the panel names.
    EXPECT_EQ(Named("viewZoomIn")->shortcuts(), QKeySequence::keyBindings(QKeySequence::ZoomIn));
    EXPECT_EQ(Named("viewZoomOut")->shortcuts(), QKeySequence::keyBindings(QKeySequence::ZoomOut));
    const float fitted = original.ZoomObject().Factor();
    session_->Zoom().SetArea(ZoomArea::Original);
    Named("viewZoomOut")->trigger();
    EXPECT_LT(original.ZoomObject().Factor(), fitted);
    EXPECT_EQ(target.ZoomObject().Factor(), fitted) << "the Target view is not in the area";
    // The File items keep their steps of a half.
    session_->Frame().Action(32782)->trigger();  // Magnification
    EXPECT_EQ(original.ZoomObject().Factor(), 0.5f);
}

TEST_F(InstallerSession, DoubleClickOnAProblemBringsItsWindowsIntoBothViews) {
    CTesselinkView& original = session_->OriginalView();
    CRightView& target = session_->TargetView();
    ASSERT_FALSE(Shows(original, original.DisplayRects()[64]));
    ASSERT_FALSE(Shows(target, target.DisplayRects()[64]));
    auto* dock = session_->Frame().findChild<ProblemListDock*>("ProblemsDock");
    ASSERT_NE(dock, nullptr);
    dock->show();
    QListWidget* list = dock->List();
    if (list->count() == 0) {
        QSignalSpy listed(dock, &ProblemListDock::listed);
        ASSERT_TRUE(listed.wait(5000));
    }
    QListWidgetItem* row = nullptr;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().contains("identical")) row = list->item(i);
    ASSERT_NE(row, nullptr);
    emit list->itemActivated(row);
    QCoreApplication::processEvents();
    EXPECT_TRUE(session_->Doc().IsSelected(63));
    EXPECT_TRUE(session_->Doc().IsSelected(64));
    EXPECT_TRUE(Shows(original, original.DisplayRects()[64]));
    EXPECT_TRUE(Shows(target, target.DisplayRects()[64]));
    EXPECT_TRUE(Shows(target, target.DisplayRects()[63]));
}

TEST_F(InstallerSession, OpeningAVideoWhileTheLineupIsShownSaysSo) {
    QTemporaryDir dir;
    const std::string video = dir.filePath("v.mkv").toStdString();
    ASSERT_EQ(test::WriteTestVideo(video, test::TestVideo(), {test::NumberedFrame(0, 64, 48)}), "");
    QLabel* pane = session_->Frame().StatusPane(0);
    ASSERT_TRUE(session_->VideoMenu().OpenVideoFile(QString::fromStdString(video)));
    EXPECT_NE(pane->text(), LineupHidesVideoText) << "no lineup, nothing hidden";
    session_->VideoMenu().CloseVideo();
    Named("viewLineup")->trigger();
    ASSERT_TRUE(session_->VideoMenu().OpenVideoFile(QString::fromStdString(video)));
    EXPECT_EQ(pane->text(), LineupHidesVideoText);
    session_->VideoMenu().CloseVideo();
}

}  // namespace
}  // namespace tesselink
