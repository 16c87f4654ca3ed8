// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace tesselink {
namespace {

TEST(BuildMessageBox, ApplicationBoxHasTheProgramCaptionAndTheWarningIcon) {
    QWidget mainWindow;
    const auto box = BuildMessageBox(
        ApplicationMessage("are you sure recovery Original file ", MessageButtons::YesNoCancel), &mainWindow);
    EXPECT_EQ(box->windowTitle(), "Tesselink");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->text(), "are you sure recovery Original file ");
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box->parentWidget(), &mainWindow);
}

TEST(BuildMessageBox, PlainBoxHasItsOwnCaptionAndNoIcon) {
    QWidget pane;
    const auto box = BuildMessageBox(
        PlainMessage("", "can't find <a.jpg>\nplease Select background picture", MessageOwner::OriginalView), &pane);
    EXPECT_EQ(box->windowTitle(), "");
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    // A path with angle brackets is shown as typed, not taken for markup.
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), "can't find <a.jpg>\nplease Select background picture");
    EXPECT_EQ(box->parentWidget(), &pane);
}

TEST(BuildMessageBox, YesNoBoxHasExactlyThoseButtons) {
    const auto box = BuildMessageBox(ApplicationMessage("delete?", MessageButtons::YesNo), nullptr);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
}

TEST(AnswerFromButton, ClickedButtonsAndClosedBoxes) {
    EXPECT_EQ(AnswerFromButton(QMessageBox::Ok, MessageButtons::Ok), MessageAnswer::Ok);
    EXPECT_EQ(AnswerFromButton(QMessageBox::Yes, MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(AnswerFromButton(QMessageBox::No, MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(AnswerFromButton(QMessageBox::No, MessageButtons::YesNoCancel), MessageAnswer::No);
    EXPECT_EQ(AnswerFromButton(QMessageBox::Cancel, MessageButtons::YesNoCancel), MessageAnswer::Cancel);
    // A box closed without a button never counts as consent.
    EXPECT_EQ(AnswerFromButton(0, MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(AnswerFromButton(0, MessageButtons::YesNoCancel), MessageAnswer::Cancel);
}

TEST(QtMessageBoxes, ApplicationBoxesBelongToTheMainWindowPlainBoxesToTheirPane) {
    QWidget mainWindow, original, target;
    QtMessageBoxes boxes(&mainWindow);
    boxes.SetOwner(MessageOwner::OriginalView, &original);
    boxes.SetOwner(MessageOwner::TargetView, &target);
    EXPECT_EQ(boxes.OwnerWidget(ApplicationMessage("x")), &mainWindow);
    EXPECT_EQ(boxes.OwnerWidget(PlainMessage("", "x", MessageOwner::OriginalView)), &original);
    EXPECT_EQ(boxes.OwnerWidget(PlainMessage("", "x", MessageOwner::TargetView)), &target);
    // A pane that is not known (or gone) falls back to the main window.
    EXPECT_EQ(boxes.OwnerWidget(PlainMessage("", "x", MessageOwner::EditorPanel)), &mainWindow);
}

TEST(QtMessageBoxes, ShowReturnsTheButtonTheUserClicked) {
    QWidget mainWindow;
    QtMessageBoxes boxes(&mainWindow);
    QString shownTitle;
    QTimer::singleShot(0, [&shownTitle] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownTitle = box->windowTitle();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(boxes.Show(ApplicationMessage("save?", MessageButtons::YesNoCancel)), MessageAnswer::No);
    EXPECT_EQ(shownTitle, "Tesselink");
}

}  // namespace
}  // namespace tesselink
