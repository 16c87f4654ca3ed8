// SPDX-License-Identifier: GPL-3.0-or-later
// Arithmetic typed into the panel's numeric fields with real key events: worked out when the
// field is left or Enter is pressed, stored through the checks a typed number passes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "document/tesselink_doc.h"
#include "editor/map_head_file_view.h"
#include "support/document_setup.h"
#include "support/panel_fixture.h"
#include "support/recording_message_boxes.h"

using namespace tesselink;
using namespace tesselink::testing;

namespace {

struct FieldArithmeticTest : PanelFixtureBase {
    // Replaces the field's text by typing `keys` into it.
    static void TypeOver(QLineEdit* edit, const char* keys) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, keys);
    }
    void PickFirstWindow() {
        QTableWidget* list = windows.WindowList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 1)).center());
        ASSERT_EQ(doc.SelectedOriginalWindow(), 0);
    }
    const PlaybackWindow& First() const { return doc.GetPlaybackWindows()[0]; }
};

}  // namespace

TEST_F(FieldArithmeticTest, AWindowFieldWorksItOutOnLeavingOrEnterAsOneStep) {
    SetHeadSize(doc, &MapFileHead::OriginalWidth, 2000);
    SetHeadSize(doc, &MapFileHead::TargetWidth, 2000);
    SetWindows(doc, {MakeWindow(0, 0, 100, 20, 0, 0, 0)});
    PickFirstWindow();
    QLineEdit* width = windows.FieldFor(&PlaybackWindow::Width);
    TypeOver(width, "1920");
    EXPECT_EQ(First().Width, 1920) << "digits alone are stored keystroke by keystroke";
    QTest::keyClicks(width, "/4");
    EXPECT_EQ(First().Width, 1920) << "arithmetic waits for the field to be left";
    QTest::keyClick(width, Qt::Key_Tab);
    EXPECT_EQ(First().Width, 480);
    EXPECT_EQ(width->text(), "480");
    EXPECT_TRUE(boxes.Shown.empty());
    doc.UndoStack().undo();
    EXPECT_EQ(First().Width, 100) << "the digits and the result are one step";

    QLineEdit* x = windows.FieldFor(&PlaybackWindow::OriginalStartX);
    TypeOver(x, "3*270+10");
    QTest::keyClick(x, Qt::Key_Return);
    EXPECT_EQ(First().OriginalStartX, 820);
    EXPECT_EQ(x->text(), "820");
    EXPECT_EQ(QApplication::focusWidget(), x) << "Enter works it out and stays";
    TypeOver(x, "(1+1)");
    QTest::keyClick(x, Qt::Key_Return);
    EXPECT_EQ(First().OriginalStartX, 2);
    doc.UndoStack().undo();
    EXPECT_EQ(First().OriginalStartX, 820) << "each Enter is a step of its own";
}

TEST_F(FieldArithmeticTest, ARefusalIsToldAndLeavesTheWindowAsItWas) {
    SetWindows(doc, {MakeWindow(0, 0, 100, 20, 0, 0, 0)});
    PickFirstWindow();
    const PlaybackWindow before = First();
    const int steps = doc.UndoStack().count();
    const struct {
        const char* Typed;
        std::string Told;
    } cases[] = {
        {"7/2", "Cannot use \"7/2\": 7/2 is not a whole number."},
        {"1-2", "Cannot use \"1-2\": the result -1 is negative."},
        {"(70000+1)", "Cannot use \"(70000+1)\": the result 70001 is above 65535."},
        {"4/(2-2)", "Cannot use \"4/(2-2)\": division by zero."},
        {"2*(3", "Cannot use \"2*(3\": a closing parenthesis is missing."},
        {"2**3", "Cannot use \"2**3\": unexpected \"*\" at character 3."},
        {"(0*5)", "the width should not be 0."},                                     // as a typed 0
        {"600+50", "the Original width of The playback window beyond the screen "},  // the gate's refusal
    };
    QLineEdit* width = windows.FieldFor(&PlaybackWindow::Width);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        boxes.Shown.clear();
        TypeOver(width, c.Typed);
        QTest::keyClick(width, Qt::Key_Tab);
        EXPECT_EQ(Texts(), std::vector<std::string>{c.Told});
        EXPECT_EQ(First(), before) << "digits stored on the way go with the refusal";
        EXPECT_EQ(width->text(), "100") << "the field shows the stored value again";
    }
    EXPECT_EQ(doc.UndoStack().count(), steps);
}

TEST_F(FieldArithmeticTest, TypingRefusedAsAWholeLeavesNoStepAboveTheSavedOne) {
    SetWindows(doc, {MakeWindow(0, 0, 100, 20, 0, 0, 0)});
    ASSERT_TRUE(doc.AddWindow(MakeWindow(200, 0, 10, 10, 0, 100, 0)).Accepted());
    doc.UndoStack().setClean();
    PickFirstWindow();
    const PlaybackWindow before = First();
    const int count = doc.UndoStack().count();
    const int index = doc.UndoStack().index();
    QLineEdit* width = windows.FieldFor(&PlaybackWindow::Width);
    width->setFocus();
    width->selectAll();
    QTest::keyClicks(width, "5");
    ASSERT_EQ(First().Width, 5) << "digits are stored as they come";
    QTest::keyClicks(width, "/0");
    QTest::keyClick(width, Qt::Key_Tab);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Cannot use \"5/0\": division by zero."});
    EXPECT_EQ(First(), before);
    EXPECT_EQ(doc.UndoStack().count(), count);
    EXPECT_EQ(doc.UndoStack().index(), index);
    EXPECT_FALSE(doc.UndoStack().canRedo());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(FieldArithmeticTest, AHeadFieldShowsTheResultAndOkAppliesIt) {
    head.PicturePathEdit()->setText(dir.filePath("card.png"));
    QLineEdit* originalWidth = head.OriginalWidthEdit();
    TypeOver(originalWidth, "1920/4");
    QTest::keyClick(originalWidth, Qt::Key_Tab);
    EXPECT_EQ(originalWidth->text(), "480");
    EXPECT_EQ(doc.GetHead().OriginalWidth, 640) << "the head applies only with OK";

    QLineEdit* targetHeight = head.TargetHeightEdit();
    TypeOver(targetHeight, "7/2");
    QTest::keyClick(targetHeight, Qt::Key_Return);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Cannot use \"7/2\": 7/2 is not a whole number."});
    EXPECT_EQ(targetHeight->text(), "480") << "the map's size again";

    // Arithmetic not yet worked out when OK is clicked is worked out first.
    head.TargetWidthEdit()->setText("3*270+10");
    head.ApplyHeadButton()->click();
    EXPECT_EQ(doc.GetHead().OriginalWidth, 480);
    EXPECT_EQ(doc.GetHead().TargetWidth, 820);
    EXPECT_EQ(head.TargetWidthEdit()->text(), "820");
    head.TargetWidthEdit()->setText("(2000+1)");
    head.ApplyHeadButton()->click();
    EXPECT_EQ(Texts().back(), "High and Width can't more than 2000") << "the result passes OK's own checks";
    EXPECT_EQ(doc.GetHead().TargetWidth, 820);
}
