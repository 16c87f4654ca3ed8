#include "editor/map_head_file_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QTest>
#include <QUndoStack>

#include "document/tesselink_doc.h"
#include "support/document_setup.h"

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
    CMapHeadFileView view_{doc_};
};

TEST_F(MapHeadFileViewTest, RegistersByItsRoleAndGoesAwayCleanly) {
    EXPECT_EQ(doc_.GetHeadFileView(), static_cast<HeadFileViewPane*>(&view_));
    {
        CTesselinkDoc doc;
        { CMapHeadFileView transient(doc); }
        EXPECT_EQ(doc.GetHeadFileView(), nullptr);
    }
}

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
    EXPECT_EQ(view_.BrowseButton()->text(), "......");
    EXPECT_EQ(view_.ApplyHeadButton()->text(), "OK");
    EXPECT_EQ(view_.CoverFullScreenCheck()->text(), "Covered with full screen");
    EXPECT_EQ(view_.CoverSameDirectionRadio()->text(), "Covered with same direction");
    EXPECT_EQ(view_.CoverDifferentDirectionRadio()->text(), "Covered with different direction");
    EXPECT_EQ(view_.ZoomAreaRadio(0)->text(), "All area");
    EXPECT_EQ(view_.ZoomAreaRadio(1)->text(), "Origina area");
    EXPECT_EQ(view_.ZoomAreaRadio(2)->text(), "Target area");
    EXPECT_EQ(view_.AddButton()->text(), "Add");
    EXPECT_EQ(view_.DeleteButton()->text(), "Delete");
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
    EXPECT_EQ(view_.OriginalWidthEdit()->text(), "640");
    EXPECT_EQ(view_.OriginalHeightEdit()->text(), "480");
    EXPECT_EQ(view_.TargetWidthEdit()->text(), "640");
    EXPECT_EQ(view_.TargetHeightEdit()->text(), "480");
    EXPECT_TRUE(view_.PicturePathEdit()->isReadOnly());
    EXPECT_FALSE(view_.CoverFullScreenCheck()->isChecked());
    EXPECT_FALSE(view_.CoverSameDirectionRadio()->isEnabled());
    EXPECT_FALSE(view_.CoverDifferentDirectionRadio()->isEnabled());
}

