// SPDX-License-Identifier: GPL-3.0-or-later
// Editing a map by hand in the editor panel, through its real controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "document/tesselink_doc.h"
#include "editor/map_head_file_view.h"
#include "support/document_setup.h"
#include "support/panel_fixture.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_file_dialogs.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

struct PanelFixture : PanelFixtureBase {
    static void Type(QLineEdit* edit, const QString& keys) {
        edit->setFocus();
        QTest::keyClicks(edit, keys);
    }
    static void Clear(QLineEdit* edit) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    QLineEdit* Field(std::uint16_t PlaybackWindow::*member) const { return windows.FieldFor(member); }
    void ClickRow(int row) {
        QTableWidget* list = windows.WindowList();
        const QRect cell = list->visualRect(list->model()->index(row, 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void Sizes(const char* ow, const char* oh, const char* tw, const char* th) {
        head.OriginalWidthEdit()->setText(ow);
        head.OriginalHeightEdit()->setText(oh);
        head.TargetWidthEdit()->setText(tw);
        head.TargetHeightEdit()->setText(th);
    }
};

}  // namespace

TEST_F(PanelFixture, TwoAddsGiveTwoEightByEightWindowsTheSecondPicked) {
    QTest::mouseClick(windows.AddButton(), Qt::LeftButton);
    QTest::mouseClick(windows.AddButton(), Qt::LeftButton);
    ASSERT_EQ(doc.WindowCount(), 2);
    EXPECT_EQ(doc.GetPlaybackWindows()[1], MakeWindow(0, 0, 8, 8, 0, 0, 0));
    EXPECT_EQ(windows.WindowList()->item(1, 0)->text(), "2");
    EXPECT_EQ(doc.SelectedOriginalWindow(), 1);
    EXPECT_EQ(Field(&PlaybackWindow::Width)->text(), "8");
    doc.UndoStack().undo();
    EXPECT_EQ(doc.WindowCount(), 1) << "each Add is one step";

    SetHeadSize(doc, &MapFileHead::OriginalHeight, 7);
    SetHeadSize(doc, &MapFileHead::OriginalWidth, 7);
    QTest::mouseClick(windows.AddButton(), Qt::LeftButton);
    EXPECT_EQ(Texts().back(), "the Original Heigh of the playback window beyond the screen") << "height first";
    EXPECT_EQ(doc.WindowCount(), 1) << "nothing added";
}

// Saved, such a map would be refused on reading: Add says so and adds nothing.
TEST_F(PanelFixture, AddUnderAHeadWiderThan2000IsRefused) {
    Map wide;
    wide.Head.TargetWidth = 3000;
    doc.ReplaceMap(wide);
    QTest::mouseClick(panel.Windows().AddButton(), Qt::LeftButton);
    EXPECT_EQ(Texts(), std::vector<std::string>{"High and Width can't more than 2000"});
    EXPECT_EQ(doc.WindowCount(), 0);
    EXPECT_EQ(panel.Windows().WindowList()->rowCount(), 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(PanelFixture, TypingStoresEachValueAndRefusesTheOneBeyondTheEdgeOnce) {
    SetWindows(doc, {MakeWindow(0, 0, 530, 20, 50, 0, 0)});
    ClickRow(0);
    QLineEdit* x = Field(&PlaybackWindow::TargetStartX);
    std::vector<int> stored;
    Clear(x);
    stored.push_back(doc.GetPlaybackWindows()[0].TargetStartX);
    for (const char* digit : {"1", "2", "0"}) {
        Type(x, digit);
        stored.push_back(doc.GetPlaybackWindows()[0].TargetStartX);
    }
    EXPECT_EQ(stored, (std::vector<int>{0, 1, 12, 12}));
    EXPECT_EQ(Texts(), std::vector<std::string>{"the Target width of The playback window beyond the screen "});
    EXPECT_EQ(x->text(), "120") << "the refused text stays for correcting";

    Field(&PlaybackWindow::OriginalStartX)->setFocus();
    EXPECT_EQ(x->text(), "12") << "leaving the field shows what was stored";
    EXPECT_EQ(boxes.Shown.size(), 1u) << "the refusal is not repeated by the focus loss";
    EXPECT_EQ(doc.SelectedOriginalWindow(), 0) << "the fields still edit the window on screen";

    Clear(x);  // a new typing session after leaving the field
    Type(x, "9");
    EXPECT_EQ(doc.GetPlaybackWindows()[0].TargetStartX, 9);
    doc.UndoStack().undo();
    EXPECT_EQ(doc.GetPlaybackWindows()[0].TargetStartX, 12);
    doc.UndoStack().undo();
    EXPECT_EQ(doc.GetPlaybackWindows()[0].TargetStartX, 50) << "one typing session is one step";
    EXPECT_EQ(x->text(), "50");
}

TEST_F(PanelFixture, ZeroAndOversizedValuesAreRefusedNotStoredOrWrapped) {
    SetWindows(doc, {MakeWindow(0, 0, 30, 10, 0, 0, 0)});
    ClickRow(0);
    Clear(Field(&PlaybackWindow::Width));
    EXPECT_EQ(Texts(), std::vector<std::string>{"the width should not be 0."});
    Field(&PlaybackWindow::Height)->setFocus();
    EXPECT_EQ(Field(&PlaybackWindow::Width)->text(), "30") << "the emptied field shows the stored width again";
    EXPECT_EQ(doc.GetPlaybackWindows()[0].Width, 30);

    // Pasted at once: 65536 kept in 16 bits would be 0 and fit.
    boxes.Shown.clear();
    QApplication::clipboard()->setText("65536");
    Field(&PlaybackWindow::OriginalStartX)->setFocus();
    Field(&PlaybackWindow::OriginalStartX)->selectAll();
    QTest::keyClick(Field(&PlaybackWindow::OriginalStartX), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Texts(), std::vector<std::string>{"the Original width of The playback window beyond the screen "});
    EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 0);
    EXPECT_EQ(doc.UndoStack().count(), 0) << "nothing was stored";
}

TEST_F(PanelFixture, ARefusedModeKeepsTheOldOneInTheMapAndTheBox) {
    SetWindows(doc, {MakeWindow(0, 0, 30, 10, 0, 460, 0), MakeWindow(0, 0, 8, 8, 0, 0, 4)});
    ClickRow(1);
    EXPECT_EQ(windows.MapModeBox()->currentIndex(), 4) << "a click shows the window's mode";
    ClickRow(0);
    EXPECT_EQ(windows.MapModeBox()->currentIndex(), 0);
    windows.MapModeBox()->setFocus();
    QTest::keyClick(windows.MapModeBox(), Qt::Key_Down);  // "Clockwise rotaion 90": placed 10 x 30
    EXPECT_EQ(Texts(), std::vector<std::string>{"the Target Heigh of The playback window beyond the screen"});
    EXPECT_EQ(doc.GetPlaybackWindows()[0].MapMode, 0);
    EXPECT_EQ(windows.MapModeBox()->currentIndex(), 0);
}

TEST_F(PanelFixture, DeletingPicksTheNextWindowAndUndoBringsItBack) {
    SetWindows(doc,
               {MakeWindow(0, 0, 8, 8, 0, 0, 0), MakeWindow(1, 1, 8, 8, 0, 0, 0), MakeWindow(2, 2, 8, 8, 0, 0, 0)});
    ClickRow(1);
    QTest::mouseClick(windows.DeleteButton(), Qt::LeftButton);
    ASSERT_EQ(doc.WindowCount(), 2);
    EXPECT_EQ(windows.WindowList()->item(1, 0)->text(), "2") << "the former row 3 is numbered 2";
    EXPECT_EQ(doc.SelectedOriginalWindow(), 1);
    EXPECT_EQ(Field(&PlaybackWindow::OriginalStartX)->text(), "2") << "the fields show the window that took its place";

    QTest::keyClick(windows.WindowList(), Qt::Key_Delete);  // the last row: the one before it is picked
    EXPECT_EQ(doc.SelectedOriginalWindow(), 0);
    QTest::keyClick(windows.WindowList(), Qt::Key_Delete);
    EXPECT_EQ(doc.WindowCount(), 0);
    EXPECT_EQ(doc.SelectedOriginalWindow(), -1);
    EXPECT_TRUE(Field(&PlaybackWindow::Width)->text().isEmpty()) << "no window, empty fields";
    QTest::mouseClick(windows.DeleteButton(), Qt::LeftButton);  // nothing picked: nothing happens

    doc.UndoStack().undo();
    EXPECT_EQ(doc.WindowCount(), 1);
    EXPECT_EQ(Field(&PlaybackWindow::OriginalStartX)->text(), "0") << "the restored window is picked and shown";
}

TEST_F(PanelFixture, ArrowKeysInTheListPickAndShowTheWindowWithoutMessages) {
    backdrop.SetBackgroundPicturePath("");
    SetWindows(doc, {MakeWindow(0, 0, 8, 8, 0, 0, 0), MakeWindow(5, 6, 7, 9, 1, 2, 5)});
    ClickRow(0);
    QTest::keyClick(windows.WindowList(), Qt::Key_Down);
    EXPECT_EQ(doc.SelectedOriginalWindow(), 1);
    EXPECT_EQ(doc.SelectedTargetWindow(), 1);
    EXPECT_EQ(Field(&PlaybackWindow::Height)->text(), "9");
    EXPECT_EQ(windows.MapModeBox()->currentIndex(), 5);
    EXPECT_TRUE(boxes.Shown.empty()) << "showing a window is no edit, even without a picture";

    QTest::keyClick(windows.WindowList(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), windows.AddButton()) << "Tab leaves the list";
}

TEST_F(PanelFixture, ApplyHeadChecksFieldsInOrderAndRefusesSizesAFileCannotCarry) {
    Sizes("", "480", "640", "480");
    head.PicturePathEdit()->setText("");
    QTest::mouseClick(head.ApplyHeadButton(), Qt::LeftButton);
    Sizes("640", "480", "640", "480");
    QTest::mouseClick(head.ApplyHeadButton(), Qt::LeftButton);
    head.PicturePathEdit()->setText(dir.filePath("card.png"));
    Sizes("2001", "480", "640", "480");
    QTest::mouseClick(head.ApplyHeadButton(), Qt::LeftButton);
    Sizes("640", "480", "65536", "480");
    QTest::mouseClick(head.ApplyHeadButton(), Qt::LeftButton);
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"input data invalid\n", "Please LoadDown backbround picture\n",
                                        "High and Width can't more than 2000", "High and Width can't more than 2000"}));
    EXPECT_EQ(doc.GetHead(), MapFileHead());

