// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the program asks or tells the user something in a modal box.
// The program plugs in a QMessageBox-backed implementation; tests plug in a recorder.

#include <string>

namespace tesselink {

enum class MessageBoxKind {
    Application,  // caption "Tesselink", warning icon, owned by the main window
    Plain,        // explicit caption (often empty), no icon, owned by a pane
};

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// Which pane owns a plain box; the main window owns application boxes.
enum class MessageOwner { MainWindow, OriginalView, TargetView, EditorPanel };

struct UserMessage {
    MessageBoxKind Kind = MessageBoxKind::Application;
    std::string Caption;  // used by plain boxes only
    std::string Text;
    MessageButtons Buttons = MessageButtons::Ok;
    MessageOwner Owner = MessageOwner::MainWindow;

    bool operator==(const UserMessage& o) const {
        return Kind == o.Kind && Caption == o.Caption && Text == o.Text && Buttons == o.Buttons && Owner == o.Owner;
    }
};

constexpr const char* ApplicationCaption = "Tesselink";

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer Show(const UserMessage& message) = 0;
};

inline UserMessage ApplicationMessage(std::string text, MessageButtons buttons = MessageButtons::Ok) {
    UserMessage m;
    m.Kind = MessageBoxKind::Application;
    m.Caption = ApplicationCaption;
    m.Text = std::move(text);
    m.Buttons = buttons;
    return m;
}

inline UserMessage PlainMessage(std::string caption, std::string text, MessageOwner owner,
                                MessageButtons buttons = MessageButtons::Ok) {
    UserMessage m;
    m.Kind = MessageBoxKind::Plain;
    m.Caption = std::move(caption);
    m.Text = std::move(text);
    m.Buttons = buttons;
    m.Owner = owner;
    return m;
}

}  // namespace tesselink