TEST_F(MapHeadFileViewTest, SizeFieldsTakeDigitsOnly) {
    QLineEdit* edit = view_.OriginalWidthEdit();
    edit->clear();
    edit->setFocus();
    for (QChar c : QString("12a-3")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
    EXPECT_EQ(edit->text(), "123");
}

TEST_F(MapHeadFileViewTest, TabVisitsTheFieldsInTheFormsOrder) {
    const QList<QWidget*> expected = {view_.OriginalWidthEdit(), view_.OriginalHeightEdit(), view_.TargetWidthEdit(),
                                      view_.TargetHeightEdit(), view_.OriginalStartXEdit(), view_.OriginalStartYEdit(),
                                      view_.TargetStartXEdit(), view_.TargetStartYEdit(), view_.WidthEdit(),
                                      view_.HeightEdit(), view_.MapModeBox(), view_.WindowList(), view_.AddButton(),
                                      view_.DeleteButton(), view_.PicturePathEdit(), view_.BrowseButton(),
                                      view_.ApplyHeadButton(), view_.CoverFullScreenCheck()};
    for (int i = 0; i + 1 < expected.size(); ++i) {
        QWidget* next = expected[i]->nextInFocusChain();
        // Widgets that take no tab focus (labels, radios) may sit between two stops.
        while (next != expected[i + 1] && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        EXPECT_EQ(next, expected[i + 1]) << "after stop " << i;
    }
    EXPECT_FALSE(view_.ZoomAreaRadio(0)->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(view_.CoverSameDirectionRadio()->focusPolicy() & Qt::TabFocus);
}

TEST_F(MapHeadFileViewTest, FirstUpdateSetsUpTheListTheModesAndTheCoverDefaults) {
    QTemporaryDir dir;
    QFile picture(dir.filePath("tesselink.jpg"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    view_.SetDefaultPictureFolders({dir.path()});
    // As a map opened at start-up leaves the document.
    Map opened;
    opened.Head.CoverOption = CoverFullScreen | CoverDifferentDirection;
    opened.Windows = {MakeWindow(1, 2, 3, 4, 5, 6, 4)};
    doc_.ReplaceMap(opened);

    view_.OnInitialUpdate();

    // The map's cover option survives the first update, and the buttons show it.
    EXPECT_EQ(doc_.GetHead().CoverOption, CoverFullScreen | CoverDifferentDirection);
    EXPECT_TRUE(view_.CoverFullScreenCheck()->isChecked());
    EXPECT_TRUE(view_.CoverDifferentDirectionRadio()->isEnabled());
    EXPECT_TRUE(view_.CoverDifferentDirectionRadio()->isChecked());
    EXPECT_FALSE(doc_.IsModified());

    EXPECT_EQ(view_.PicturePathEdit()->text(), dir.filePath("tesselink.jpg"));
    EXPECT_TRUE(view_.ZoomAreaRadio(0)->isChecked());
    QTableWidget* list = view_.WindowList();
    ASSERT_EQ(list->columnCount(), 5);
    EXPECT_EQ(list->horizontalHeaderItem(2)->text(), "initial position ");
    EXPECT_EQ(list->columnWidth(4), 115);
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(list->item(0, 1)->text(), "Level mirror");
    EXPECT_EQ(list->item(0, 0)->textAlignment(), int(Qt::AlignCenter));
    QStringList modes;
    for (int i = 0; i < view_.MapModeBox()->count(); ++i) modes << view_.MapModeBox()->itemText(i);
    EXPECT_EQ(modes, (QStringList{"Copy", "Clockwise rotaion 90", "AntiClockwise rotaion 90", "Vertical mirror",
                                  "Level mirror", "Rotatoin 180"}));
    EXPECT_EQ(view_.MapModeBox()->currentIndex(), 0);
}

TEST_F(MapHeadFileViewTest, WithoutTheDefaultPictureThePathStaysEmpty) {
    QTemporaryDir dir;
    view_.SetDefaultPictureFolders({dir.path()});
    view_.OnInitialUpdate();
    EXPECT_TRUE(view_.PicturePathEdit()->text().isEmpty());
}

TEST_F(MapHeadFileViewTest, FillAndResetTheHeadFields) {
    testing::SetHeadSize(doc_, &MapFileHead::OriginalWidth, 1920);
    testing::SetHeadSize(doc_, &MapFileHead::OriginalHeight, 1080);
    testing::SetHeadSize(doc_, &MapFileHead::TargetWidth, 65535);
    testing::SetHeadSize(doc_, &MapFileHead::TargetHeight, 7);
    view_.FillHeadFromDocument();
    EXPECT_EQ(view_.OriginalWidthEdit()->text(), "1920");
    EXPECT_EQ(view_.OriginalHeightEdit()->text(), "1080");
    EXPECT_EQ(view_.TargetWidthEdit()->text(), "65535");
    EXPECT_EQ(view_.TargetHeightEdit()->text(), "7");
    view_.ResetHeadFields();
    EXPECT_EQ(view_.OriginalWidthEdit()->text(), "640");
    EXPECT_EQ(view_.TargetHeightEdit()->text(), "480");
}

TEST_F(MapHeadFileViewTest, FillKeepsThePicturePathTheFieldShowed) {
    view_.PicturePathEdit()->setText("/pictures/wall.png");
    view_.ValuesFromControls();
    view_.FillHeadFromDocument();
    EXPECT_EQ(view_.PicturePathEdit()->text(), "/pictures/wall.png");
}

TEST_F(MapHeadFileViewTest, ShowCoverOptionSetsTheThreeButtons) {
    view_.ShowCoverOption(CoverFullScreen);
    EXPECT_TRUE(view_.CoverFullScreenCheck()->isChecked());
    EXPECT_TRUE(view_.CoverSameDirectionRadio()->isEnabled());
    EXPECT_TRUE(view_.CoverSameDirectionRadio()->isChecked());
    EXPECT_FALSE(view_.CoverDifferentDirectionRadio()->isChecked());

    view_.ShowCoverOption(CoverFullScreen | CoverDifferentDirection);
    EXPECT_TRUE(view_.CoverDifferentDirectionRadio()->isChecked());
    EXPECT_FALSE(view_.CoverSameDirectionRadio()->isChecked());

    // The other direction without the full screen: disabled, but still checked.
    view_.ShowCoverOption(CoverDifferentDirection);
    EXPECT_FALSE(view_.CoverFullScreenCheck()->isChecked());
    EXPECT_FALSE(view_.CoverDifferentDirectionRadio()->isEnabled());
    EXPECT_TRUE(view_.CoverDifferentDirectionRadio()->isChecked());
    EXPECT_EQ(doc_.GetHead().CoverOption, 0) << "showing the option does not change the document";
}

TEST_F(MapHeadFileViewTest, TheListFollowsEveryEditAndItsUndo) {
    view_.OnInitialUpdate();
    doc_.AddWindow(MakeWindow(0, 0, 8, 8, 0, 0, 0));
    doc_.AddWindow(MakeWindow(10, 20, 30, 40, 50, 60, 2));
    doc_.AddWindow(MakeWindow(1, 1, 1, 1, 1, 1, 5));
    QTableWidget* list = view_.WindowList();
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
    view_.OnInitialUpdate();
    QTest::mouseClick(view_.CoverFullScreenCheck(), Qt::LeftButton);
    EXPECT_EQ(doc_.GetHead().CoverOption, CoverFullScreen);
    QTest::mouseClick(view_.CoverDifferentDirectionRadio(), Qt::LeftButton);
    EXPECT_EQ(doc_.GetHead().CoverOption, CoverFullScreen | CoverDifferentDirection);
    QTest::mouseClick(view_.CoverFullScreenCheck(), Qt::LeftButton);
    EXPECT_EQ(doc_.GetHead().CoverOption, CoverDifferentDirection) << "the direction is kept while off";
    EXPECT_FALSE(view_.CoverDifferentDirectionRadio()->isEnabled());

    doc_.UndoStack().undo();
    EXPECT_EQ(doc_.GetHead().CoverOption, CoverFullScreen | CoverDifferentDirection);
    EXPECT_TRUE(view_.CoverFullScreenCheck()->isChecked()) << "the buttons follow the undo";
    EXPECT_EQ(doc_.UndoStack().undoText(), "Cover in the different direction");
}

TEST_F(MapHeadFileViewTest, RefreshBeforeTheFirstUpdateIsSafe) {
    // A map opened at start-up reaches the panel before its first update.
    testing::SetWindows(doc_, {MakeWindow(0, 0, 8, 8, 0, 0, 0)});
    view_.RefreshWindowList();
    view_.FillHeadFromDocument();
    view_.ShowCoverOption(CoverFullScreen);
    view_.OnInitialUpdate();
    ASSERT_EQ(view_.WindowList()->rowCount(), 1);
    EXPECT_EQ(view_.WindowList()->item(0, 1)->text(), "Copy");
}

}  // namespace
}  // namespace tesselink