    Sizes("0", "480", "640", "480");
    QTest::mouseClick(head.ApplyHeadButton(), Qt::LeftButton);
    EXPECT_EQ(doc.GetHead().OriginalWidth, 0) << "a size of 0 is valid";
}

TEST_F(PanelFixture, AHeadThatLeavesWindowsOutAsksAndDeletesThemInOneStep) {
    const PlaybackWindows four = {MakeWindow(0, 0, 100, 10, 0, 0, 0), MakeWindow(300, 0, 100, 10, 0, 20, 0),
                                  MakeWindow(0, 0, 300, 10, 0, 40, 0), MakeWindow(250, 0, 100, 10, 0, 60, 0)};
    SetWindows(doc, four);
    head.PicturePathEdit()->setText(dir.filePath("card.png"));
    Sizes("300", "480", "640", "480");
    boxes.Answers = {MessageAnswer::No, MessageAnswer::Yes};
    QTest::mouseClick(head.ApplyHeadButton(), Qt::LeftButton);
    EXPECT_EQ(doc.GetPlaybackWindows(), four) << "No keeps everything";
    EXPECT_EQ(doc.GetHead().OriginalWidth, 640);

    QTest::mouseClick(head.ApplyHeadButton(), Qt::LeftButton);
    ASSERT_EQ(boxes.Shown.size(), 2u);
    EXPECT_EQ(boxes.Shown[1].Text,
              "the Original Width of The number 3 playback window beyond the screen\n"
              "the Original Width of The number 1 playback window beyond the screen\n"
              "Are you sure you want to delete  it");
    EXPECT_EQ(boxes.Shown[1].Buttons, MessageButtons::YesNo);
    EXPECT_EQ(doc.GetPlaybackWindows(), (PlaybackWindows{four[0], four[2]}));
    EXPECT_EQ(doc.GetHead().WindowCount, 2);
    EXPECT_EQ(windows.WindowList()->rowCount(), 2);

    doc.UndoStack().undo();
    EXPECT_EQ(doc.GetPlaybackWindows(), four) << "one undo brings the head and all windows back";
    EXPECT_EQ(head.OriginalWidthEdit()->text(), "640");
}

