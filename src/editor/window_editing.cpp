// The lower half of the editor panel: the window list, "Add", "Delete", the six window
// fields and the Map Mode box. Every change goes through the document's gate.
#include <QComboBox>
#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include "document/tesselink_doc.h"
#include "editor/map_head_file_view.h"

namespace tesselink {
namespace {

// A field's text as typed, saturated above 65535 so that it is refused rather than wrapped.
long FieldValue(const QString& text) {
    long value = 0;
    for (const QChar c : text) {
        if (!c.isDigit()) return 0;
        value = std::min(value * 10 + c.digitValue(), 65536L);
    }
    return value;
}

EditGesture::Kind GestureOf(int field) {
    static const EditGesture::Kind kinds[] = {
        EditGesture::Kind::OriginalStartXField, EditGesture::Kind::OriginalStartYField,
        EditGesture::Kind::TargetStartXField,   EditGesture::Kind::TargetStartYField,
        EditGesture::Kind::WidthField,          EditGesture::Kind::HeightField,
    };
    return kinds[field];
}

}  // namespace

void CMapHeadFileView::ConnectWindowControls() {
    connect(AddButton_, &QPushButton::clicked, this, &CMapHeadFileView::AddWindow);
    connect(DeleteButton_, &QPushButton::clicked, this, &CMapHeadFileView::DeleteSelectedWindow);
    connect(WindowList_, &QTableWidget::itemSelectionChanged, this, &CMapHeadFileView::OnListSelectionChanged);
    WindowList_->installEventFilter(this);

    QLineEdit* const fields[] = {OriginalStartXEdit_, OriginalStartYEdit_, TargetStartXEdit_,
                                 TargetStartYEdit_,   WidthEdit_,          HeightEdit_};
    for (int i = 0; i < 6; ++i) {
        const auto field = static_cast<WindowField>(i);
        // Only the user's typing is an edit; the panel's own writes are not.
        connect(fields[i], &QLineEdit::textEdited, this,
                [this, field](const QString& text) { OnFieldEdited(field, text); });
        fields[i]->installEventFilter(this);
    }
    connect(MapModeBox_, QOverload<int>::of(&QComboBox::activated), this, &CMapHeadFileView::OnMapModeChosen);
    FieldGesture_ = Doc_.NewGestureSerial();
}

bool CMapHeadFileView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == WindowList_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteSelectedWindow();
        return true;
    }
    const bool windowField = watched == OriginalStartXEdit_ || watched == OriginalStartYEdit_ ||
                             watched == TargetStartXEdit_ || watched == TargetStartYEdit_ || watched == WidthEdit_ ||
                             watched == HeightEdit_;
    if (!windowField) return QScrollArea::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut && !Telling_) {
        // Leaving a field ends its typing session and shows what was stored.
        FieldGesture_ = Doc_.NewGestureSerial();
        ShowPickedWindow();
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Undo and redo are the map's, not the field's: what was typed is already stored.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) return true;
    }
    return QScrollArea::eventFilter(watched, event);
}

void CMapHeadFileView::SelectPickedRow() {
    const QSignalBlocker quiet(WindowList_);
    const int row = Doc_.SelectedOriginalWindow();
    if (row >= 0 && row < WindowList_->rowCount()) {
        WindowList_->selectRow(row);
        WindowList_->scrollToItem(WindowList_->item(row, 0));
    } else {
        WindowList_->clearSelection();
        WindowList_->setCurrentItem(nullptr);
    }
}

void CMapHeadFileView::ShowPickedWindow() {
    SelectPickedRow();
    const int row = Doc_.SelectedOriginalWindow();
    const PlaybackWindows& windows = Doc_.GetPlaybackWindows();
    ShowWindowFields(row >= 0 && row < static_cast<int>(windows.size()) ? &windows[static_cast<std::size_t>(row)]
                                                                        : nullptr);
}

void CMapHeadFileView::OnListSelectionChanged() {
    const QList<QTableWidgetItem*> items = WindowList_->selectedItems();
    const int row = items.isEmpty() ? -1 : items.front()->row();
    FieldGesture_ = Doc_.NewGestureSerial();
    Doc_.SelectWindow(row);
    // The same row again still shows the stored window in the fields.
    ShowPickedWindow();
}

