// SPDX-License-Identifier: GPL-3.0-or-later
// Shows in the editor, on two offscreen screens (DESK and WALL): File > Open Show... refuses a
// broken show with its reason, lists a good one's maps and opens the one picked as File > Open
// does; View > Output > Show's Outputs puts every output at its place, each what --render makes
// of its map over the document's picture, the edited one following the document.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

#include <random>

#include "app/action_registry.h"
#include "app/document_commands.h"
#include "app/main_frame.h"
#include "app/editor_session.h"
#include "app/output_commands.h"
#include "app/show_commands.h"
#include "app/show_map_list.h"
#include "app/show_outputs.h"
#include "map/map_file.h"
#include "output/output_window.h"
#include "render/render_target.h"
#include "support/isolated_settings.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_file_dialogs.h"
#include "support/test_files.h"

namespace tesselink {
namespace {

Map MapOf(int targetWidth, int targetHeight, PlaybackWindows windows) {
    Map map;
    map.Head.OriginalWidth = 300;
    map.Head.OriginalHeight = 200;
    map.Head.TargetWidth = targetWidth;
    map.Head.TargetHeight = targetHeight;
    map.Windows = std::move(windows);
    map.Head.WindowCount = static_cast<int>(map.Windows.size());
    return map;
}

class EditorShow : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(5);
        const QString picture = settings_.FilePath("noise.png");
        ASSERT_TRUE(testing::NoisePicture(300, 200, random).save(picture));
        wide_ = MapOf(400, 200, {MakeWindow(0, 0, 150, 100, 0, 0, 0), MakeWindow(150, 100, 150, 100, 250, 0, 1)});
        small_ = MapOf(200, 100, {MakeWindow(0, 100, 100, 100, 0, 0, 2), MakeWindow(200, 0, 100, 100, 100, 0, 0)});
        ASSERT_TRUE(WriteMapFile(wide_, Path("wide.map")));
        ASSERT_TRUE(WriteMapFile(small_, Path("small.map")));
        session_ = std::make_unique<EditorSession>(&boxes_, &dialogs_);
        session_->Stage().SetBackgroundPicturePath(picture.toStdString());
        session_->Stage().SyncBackground();
    }

    std::string Path(const char* name) const { return settings_.FilePath(name).toStdString(); }
    std::string WriteShow(const char* name, const char* json) const {
        QFile file(QString::fromStdString(Path(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        return Path(name);
    }
    // Wide on WALL, small on DESK below the editor's corner, a third on a screen that is not there.
    std::string GoodShow() const {
        return WriteShow("wall.show", R"({"source": {"lineup": true}, "outputs": [
            {"map": "wide.map", "screen": "WALL", "name": "left"},
            {"map": "small.map", "at": [100, 300], "name": "low"},
            {"map": "small.map", "screen": 3, "name": "far"}]})");
    }
    bool OpenShow(const std::string& path) {
        dialogs_.Answers.push_back(path);
        session_->Frame().Registry().Action("fileOpenShow")->trigger();
        return session_->Shows().Current() != nullptr;
    }
    QImage Expected(const Map& map) const {
        return RenderTargetFromPlanes(map, session_->Stage().Background().Planes(),
                                      CoverModeFromOption(map.Head.CoverOption));
    }

    testing::IsolatedSettings settings_;
    testing::RecordingMessageBoxes boxes_;
    testing::ScriptedFileDialogs dialogs_;
    std::unique_ptr<EditorSession> session_;
    Map wide_;
    Map small_;
};

TEST_F(EditorShow, ABrokenShowIsRefusedWithItsReasonAndTheOpenShowStays) {
    ASSERT_FALSE(OpenShow(WriteShow("bad.show", "{\"source\": ")));
    ASSERT_EQ(dialogs_.Requests.size(), 1u);
    EXPECT_EQ(dialogs_.Requests[0].Request.Filter, "Shows (*.show)");
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Kind, MessageBoxKind::Application);
    EXPECT_NE(boxes_.Shown[0].Text.find("Cannot open the show " + Path("bad.show")), std::string::npos);
    EXPECT_EQ(session_->Shows().List(), nullptr) << "nothing listed";
    QAction* showItem = session_->Output().Menu()->findChild<QAction*>("outputShow");
    ASSERT_NE(showItem, nullptr);
    EXPECT_FALSE(showItem->isEnabled());

