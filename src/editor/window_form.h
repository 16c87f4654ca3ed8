// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lower half of the editor panel: the window list, "Add", "Delete", the six window
// fields and the Map Mode box. The fields change the current window while the user types;
// every change goes through the document's gate.

#include <array>
#include <cstdint>
#include <string>

#include <QObject>

#include "document/edit_commands.h"
#include "document/gesture_transaction.h"
#include "map/map_model.h"
#include "map/message_boxes.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;

namespace tesselink {

class Backdrop;
class CTesselinkDoc;
struct MapChange;

// One of the six window fields: where it sits, which member of the window it shows, and
// which gesture its typing is.
struct WindowFieldDef {
    const char* ObjectName;
    const char* Label;
    int LabelX, LabelY;  // dialog units
    int EditX, EditY;
    std::uint16_t PlaybackWindow::*Member;
    EditGesture::Kind Gesture;
    const char* ZeroMessage;  // a size that must not be 0 says so; nullptr for the starts
};
constexpr int WindowFieldCount = 6;
// In tab order.
const std::array<WindowFieldDef, WindowFieldCount>& WindowFields();

class WindowForm : public QObject {
    Q_OBJECT
public:
    // Builds the controls on `form` and follows `doc`.
    WindowForm(CTesselinkDoc& doc, const Backdrop& backdrop, QWidget* form, QObject* parent = nullptr);

    void SetMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

    // "Add": an 8 x 8 copy window at the corners, picked.
    void AddWindow();
    // "Delete" and the Delete key in the list: the picked window goes.
    void DeleteSelectedWindow();
    // The list is refilled from the document's windows, the picked one selected.
    void RefreshWindowList();
    // The fields and the Map Mode box show the current window, or nothing.
    void ShowCurrentWindow();

    QTableWidget* WindowList() const { return list_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* DeleteButton() const { return delete_; }
    // The field of WindowFields()[i].
    QLineEdit* Field(int i) const { return fields_[static_cast<std::size_t>(i)]; }
    QLineEdit* FieldFor(std::uint16_t PlaybackWindow::*member) const;
    QComboBox* MapModeBox() const { return mapMode_; }

private:
    void Build(QWidget* form);
    void SetUpList();
    void Connect();
    void OnDocumentChanged(const MapChange& change);
    // Row `row` shows the document's window at that index.
    void UpdateRow(int row);
    void SelectCurrentRow();
    void OnListSelectionChanged();
    // Typing: digits alone are stored at once, keystroke by keystroke; arithmetic waits.
    void OnFieldEdited(int field, const QString& text);
    // Leaving the field or Enter: its arithmetic is worked out and stored, or refused with a
    // message; the field then shows the stored value.
    void CommitArithmetic(int field);
    // Ends the typing session: the next keystroke in a field starts a new undo step.
    void NewTypingSession();
    // `value` for the field's member of the current window, through the gate; false when refused.
    bool StoreFieldValue(int field, long value);
    void OnMapModeChosen(int mode);
    // The current window, or none; with an empty picture path the user is told first.
    const PlaybackWindow* CurrentWindowForEdit();
    bool StoreEdit(const PlaybackWindow& window, EditGesture::Kind gesture);
    void Tell(const std::string& text);
    bool eventFilter(QObject* watched, QEvent* event) override;

    CTesselinkDoc& doc_;
    const Backdrop& backdrop_;
    MessageBoxes* boxes_ = nullptr;
    QTableWidget* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    std::array<QLineEdit*, WindowFieldCount> fields_{};
    QComboBox* mapMode_ = nullptr;
    // One typing session in a field is one undo step; leaving the field starts the next.
    // Arithmetic refused after digits were stored cancels it.
    GestureTransaction typing_{doc_};
    // Set while a message is up, so that the focus loss it causes is not handled as an edit.
    bool telling_ = false;
    // The field being typed in: the stored value does not overwrite what the user types.
    QLineEdit* typingIn_ = nullptr;
};

}  // namespace tesselink
