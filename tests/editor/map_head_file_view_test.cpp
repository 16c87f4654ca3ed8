// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/map_head_file_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <QTest>
#include <QUndoStack>

#include "document/tesselink_doc.h"
#include "stage/backdrop.h"

namespace tesselink {
namespace {

QStringList LabelTexts(const QWidget& form) {
    QStringList texts;
    for (const QLabel* label : form.findChildren<QLabel*>()) texts << label->text();
    return texts;
}

class MapHeadFileViewTest : public ::testing::Test {
protected:
    CTesselinkDoc doc_;
    Backdrop backdrop_{doc_};
    CMapHeadFileView view_{doc_, backdrop_};
    HeadForm& head_ = view_.Head();
    WindowForm& windows_ = view_.Windows();

    QWidget* Field(std::uint16_t PlaybackWindow::*member) const { return windows_.FieldFor(member); }
};

TEST_F(MapHeadFileViewTest, FormIsFourHundredFortyPixelsWideToFitItsPane) {
    EXPECT_EQ(CMapHeadFileView::FormSize(), QSize(440, 640));
    view_.resize(450, 700);
    EXPECT_LE(view_.widget()->width(), 450);
}

TEST_F(MapHeadFileViewTest, LabelsAndGroupsAreSpelledAsTheProgramShowsThem) {
    const QStringList labels = LabelTexts(*view_.widget());
    for (const char* text : {"Original width", "Original heigh", "Target width", "Target height", "BackGround Piture",
                             "Enlarged area:", "Originnla StartX", "Originnla StartY", "Target SatrtX", "Target SatrtY",
                             "With", "Heigh", "Map Mode"})
        EXPECT_TRUE(labels.contains(text)) << text;
    QStringList groups;
    for (const QGroupBox* g : view_.widget()->findChildren<QGroupBox*>()) groups << g->title();
    groups.sort();
    EXPECT_EQ(groups, (QStringList{"Map File Head", "Zoom"}));
    EXPECT_EQ(head_.BrowseButton()->text(), "......");
    EXPECT_EQ(head_.ApplyHeadButton()->text(), "OK");
    EXPECT_EQ(head_.CoverFullScreenCheck()->text(), "Covered with full screen");
    EXPECT_EQ(head_.CoverSameDirectionRadio()->text(), "Covered with same direction");
    EXPECT_EQ(head_.CoverDifferentDirectionRadio()->text(), "Covered with different direction");
    EXPECT_EQ(head_.ZoomAreaRadio(ZoomArea::All)->text(), "All area");
    EXPECT_EQ(head_.ZoomAreaRadio(ZoomArea::Original)->text(), "Origina area");
    EXPECT_EQ(head_.ZoomAreaRadio(ZoomArea::Target)->text(), "Target area");
    EXPECT_EQ(windows_.AddButton()->text(), "Add");
    EXPECT_EQ(windows_.DeleteButton()->text(), "Delete");
}

TEST_F(MapHeadFileViewTest, EveryCaptionIsShownWhole) {
    for (const QLabel* label : view_.widget()->findChildren<QLabel*>())
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << label->text().toStdString();
    for (const QAbstractButton* button : view_.widget()->findChildren<QAbstractButton*>()) {
        if (qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button)) {
            EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
        }
    }
}

TEST_F(MapHeadFileViewTest, StartsWithTheDefaultSizesAndTheCoverRadiosDisabled) {
    EXPECT_EQ(head_.OriginalWidthEdit()->text(), "640");
    EXPECT_EQ(head_.OriginalHeightEdit()->text(), "480");
    EXPECT_EQ(head_.TargetWidthEdit()->text(), "640");
    EXPECT_EQ(head_.TargetHeightEdit()->text(), "480");
    EXPECT_TRUE(head_.PicturePathEdit()->isReadOnly());
    EXPECT_FALSE(head_.CoverFullScreenCheck()->isChecked());
    EXPECT_FALSE(head_.CoverSameDirectionRadio()->isEnabled());
    EXPECT_FALSE(head_.CoverDifferentDirectionRadio()->isEnabled());
}

TEST_F(MapHeadFileViewTest, SizeFieldsTakeDigitsAndArithmeticOnly) {
    QLineEdit* edit = head_.OriginalWidthEdit();
    edit->clear();
    edit->setFocus();
    for (QChar c : QString("12a-3x,(4)")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
    EXPECT_EQ(edit->text(), "12-3(4)");
}

TEST_F(MapHeadFileViewTest, TabVisitsTheFieldsInTheFormsOrder) {
    const QList<QWidget*> expected = {head_.OriginalWidthEdit(),
                                      head_.OriginalHeightEdit(),
                                      head_.TargetWidthEdit(),
                                      head_.TargetHeightEdit(),
                                      Field(&PlaybackWindow::OriginalStartX),
                                      Field(&PlaybackWindow::OriginalStartY),
                                      Field(&PlaybackWindow::TargetStartX),
                                      Field(&PlaybackWindow::TargetStartY),
                                      Field(&PlaybackWindow::Width),
                                      Field(&PlaybackWindow::Height),
                                      windows_.MapModeBox(),
                                      windows_.WindowList(),
                                      windows_.AddButton(),
                                      windows_.DeleteButton(),
                                      head_.PicturePathEdit(),
                                      head_.BrowseButton(),
                                      head_.ApplyHeadButton(),
                                      head_.CoverFullScreenCheck()};
    for (int i = 0; i + 1 < expected.size(); ++i) {
        QWidget* next = expected[i]->nextInFocusChain();
        // Widgets that take no tab focus (labels, radios) may sit between two stops.
        while (next != expected[i + 1] && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        EXPECT_EQ(next, expected[i + 1]) << "after stop " << i;
    }
    EXPECT_FALSE(head_.ZoomAreaRadio(ZoomArea::All)->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(head_.CoverSameDirectionRadio()->focusPolicy() & Qt::TabFocus);
}

TEST_F(MapHeadFileViewTest, AnOpenedMapShowsItsCoverOptionSizesAndWindows) {
    head_.ProposePicturePath("/pictures/wall.png");
    Map opened;
    opened.Head.CoverOption = CoverFullScreen | CoverDifferentDirection;
    opened.Head.OriginalWidth = 1920;
    opened.Head.OriginalHeight = 1080;
    opened.Head.TargetWidth = 65535;
    opened.Head.TargetHeight = 7;
    opened.Windows = {MakeWindow(1, 2, 3, 4, 5, 6, 4)};
    doc_.ReplaceMap(opened);

    EXPECT_TRUE(head_.CoverFullScreenCheck()->isChecked());
    EXPECT_TRUE(head_.CoverDifferentDirectionRadio()->isEnabled());
    EXPECT_TRUE(head_.CoverDifferentDirectionRadio()->isChecked());
    EXPECT_FALSE(doc_.IsModified()) << "showing the map changes nothing in it";
    EXPECT_EQ(head_.OriginalWidthEdit()->text(), "1920");
    EXPECT_EQ(head_.OriginalHeightEdit()->text(), "1080");
    EXPECT_EQ(head_.TargetWidthEdit()->text(), "65535");
    EXPECT_EQ(head_.TargetHeightEdit()->text(), "7");
    EXPECT_EQ(head_.PicturePathEdit()->text(), "/pictures/wall.png") << "the proposed path waits for OK";

    EXPECT_TRUE(head_.ZoomAreaRadio(ZoomArea::All)->isChecked());
    QTableWidget* list = windows_.WindowList();
    ASSERT_EQ(list->columnCount(), 5);
    EXPECT_EQ(list->horizontalHeaderItem(2)->text(), "initial position ");
    EXPECT_EQ(list->columnWidth(4), 115);
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(list->item(0, 1)->text(), "Level mirror");
    EXPECT_EQ(list->item(0, 0)->textAlignment(), int(Qt::AlignCenter));
    QStringList modes;
    for (int i = 0; i < windows_.MapModeBox()->count(); ++i) modes << windows_.MapModeBox()->itemText(i);
    EXPECT_EQ(modes, (QStringList{"Copy", "Clockwise rotaion 90", "AntiClockwise rotaion 90", "Vertical mirror",
                                  "Level mirror", "Rotatoin 180"}));
    EXPECT_EQ(windows_.MapModeBox()->currentIndex(), 0);
}

TEST_F(MapHeadFileViewTest, TheHeadFieldsFollowAHeadChangeAndItsUndo) {
    MapFileHead sizes = doc_.GetHead();
    sizes.OriginalWidth = 320;
    sizes.TargetHeight = 200;
    doc_.ChangeHead(sizes, {});
    EXPECT_EQ(head_.OriginalWidthEdit()->text(), "320");
    EXPECT_EQ(head_.TargetHeightEdit()->text(), "200");
    doc_.UndoStack().undo();
    EXPECT_EQ(head_.OriginalWidthEdit()->text(), "640");
    EXPECT_EQ(head_.TargetHeightEdit()->text(), "480");
}

TEST_F(MapHeadFileViewTest, TheCoverButtonsFollowTheMapsCoverOption) {
    doc_.SetCoverOption(CoverFullScreen);
    EXPECT_TRUE(head_.CoverFullScreenCheck()->isChecked());
    EXPECT_TRUE(head_.CoverSameDirectionRadio()->isEnabled());
    EXPECT_TRUE(head_.CoverSameDirectionRadio()->isChecked());
    EXPECT_FALSE(head_.CoverDifferentDirectionRadio()->isChecked());

    doc_.SetCoverOption(CoverFullScreen | CoverDifferentDirection);
    EXPECT_TRUE(head_.CoverDifferentDirectionRadio()->isChecked());
    EXPECT_FALSE(head_.CoverSameDirectionRadio()->isChecked());

    // The other direction without the full screen: disabled, but still checked.
    doc_.SetCoverOption(CoverDifferentDirection);
    EXPECT_FALSE(head_.CoverFullScreenCheck()->isChecked());
    EXPECT_FALSE(head_.CoverDifferentDirectionRadio()->isEnabled());
    EXPECT_TRUE(head_.CoverDifferentDirectionRadio()->isChecked());
}

TEST_F(MapHeadFileViewTest, TheListFollowsEveryEditAndItsUndo) {
    doc_.AddWindow(MakeWindow(0, 0, 8, 8, 0, 0, 0));
    doc_.AddWindow(MakeWindow(10, 20, 30, 40, 50, 60, 2));
    doc_.AddWindow(MakeWindow(1, 1, 1, 1, 1, 1, 5));
    QTableWidget* list = windows_.WindowList();
    ASSERT_EQ(list->rowCount(), 3);

    doc_.RemoveWindow(1);
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(1, 0)->text(), "2");
    EXPECT_EQ(list->item(1, 1)->text(), "Rotatoin 180");
    EXPECT_EQ(list->item(0, 3)->text(), "(8,8)");
    ASSERT_EQ(list->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(list->selectionModel()->selectedRows()[0].row(), 1) << "the window that followed is picked";

    doc_.UndoStack().undo();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(1, 4)->text(), "(50,60)");
    EXPECT_EQ(list->selectionModel()->selectedRows()[0].row(), 1) << "the restored window is picked";
}

TEST_F(MapHeadFileViewTest, CoverButtonsChangeTheMapAsOneUndoableStepEach) {
    QTest::mouseClick(head_.CoverFullScreenCheck(), Qt::LeftButton);
    EXPECT_EQ(doc_.GetHead().CoverOption, CoverFullScreen);
    QTest::mouseClick(head_.CoverDifferentDirectionRadio(), Qt::LeftButton);
    EXPECT_EQ(doc_.GetHead().CoverOption, CoverFullScreen | CoverDifferentDirection);
    QTest::mouseClick(head_.CoverFullScreenCheck(), Qt::LeftButton);
    EXPECT_EQ(doc_.GetHead().CoverOption, CoverDifferentDirection) << "the direction is kept while off";
    EXPECT_FALSE(head_.CoverDifferentDirectionRadio()->isEnabled());

    doc_.UndoStack().undo();
    EXPECT_EQ(doc_.GetHead().CoverOption, CoverFullScreen | CoverDifferentDirection);
    EXPECT_TRUE(head_.CoverFullScreenCheck()->isChecked()) << "the buttons follow the undo";
    EXPECT_EQ(doc_.UndoStack().undoText(), "Cover in the different direction");
}

// Pixels of the focus colour along the left edge of a widget's picture.
int FocusFramePixels(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < 2; ++x) n += (image.pixel(x, y) & 0xFFFFFFu) == FocusFrameColour;
    return n;
}

}  // namespace

TEST_F(MapHeadFileViewTest, TheFocusedButtonHasAThickColouredFrame) {
    view_.resize(500, 700);
    view_.show();
    view_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
    for (QPushButton* button : {head_.ApplyHeadButton(), head_.BrowseButton(), windows_.AddButton()}) {
        head_.OriginalWidthEdit()->setFocus();
        EXPECT_EQ(FocusFramePixels(button), 0) << "without the focus";
        button->setFocus();
        ASSERT_TRUE(button->hasFocus());
        EXPECT_GE(FocusFramePixels(button), button->height()) << "two columns, most of the height";
    }
}

}  // namespace tesselink
