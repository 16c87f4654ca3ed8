// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_message_boxes.h"

#include <QMessageBox>

#include <cstdio>

namespace tesselink {

namespace {
QMessageBox::StandardButtons StandardButtonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}
}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const UserMessage& message, QWidget* owner) {
    auto box = std::make_unique<QMessageBox>(owner);
    const bool application = message.Kind == MessageBoxKind::Application;
    box->setWindowTitle(application ? QString::fromUtf8(ApplicationCaption) : QString::fromStdString(message.Caption));
    box->setIcon(application ? QMessageBox::Warning : QMessageBox::NoIcon);
    // Paths and user text are shown as typed, never read as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromStdString(message.Text));
    box->setStandardButtons(StandardButtonsOf(message.Buttons));
    box->setDefaultButton(DefaultAnswer(message.Buttons) == MessageAnswer::Ok ? QMessageBox::Ok : QMessageBox::Yes);
    if (message.Buttons == MessageButtons::YesNoCancel) box->setEscapeButton(QMessageBox::Cancel);
    if (message.Buttons == MessageButtons::YesNo) box->setEscapeButton(QMessageBox::No);
    return box;
}

MessageAnswer AnswerFromButton(int clickedButton, MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::YesNo: return clickedButton == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    case MessageButtons::YesNoCancel:
        if (clickedButton == QMessageBox::Yes) return MessageAnswer::Yes;
        if (clickedButton == QMessageBox::No) return MessageAnswer::No;
        return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

MessageAnswer DefaultAnswer(MessageButtons buttons) {
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
}

std::string MessageLine(const UserMessage& message) {
    std::string line = "tesselink: ";
    std::string caption = message.Kind == MessageBoxKind::Plain ? message.Caption : std::string();
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    if (!caption.empty() && caption != ApplicationCaption) line += caption + ": ";
    for (const char c : message.Text) line += c == '\n' ? ' ' : c;
    return line;
}

QtMessageBoxes::QtMessageBoxes(QWidget* mainWindow) : MainWindow_(mainWindow) {}

void QtMessageBoxes::SetOwner(MessageOwner owner, QWidget* pane) { Panes_[owner] = pane; }

QWidget* QtMessageBoxes::OwnerWidget(const UserMessage& message) const {
    if (message.Kind == MessageBoxKind::Plain) {
        const auto it = Panes_.find(message.Owner);
        if (it != Panes_.end() && it->second) return it->second;
    }
    return MainWindow_;
}

MessageAnswer QtMessageBoxes::Show(const UserMessage& message) {
    if (Unattended_) {
        std::fprintf(stderr, "%s\n", MessageLine(message).c_str());
        return DefaultAnswer(message.Buttons);
    }
    const std::unique_ptr<QMessageBox> box = BuildMessageBox(message, OwnerWidget(message));
    const int clicked = box->exec();
    return AnswerFromButton(clicked, message.Buttons);
}

}  // namespace tesselink