TEST_F(PanelFixture, BrowsePutsThePictureInTheFieldAndAnUnusablePictureIsReported) {
    const QString broken = dir.filePath("broken.png");
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
    }
    dialogs.Answers = {broken.toStdString()};
    QTest::mouseClick(head.BrowseButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs.Requests.size(), 1u);
    EXPECT_EQ(dialogs.Requests[0].Request.Filter, "Image(*.bmp;*.jpg;*.png;*.gif;*.png)");
    EXPECT_EQ(head.PicturePathEdit()->text(), broken);
    EXPECT_NE(backdrop.BackgroundPicturePath(), broken.toStdString()) << "only OK applies it";

    QTest::mouseClick(head.ApplyHeadButton(), Qt::LeftButton);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text.rfind("Cannot use the picture " + broken.toStdString() + ": ", 0), 0u);
}

TEST_F(PanelFixture, AddAndDeleteKeepTheFocusAndTabbedTypingEditsTheNewWindow) {
    SetWindows(doc, {MakeWindow(0, 0, 8, 8, 0, 0, 0)});
    QPushButton* add = windows.AddButton();
    add->setFocus();
    QTest::keyClick(add, Qt::Key_Space);
    QTest::keyClick(add, Qt::Key_Space);
    ASSERT_EQ(doc.WindowCount(), 3) << "Space on Add adds every time";
    EXPECT_EQ(QApplication::focusWidget(), add);
    QTableWidget* list = windows.WindowList();
    EXPECT_EQ(list->currentRow(), 2);
    ASSERT_EQ(list->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(list->selectionModel()->selectedRows()[0].row(), 2);

    QPushButton* remove = windows.DeleteButton();
    remove->setFocus();
    QTest::keyClick(remove, Qt::Key_Space);
    ASSERT_EQ(doc.WindowCount(), 2);
    EXPECT_EQ(QApplication::focusWidget(), remove);
    QTest::keyClick(add, Qt::Key_Space);
    ASSERT_EQ(doc.WindowCount(), 3);

    // Round the form by Tab to the first window field, then a value in each field in tab order.
    QLineEdit* first = Field(&PlaybackWindow::OriginalStartX);
    add->setFocus();
    for (int i = 0; i < 40 && QApplication::focusWidget() != first; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), first);
    for (const char* value : {"5", "6", "7", "9", "10", "12"}) {
        QTest::keyClicks(QApplication::focusWidget(), value);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(doc.GetPlaybackWindows()[2], MakeWindow(5, 6, 10, 12, 7, 9, 0));
    EXPECT_EQ(doc.GetPlaybackWindows()[1], MakeWindow(0, 0, 8, 8, 0, 0, 0));
    EXPECT_EQ(QApplication::focusWidget(), windows.MapModeBox());
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(PanelFixture, UndoAndRedoKeysInEveryFieldGoToTheMap) {
    SetWindows(doc, {MakeWindow(0, 0, 8, 8, 0, 0, 0)});
    ClickRow(0);
    ASSERT_TRUE(doc.ChangeWindow(0, MakeWindow(4, 0, 8, 8, 0, 0, 0)).Accepted());
    QShortcut undo(QKeySequence(Qt::CTRL | Qt::Key_Z), &panel);
    QShortcut redo(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &panel);
    QObject::connect(&undo, &QShortcut::activated, &doc.UndoStack(), &QUndoStack::undo);
    QObject::connect(&redo, &QShortcut::activated, &doc.UndoStack(), &QUndoStack::redo);
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));

    std::vector<QLineEdit*> fields = {head.OriginalWidthEdit(), head.OriginalHeightEdit(), head.TargetWidthEdit(),
                                      head.TargetHeightEdit()};
    for (int i = 0; i < WindowFieldCount; ++i) fields.push_back(windows.Field(i));
    for (QLineEdit* field : fields) {
        SCOPED_TRACE(field->objectName().toStdString());
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 0);
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(doc.GetPlaybackWindows()[0].OriginalStartX, 4);
    }
}