    ASSERT_TRUE(OpenShow(GoodShow()));
    EXPECT_TRUE(showItem->isEnabled());
    // A show whose map is missing: its place in the file is told, the good show stays open.
    boxes_.Shown.clear();
    OpenShow(WriteShow("gap.show", R"({"source": {"lineup": true}, "outputs": [
        {"map": "wide.map", "screen": 1}, {"map": "none.map", "screen": 2}]})"));
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_NE(boxes_.Shown[0].Text.find("outputs[1].map"), std::string::npos) << boxes_.Shown[0].Text;
    ASSERT_NE(session_->Shows().Current(), nullptr);
    EXPECT_EQ(session_->Shows().Current()->Outputs.size(), 3u);
    EXPECT_EQ(session_->Shows().List()->Rows()->topLevelItemCount(), 3);
    EXPECT_TRUE(showItem->isEnabled());

    // Cancelling the dialog changes nothing either.
    boxes_.Shown.clear();
    session_->Frame().Registry().Action("fileOpenShow")->trigger();
    EXPECT_TRUE(boxes_.Shown.empty());
    EXPECT_EQ(session_->Shows().Current()->Outputs.size(), 3u);
}

TEST_F(EditorShow, ARowOfTheListOpensItsMapAsFileOpenDoes) {
    ASSERT_TRUE(OpenShow(GoodShow()));
    ShowMapList* list = session_->Shows().List();
    ASSERT_NE(list, nullptr);
    QTreeWidget* rows = list->Rows();
    ASSERT_EQ(rows->topLevelItemCount(), 3);
    EXPECT_EQ(rows->topLevelItem(0)->text(0), "left");
    EXPECT_EQ(rows->topLevelItem(0)->text(2), "screen WALL");
    EXPECT_EQ(rows->topLevelItem(1)->text(2), "at 100, 300");

    // Enter on the second row: the small map is the document now.
    rows->setCurrentItem(rows->topLevelItem(1));
    QTest::keyClick(rows, Qt::Key_Return);
    CTesselinkDoc& doc = session_->Doc();
    EXPECT_EQ(doc.MapFilePath(), Path("small.map"));
    EXPECT_EQ(doc.GetPlaybackWindows().size(), 2u);
    EXPECT_EQ(doc.GetHead().TargetWidth, 200);
    EXPECT_TRUE(boxes_.Shown.empty());

    // With unsaved changes the question comes first; Cancel keeps the edited map.
    ASSERT_TRUE(doc.RemoveWindow(0));
    boxes_.Answers = {MessageAnswer::Cancel};
    rows->setCurrentItem(rows->topLevelItem(0));
    QTest::keyClick(rows, Qt::Key_Return);
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, SaveChangesQuestion);
    EXPECT_EQ(doc.MapFilePath(), Path("small.map"));
    EXPECT_EQ(doc.GetPlaybackWindows().size(), 1u);
    // No: the changes go, the wide map opens.
    boxes_.Answers = {MessageAnswer::No};
    QTest::keyClick(rows, Qt::Key_Return);
    EXPECT_EQ(doc.MapFilePath(), Path("wide.map"));
    EXPECT_EQ(doc.GetHead().TargetWidth, 400);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(EditorShow, TheShowsOutputsEachShowTheirMapAndTheEditedOneFollows) {
    ASSERT_TRUE(OpenShow(GoodShow()));
    ASSERT_TRUE(session_->Commands().OpenMapFile(QString::fromStdString(Path("wide.map"))));
    CTesselinkDoc& doc = session_->Doc();
    session_->Stage().SyncBackground();
    ASSERT_TRUE(session_->Stage().Background().Planes().IsPresent());
    QString status;
    OutputCommands& output = session_->Output();
    QObject::connect(&output, &OutputCommands::statusMessage, [&status](const QString& text) { status = text; });

    QAction* showItem = output.Menu()->findChild<QAction*>("outputShow");
    ASSERT_NE(showItem, nullptr);
    showItem->trigger();
    ASSERT_TRUE(output.ShowIsOn());
    EXPECT_TRUE(showItem->isChecked());
    ShowOutputs& outputs = output.ShowWindows();
    EXPECT_EQ(outputs.EditedOutput(), 0);
    OutputWindow* left = outputs.Window(0);
    OutputWindow* low = outputs.Window(1);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(low, nullptr);
    EXPECT_EQ(outputs.Window(2), nullptr) << "screen 3 is not there";
    EXPECT_NE(status.indexOf("2 of the show's 3 outputs on"), -1) << status.toStdString();
    EXPECT_NE(status.indexOf("Output far skipped"), -1) << status.toStdString();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(left));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(low));
    EXPECT_EQ(left->geometry(), QRect(640, 0, 400, 200));
    EXPECT_EQ(left->screen()->name(), "WALL");
    EXPECT_EQ(low->geometry(), QRect(100, 300, 200, 100));
    EXPECT_EQ(left->ShownTarget(), Expected(wide_));
    EXPECT_EQ(low->ShownTarget(), Expected(small_));
    ASSERT_FALSE(left->ShownTarget().isNull());

    // An edit of the wide map shows on its output only.
    PlaybackWindow moved = doc.GetPlaybackWindows()[0];
    moved.TargetStartX = 90;
    ASSERT_TRUE(doc.ChangeWindow(0, moved).Accepted());
    QCoreApplication::processEvents();
    EXPECT_EQ(left->ShownTarget(), Expected(doc.GetMap()));
    EXPECT_NE(left->ShownTarget(), Expected(wide_));
    EXPECT_EQ(low->ShownTarget(), Expected(small_));
    // The lineup in place of the picture reaches every output.
    session_->Stage().ShowLineup(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(low->ShownTarget(), Expected(small_));
    EXPECT_EQ(left->ShownTarget(), Expected(doc.GetMap()));
    session_->Stage().ShowLineup(false);

    // One screen going turns its output off; the other goes on.
    emit qApp->screenRemoved(left->screen());
    EXPECT_EQ(outputs.Window(0), nullptr);
    EXPECT_EQ(outputs.Window(1), low);
    EXPECT_NE(status.indexOf("Output left off: its screen WALL is gone"), -1) << status.toStdString();
    EXPECT_TRUE(output.ShowIsOn());
}

