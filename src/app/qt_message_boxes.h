// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's message boxes on QMessageBox.

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <string>

#include "map/message_boxes.h"

class QMessageBox;

namespace tesselink {

// Builds the box for `message` without showing it: an application box has the caption
// "Tesselink" and the warning icon; a plain box its own caption and no icon.
std::unique_ptr<QMessageBox> BuildMessageBox(const UserMessage& message, QWidget* owner);

// What the user's click (a QMessageBox::StandardButton, or 0 when the box was closed
// some other way) means for `buttons`; closing counts as the most cautious answer.
MessageAnswer AnswerFromButton(int clickedButton, MessageButtons buttons);

// The answer of the box's default button (the one Enter presses).
MessageAnswer DefaultAnswer(MessageButtons buttons);

// `message` as one line for a terminal: "tesselink: " then its caption, if it has one of its own,
// and its text, line breaks turned into blanks.
std::string MessageLine(const UserMessage& message);

class QtMessageBoxes : public MessageBoxes {
public:
    // `mainWindow` owns application boxes and any plain box whose pane is not known.
    explicit QtMessageBoxes(QWidget* mainWindow = nullptr);

    void SetMainWindow(QWidget* mainWindow) { MainWindow_ = mainWindow; }
    void SetOwner(MessageOwner owner, QWidget* pane);

    // The widget that owns a box of this kind and owner.
    QWidget* OwnerWidget(const UserMessage& message) const;

    // Unattended (the --screenshot run): no box is shown; each message goes to stderr as one
    // line and is answered with the box's default button, so nothing waits for a click.
    void SetUnattended(bool unattended) { Unattended_ = unattended; }

    MessageAnswer Show(const UserMessage& message) override;

private:
    bool Unattended_ = false;
    QPointer<QWidget> MainWindow_;
    std::map<MessageOwner, QPointer<QWidget>> Panes_;
};

}  // namespace tesselink