void CMapHeadFileView::ShowWindowFields(const PlaybackWindow* window) {
    QLineEdit* const fields[] = {OriginalStartXEdit_, OriginalStartYEdit_, WidthEdit_,
                                 HeightEdit_,         TargetStartXEdit_,   TargetStartYEdit_};
    const int values[] = {window ? window->OriginalStartX : 0, window ? window->OriginalStartY : 0,
                          window ? window->Width : 0,          window ? window->Height : 0,
                          window ? window->TargetStartX : 0,   window ? window->TargetStartY : 0};
    for (int i = 0; i < 6; ++i) {
        const QString text = window ? QString::number(values[i]) : QString();
        if (fields[i] != TypingIn_ && fields[i]->text() != text) fields[i]->setText(text);
    }
    if (window != nullptr && window->MapMode < MapModeBox_->count()) {
        const QSignalBlocker quiet(MapModeBox_);
        MapModeBox_->setCurrentIndex(window->MapMode);
    }
}

const PlaybackWindow* CMapHeadFileView::SelectedWindowForEdit() {
    if (Doc_.BackgroundPicturePath().empty()) {
        Tell("Please Select BackGround Picture ");
        return nullptr;
    }
    const int row = Doc_.SelectedOriginalWindow();
    if (row < 0 || row >= Doc_.WindowCount()) return nullptr;
    return &Doc_.GetPlaybackWindows()[static_cast<std::size_t>(row)];
}

bool CMapHeadFileView::StoreEdit(const PlaybackWindow& window, EditGesture::Kind gesture) {
    const WindowEditResult result =
        Doc_.ChangeWindow(Doc_.SelectedOriginalWindow(), window, EditGesture{gesture, FieldGesture_});
    if (result.Accepted()) return true;
    Tell(WindowBoundsMessage(result));
    return false;
}

void CMapHeadFileView::OnFieldEdited(WindowField field, const QString& text) {
    if (Telling_) return;
    const long value = FieldValue(text);
    if (value == 0 && (field == WindowField::Width || field == WindowField::Height)) {
        if (Doc_.SelectedOriginalWindow() >= 0)
            Tell(field == WindowField::Width ? "the width should not be 0." : "the heihgt should not be 0.");
        return;
    }
    const PlaybackWindow* selected = SelectedWindowForEdit();
    if (selected == nullptr) return;
    PlaybackWindow w = *selected;
    // Above 65535 no start or size fits: kept at the largest value so the check refuses it
    // with the message of the right edge.
    const auto v = static_cast<std::uint16_t>(std::min(value, 65535L));
    switch (field) {
    case WindowField::OriginalStartX: w.OriginalStartX = v; break;
    case WindowField::OriginalStartY: w.OriginalStartY = v; break;
    case WindowField::TargetStartX: w.TargetStartX = v; break;
    case WindowField::TargetStartY: w.TargetStartY = v; break;
    case WindowField::Width: w.Width = v; break;
    case WindowField::Height: w.Height = v; break;
    }
    QLineEdit* const typed[] = {OriginalStartXEdit_, OriginalStartYEdit_, TargetStartXEdit_,
                                TargetStartYEdit_,   WidthEdit_,          HeightEdit_};
    TypingIn_ = typed[static_cast<int>(field)];
    StoreEdit(w, GestureOf(static_cast<int>(field)));
    TypingIn_ = nullptr;
}

void CMapHeadFileView::OnMapModeChosen(int mode) {
    const PlaybackWindow* selected = SelectedWindowForEdit();
    if (selected != nullptr && mode >= 0 && mode < MapModeCount) {
        PlaybackWindow w = *selected;
        w.MapMode = static_cast<std::uint8_t>(mode);
        StoreEdit(w, EditGesture::Kind::MapModeBox);
    }
    // A refused or impossible mode: the box shows the stored one again.
    ShowPickedWindow();
}

void CMapHeadFileView::AddWindow() {
    if (Doc_.BackgroundPicturePath().empty()) return Tell("Please Select BackGround Picture ");
    const WindowEditResult result = Doc_.AddWindow(MakeWindow(0, 0, 8, 8, 0, 0, 0));
    if (!result.Accepted()) return Tell(WindowBoundsMessage(result));
    WindowList_->setFocus(Qt::OtherFocusReason);
}

void CMapHeadFileView::DeleteSelectedWindow() {
    const int row = Doc_.SelectedOriginalWindow();
    if (row < 0) return;
    Doc_.RemoveWindow(row);
    if (Doc_.SelectedOriginalWindow() >= 0) WindowList_->setFocus(Qt::OtherFocusReason);
}

}  // namespace tesselink