TEST_F(EditorShow, ASingleScreenOffOrEscapeClosesTheShowsOutputs) {
    ASSERT_TRUE(OpenShow(GoodShow()));
    OutputCommands& output = session_->Output();
    ASSERT_TRUE(output.TurnOnShow());
    EXPECT_EQ(output.ShowWindows().EditedOutput(), -1) << "the document is no map of the show";
    output.TurnOn(0);
    EXPECT_FALSE(output.ShowIsOn());
    EXPECT_EQ(output.ShowWindows().Window(0), nullptr);
    EXPECT_TRUE(output.IsOn());
    // And the show's outputs close the single one.
    ASSERT_TRUE(output.TurnOnShow());
    EXPECT_FALSE(output.IsOn());
    QAction* off = output.Menu()->findChild<QAction*>("outputOff");
    ASSERT_NE(off, nullptr);
    EXPECT_FALSE(off->isChecked());
    off->trigger();
    EXPECT_FALSE(output.ShowIsOn());
    EXPECT_TRUE(off->isChecked());
    // Escape on one of them closes them all.
    ASSERT_TRUE(output.TurnOnShow());
    OutputWindow* low = output.ShowWindows().Window(1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(low));
    QTest::keyClick(low, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_FALSE(output.ShowIsOn());
    EXPECT_EQ(output.ShowWindows().Window(0), nullptr);
    EXPECT_TRUE(off->isChecked());
}

}  // namespace
}  // namespace tesselink