TEST_F(PanelFixture, EnterInAHeadFieldAppliesTheHeadAsOkDoesWithTheSameQuestion) {
    const PlaybackWindows two = {MakeWindow(0, 0, 100, 10, 0, 0, 0), MakeWindow(300, 0, 100, 10, 0, 20, 0)};
    SetWindows(doc, two);
    head.PicturePathEdit()->setText(dir.filePath("card.png"));
    const int steps = doc.UndoStack().count();
    // A width that leaves the second window out (the question counts from 0), typed and confirmed with Enter: the
    // question comes, No keeps everything and applies nothing.
    head.OriginalWidthEdit()->setFocus();
    head.OriginalWidthEdit()->selectAll();
    QTest::keyClicks(head.OriginalWidthEdit(), "300");
    boxes.Answers = {MessageAnswer::No};
    QTest::keyClick(head.OriginalWidthEdit(), Qt::Key_Return);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text,
              "the Original Width of The number 1 playback window beyond the screen\n"
              "Are you sure you want to delete  it");
    EXPECT_EQ(boxes.Shown[0].Buttons, MessageButtons::YesNo);
    EXPECT_EQ(doc.GetPlaybackWindows(), two);
    EXPECT_EQ(doc.GetHead().OriginalWidth, 640);
    EXPECT_EQ(doc.UndoStack().count(), steps);

    // A size that leaves every window in, with Enter in another head field: applied at once.
    head.OriginalWidthEdit()->setText("640");
    head.TargetHeightEdit()->setFocus();
    head.TargetHeightEdit()->selectAll();
    QTest::keyClicks(head.TargetHeightEdit(), "2*300");
    QTest::keyClick(head.TargetHeightEdit(), Qt::Key_Enter);
    EXPECT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(doc.GetHead().TargetHeight, 600);
    EXPECT_EQ(head.TargetHeightEdit()->text(), "600");
    EXPECT_EQ(doc.UndoStack().count(), steps + 1);
    // And in the picture field.
    head.OriginalHeightEdit()->setText("500");
    QTest::keyClick(head.PicturePathEdit(), Qt::Key_Return);
    EXPECT_EQ(doc.GetHead().OriginalHeight, 500);
}
