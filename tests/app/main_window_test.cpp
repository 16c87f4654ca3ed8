// SPDX-License-Identifier: GPL-3.0-or-later
// The whole editor offscreen: a map from examples/ opened at start-up with the default
// picture, checked on the pixels the window really shows.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QCheckBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/app_settings.h"
#include "app/editor_session.h"
#include "app/main_frame.h"
#include "editor/map_head_file_view.h"
#include "support/isolated_settings.h"
#include "support/source_tree.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace tesselink {
namespace {

using testing::SourcePath;

QColor Rgb(int r, int g, int b) { return QColor(r, g, b); }
QColor FromColourRef(std::uint32_t bgr) { return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff); }

::testing::AssertionResult Near(const QColor& actual, const QColor& expected, int tolerance) {
    if (std::abs(actual.red() - expected.red()) <= tolerance &&
        std::abs(actual.green() - expected.green()) <= tolerance &&
        std::abs(actual.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { session_ = std::make_unique<EditorSession>(); }

    // Shows the frame at a fixed size (offscreen screens are small) and grabs it.
    QImage ShowAndGrab(const char* name) {
        CMainFrame& frame = session_->Frame();
        frame.QMainWindow::setVisible(true);
        frame.setWindowState(Qt::WindowNoState);
        frame.resize(1280, 800);
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        QImage shot = frame.grab().toImage();
        if (const QByteArray dir = qgetenv("TESSELINK_SHOT_DIR"); !dir.isEmpty()) shot.save(dir + "/" + name + ".png");
        return shot;
    }

    QColor PixelOf(const QImage& shot, QWidget* widget, int x, int y) {
        return shot.pixelColor(widget->mapTo(&session_->Frame(), QPoint(x, y)));
    }

    QColor PlanePixel(int x, int y) {
        const ColourPlanes& planes = session_->Stage().Background().Planes();
        const std::size_t i = static_cast<std::size_t>(y) * planes.Width() + x;
        return QColor(planes.Red()[i], planes.Green()[i], planes.Blue()[i]);
    }

    testing::IsolatedSettings settings_;
    std::unique_ptr<EditorSession> session_;
};

TEST_F(MainWindowTest, AMapOnTheCommandLineIsDrawnInBothViews) {
    ASSERT_TRUE(QFileInfo(SourcePath("res/tesselink.jpg")).isFile());
    ASSERT_TRUE(session_->OpenStartupMap(SourcePath("examples/cover_block.map")));
    EXPECT_TRUE(session_->Doc().MapFilePath().empty()) << "a start-up map leaves the path to Save As";
    ASSERT_EQ(session_->Doc().GetPlaybackWindows().size(), 2u);
    session_->InitialUpdate();
    EXPECT_EQ(session_->Doc().GetHead().CoverOption, CoverFullScreen) << "the map's cover option is kept";
    EXPECT_TRUE(session_->Editor().Head().CoverFullScreenCheck()->isChecked());
    EXPECT_EQ(session_->Editor().Windows().WindowList()->rowCount(), 2);

    const QImage shot = ShowAndGrab("main_window_cover_block");
    ASSERT_TRUE(session_->Stage().Background().Planes().IsPresent());
    CTesselinkView& original = session_->OriginalView();
    CRightView& target = session_->TargetView();
    QWidget* originalPort = original.viewport();
    QWidget* targetPort = target.viewport();

    // Mint background around the pictures.
    EXPECT_TRUE(Near(PixelOf(shot, originalPort, 2, 2), Rgb(199, 237, 208), 0));
    EXPECT_TRUE(Near(PixelOf(shot, targetPort, 2, 2), Rgb(199, 237, 208), 0));

    // The Original view shows the default picture as the original area.
    const ViewRect op = original.PictureRect();
    EXPECT_TRUE(Near(PixelOf(shot, originalPort, op.left + 245, op.top + 65), PlanePixel(245, 65), 3));

    // Window 1 (80, 0, 80 x 144) is outlined one pixel inside in its own colour, in both views.
    const QColor outline = FromColourRef(CTesselinkDoc::WindowColour(1));
    EXPECT_TRUE(Near(PixelOf(shot, originalPort, op.left + 80, op.top + 60), outline, 0));
    const ViewRect tp = target.PictureRect();
    EXPECT_TRUE(Near(PixelOf(shot, targetPort, tp.left + 159, tp.top + 60), outline, 0));

    // The map's cover repeats the block: target (410, 40) lies in tile column 2, in window 1
    // turned half round, from original (320 + 80 + 79 - 10, 143 - 40).
    ASSERT_LT(tp.top + 40, targetPort->height());
    EXPECT_TRUE(Near(PixelOf(shot, targetPort, tp.left + 410, tp.top + 40), PlanePixel(469, 103), 2));

    // Window 0 is copied: target (30, 40) is original (30, 40).
    EXPECT_TRUE(Near(PixelOf(shot, targetPort, tp.left + 30, tp.top + 40), PlanePixel(30, 40), 2));
    // Window 1 is turned half round: target (80 + 10, 20) is original (80 + 79 - 10, 143 - 20).
    EXPECT_TRUE(Near(PixelOf(shot, targetPort, tp.left + 90, tp.top + 20), PlanePixel(149, 123), 2));
    EXPECT_TRUE(Near(PixelOf(shot, targetPort, tp.left + 150, tp.top + 100), PlanePixel(89, 43), 2));

    // The editor panel keeps its 450 pixels.
    EXPECT_EQ(session_->Editor().width(), 450);
}

TEST_F(MainWindowTest, WithoutAMapTheDefaultPictureBesideTheProgramIsShownAndTheListIsEmpty) {
    session_->InitialUpdate();
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath("tesselink.jpg");
    EXPECT_EQ(session_->Stage().BackgroundPicturePath(), beside.toStdString());
    EXPECT_EQ(session_->Editor().Head().PicturePathEdit()->text(), beside);
    const QImage shot = ShowAndGrab("main_window_default");
    const ViewRect op = session_->OriginalView().PictureRect();
    ASSERT_TRUE(session_->Stage().Background().Planes().IsPresent());
    EXPECT_TRUE(
        Near(PixelOf(shot, session_->OriginalView().viewport(), op.left + 100, op.top + 100), PlanePixel(100, 100), 3));
    EXPECT_EQ(session_->Frame().StatusPane(0)->text(), "Ready");
    EXPECT_TRUE(session_->Frame().StatusPane(1)->text().isEmpty());
    EXPECT_TRUE(session_->Frame().StatusPane(2)->text().isEmpty());
    // The first extent follows the laid-out frame, not the viewport before layout.
    EXPECT_EQ(session_->OriginalView().ScrollExtent(), QSize(session_->OriginalView().viewport()->width() - 100, 1000));
}

TEST_F(MainWindowTest, AMapThatCannotBeOpenedIsReportedAndNotRemembered) {
    QString shownText;
    QTimer::singleShot(0, [&shownText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_FALSE(session_->OpenStartupMap(settings_.FilePath("missing.map")));
    EXPECT_TRUE(shownText.contains("missing.map")) << shownText.toStdString();
    EXPECT_TRUE(session_->RecentFiles().Files().isEmpty());
}

TEST_F(MainWindowTest, AnOpenedMapJoinsTheRecentFiles) {
    ASSERT_TRUE(session_->OpenStartupMap(SourcePath("examples/wall_2x2.map")));
    QSettings settings;
    EXPECT_EQ(settings.value("Recent File List/File1").toString(),
              QFileInfo(SourcePath("examples/wall_2x2.map")).canonicalFilePath());
}

TEST_F(MainWindowTest, F6ReachesEachRealPane) {
    session_->InitialUpdate();
    CMainFrame& frame = session_->Frame();
    frame.ActivateFrame();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    session_->Editor().setFocus();
    EXPECT_TRUE(session_->Editor().Head().OriginalWidthEdit()->hasFocus()) << "the form's first field takes the focus";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_TRUE(session_->OriginalView().hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_TRUE(session_->TargetView().hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(session_->OriginalView().hasFocus());
}

TEST_F(MainWindowTest, EachPaneOwnsItsBoxes) {
    QtMessageBoxes& boxes = session_->Boxes();
    EXPECT_EQ(boxes.OwnerWidget(ApplicationMessage("x")), &session_->Frame());
    EXPECT_EQ(boxes.OwnerWidget(PlainMessage("", "x", MessageOwner::OriginalView)), &session_->OriginalView());
    EXPECT_EQ(boxes.OwnerWidget(PlainMessage("", "x", MessageOwner::TargetView)), &session_->TargetView());
    EXPECT_EQ(boxes.OwnerWidget(PlainMessage("", "x", MessageOwner::EditorPanel)), &session_->Editor());
}

}  // namespace
}  // namespace tesselink
