// SPDX-License-Identifier: GPL-3.0-or-later
// View > Output in the editor, on the second of two offscreen screens: the output shows what
// --render makes of the document's picture, follows an edit and the lineup, keeps its place, and
// turns itself off with a message when its screen goes.
#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <random>

#include "app/action_registry.h"
#include "app/output_commands.h"
#include "document/tesselink_doc.h"
#include "stage/backdrop.h"
#include "output/output_window.h"
#include "picture/picture.h"
#include "render/render_target.h"
#include "support/isolated_settings.h"
#include "support/recording_message_boxes.h"
#include "support/test_files.h"

namespace tesselink {
namespace {

class EditorOutput : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(3);
        picture_ = settings_.FilePath("noise.png");
        ASSERT_TRUE(testing::NoisePicture(300, 200, random).save(picture_));
        map_.Head.OriginalWidth = 300;
        map_.Head.OriginalHeight = 200;
        map_.Head.TargetWidth = 400;
        map_.Head.TargetHeight = 200;
        map_.Windows = {MakeWindow(0, 0, 150, 100, 0, 0, 0), MakeWindow(150, 100, 150, 100, 250, 0, 1)};
        map_.Head.WindowCount = 2;
        backdrop_.SetBackgroundPicturePath(picture_.toStdString());
        doc_.ReplaceMap(map_);
        backdrop_.SyncBackground();
        for (int i = 0; i < QGuiApplication::screens().size(); ++i)
            if (QGuiApplication::screens()[i]->name() == QLatin1String("WALL")) wall_ = i;
        ASSERT_GE(wall_, 0) << "the test runs with two offscreen screens, DESK and WALL";
    }

    // What --render writes for the document's map and picture.
    QImage Rendered() const {
        Picture picture;
        EXPECT_TRUE(picture.Load(picture_.toStdString()));
        return RenderTarget(doc_.GetMap(), picture_.toStdString(), picture,
                            CoverModeFromOption(doc_.GetHead().CoverOption));
    }

    testing::IsolatedSettings settings_;
    testing::RecordingMessageBoxes boxes_;
    CTesselinkDoc doc_;
    Backdrop backdrop_{doc_};
    QWidget editor_;
    QString picture_;
    Map map_;
    int wall_ = -1;
};

TEST_F(EditorOutput, ShowsTheRenderedTargetAndFollowsEachEdit) {
    OutputCommands output(doc_, backdrop_, boxes_, &editor_);
    ActionRegistry registry(&editor_);
    output.Register(registry);
    ASSERT_EQ(registry.Menu("view.output"), output.Menu());
    output.SetPosition(QPoint(40, 30));
    output.TurnOn(wall_);
    ASSERT_TRUE(output.IsOn());
    OutputWindow* window = output.Window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->geometry().topLeft(), QPoint(640 + 40, 30));
    EXPECT_EQ(window->ShownTarget(), Rendered());

    // An edit shows on the output once the events are handled.
    PlaybackWindow moved = doc_.GetPlaybackWindows()[0];
    moved.TargetStartX = 100;
    ASSERT_TRUE(doc_.ChangeWindow(0, moved).Accepted());
    QCoreApplication::processEvents();
    EXPECT_EQ(window->ShownTarget(), Rendered());
    ASSERT_NE(window->ShownTarget(), QImage());

    // The lineup in place of the picture, and back.
    backdrop_.ShowLineup(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->ShownTarget(),
              RenderTargetFromPlanes(doc_.GetMap(), backdrop_.Background().Planes(), CoverMode::None));
    EXPECT_NE(window->ShownTarget(), Rendered());
    backdrop_.ShowLineup(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->ShownTarget(), Rendered());

    // Off from its menu; the menu's checked item says so.
    QAction* off = output.Menu()->findChild<QAction*>("outputOff");
    ASSERT_NE(off, nullptr);
    off->trigger();
    EXPECT_FALSE(output.IsOn());
    EXPECT_TRUE(off->isChecked());
    EXPECT_TRUE(boxes_.Shown.empty());
}

TEST_F(EditorOutput, EscapeOnTheOutputTurnsItOff) {
    OutputCommands output(doc_, backdrop_, boxes_, &editor_);
    output.TurnOn(wall_);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(output.Window()));
    QTest::keyClick(output.Window(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_FALSE(output.IsOn());
}

TEST_F(EditorOutput, AVanishedScreenTurnsTheOutputOffWithAMessage) {
    OutputCommands output(doc_, backdrop_, boxes_, &editor_);
    output.TurnOn(wall_);
    ASSERT_TRUE(output.IsOn());
    // What the platform says when a screen is unplugged.
    emit qApp->screenRemoved(QGuiApplication::screens()[wall_]);
    EXPECT_FALSE(output.IsOn());
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, "The screen WALL of the output is gone; the output is off.");
    // Another screen going leaves an output elsewhere alone.
    output.TurnOn(wall_);
    emit qApp->screenRemoved(QGuiApplication::screens()[wall_ == 0 ? 1 : 0]);
    EXPECT_TRUE(output.IsOn());
}

TEST_F(EditorOutput, RemembersTheScreenAndPosition) {
    {
        OutputCommands output(doc_, backdrop_, boxes_, &editor_);
        output.SetPosition(QPoint(12, 34));
        output.TurnOn(wall_);
    }
    OutputCommands again(doc_, backdrop_, boxes_, &editor_);
    EXPECT_EQ(again.Position(), QPoint(12, 34));
    EXPECT_FALSE(again.IsOn());
    again.Restore();
    ASSERT_TRUE(again.IsOn());
    EXPECT_EQ(again.Window()->screen()->name(), QStringLiteral("WALL"));
}

}  // namespace
}  // namespace tesselink
