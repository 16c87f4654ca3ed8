// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/window_form.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include "document/tesselink_doc.h"
#include "stage/backdrop.h"
#include "editor/form_building.h"
#include "editor/window_list_rows.h"
#include "map/whole_number_expression.h"
#include "tools/selection_edits.h"

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

}  // namespace

const std::array<WindowFieldDef, WindowFieldCount>& WindowFields() {
    using K = EditGesture::Kind;
    static const std::array<WindowFieldDef, WindowFieldCount> fields = {{
        {"OriginalStartXEdit", "Originnla StartX", 5, 308, 69, 309, &PlaybackWindow::OriginalStartX,
         K::OriginalStartXField, nullptr},
        {"OriginalStartYEdit", "Originnla StartY", 5, 327, 69, 327, &PlaybackWindow::OriginalStartY,
         K::OriginalStartYField, nullptr},
        {"TargetStartXEdit", "Target SatrtX", 155, 310, 215, 309, &PlaybackWindow::TargetStartX, K::TargetStartXField,
         nullptr},
        {"TargetStartYEdit", "Target SatrtY", 155, 327, 215, 325, &PlaybackWindow::TargetStartY, K::TargetStartYField,
         nullptr},
        {"WidthEdit", "With", 5, 345, 69, 345, &PlaybackWindow::Width, K::WidthField, "the width should not be 0."},
        {"HeightEdit", "Heigh", 155, 348, 215, 345, &PlaybackWindow::Height, K::HeightField,
         "the heihgt should not be 0."},
    }};
    return fields;
}

WindowForm::WindowForm(CTesselinkDoc& doc, const Backdrop& backdrop, QWidget* form, QObject* parent)
    : QObject(parent), doc_(doc), backdrop_(backdrop) {
    Build(form);
    SetUpList();
    Connect();
}

void WindowForm::Build(QWidget* form) {
    list_ = Place(new QTableWidget(form), 2, 152, 280, 130);
    list_->setObjectName("WindowList");
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Ctrl and Shift with a click select several windows, as in the views.
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(true);
    list_->verticalHeader()->setVisible(false);
    list_->verticalHeader()->setDefaultSectionSize(18);
    list_->horizontalHeader()->setStretchLastSection(false);
    list_->horizontalHeader()->setHighlightSections(false);
    // Tab leaves the list like any other control instead of walking its cells.
    list_->setTabKeyNavigation(false);
    // The picked row stays visible while another control has the focus.
    QPalette palette = list_->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    list_->setPalette(palette);

    add_ = Place(new QPushButton("Add", form), 5, 287, 68, 14);
    add_->setObjectName("AddButton");
    delete_ = Place(new QPushButton("Delete", form), 111, 287, 68, 14);
    delete_->setObjectName("DeleteButton");

    for (int i = 0; i < WindowFieldCount; ++i) {
        const WindowFieldDef& def = WindowFields()[static_cast<std::size_t>(i)];
        AddLabel(form, def.Label, def.LabelX, def.LabelY, 53, 8);
        fields_[static_cast<std::size_t>(i)] = AddNumberEdit(form, def.ObjectName, def.EditX, def.EditY, 40, 14);
    }
    AddLabel(form, "Map Mode", 5, 361, 53, 8);
    // The template's 72 units are the height of the open list; the closed box is one line.
    mapMode_ = Place(new QComboBox(form), 69, 362, 185, 14);
    mapMode_->setObjectName("MapModeBox");
    mapMode_->setEditable(false);
    mapMode_->setMaxVisibleItems(5);
    // The wheel over the closed box does not change the mode unless the box has the focus.
    mapMode_->setFocusPolicy(Qt::StrongFocus);
}

void WindowForm::SetUpList() {
    const auto& columns = WindowListColumns();
    list_->setColumnCount(WindowListColumnCount);
    for (int c = 0; c < WindowListColumnCount; ++c) {
        list_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(columns[c].Heading)));
        list_->setColumnWidth(c, columns[c].Width);
    }
    for (int mode = 0; mode < MapModeCount; ++mode) mapMode_->addItem(QString::fromUtf8(MapModeText(mode)));
    mapMode_->setCurrentIndex(0);
    RefreshWindowList();
}

void WindowForm::Connect() {
    connect(add_, &QPushButton::clicked, this, &WindowForm::AddWindow);
    connect(delete_, &QPushButton::clicked, this, &WindowForm::DeleteSelectedWindow);
    connect(list_, &QTableWidget::itemSelectionChanged, this, &WindowForm::OnListSelectionChanged);
    list_->installEventFilter(this);
    for (int i = 0; i < WindowFieldCount; ++i) {
        QLineEdit* field = fields_[static_cast<std::size_t>(i)];
        // Only the user's typing is an edit; the form's own writes are not.
        connect(field, &QLineEdit::textEdited, this, [this, i](const QString& text) { OnFieldEdited(i, text); });
        connect(field, &QLineEdit::returnPressed, this, [this, i] { CommitArithmetic(i); });
        field->installEventFilter(this);
    }
    connect(mapMode_, QOverload<int>::of(&QComboBox::activated), this, &WindowForm::OnMapModeChosen);
    mapMode_->installEventFilter(this);
    typing_.Begin();
    connect(&doc_, &CTesselinkDoc::changed, this, &WindowForm::OnDocumentChanged);
    connect(&doc_, &CTesselinkDoc::selectionChanged, this, &WindowForm::ShowCurrentWindow);
}

QLineEdit* WindowForm::FieldFor(std::uint16_t PlaybackWindow::*member) const {
    for (int i = 0; i < WindowFieldCount; ++i)
        if (WindowFields()[static_cast<std::size_t>(i)].Member == member) return fields_[static_cast<std::size_t>(i)];
    return nullptr;
}

void WindowForm::OnDocumentChanged(const MapChange& change) {
    using Kind = MapChange::Kind;
    switch (change.What) {
    case Kind::WindowChanged:
        // A drag changes one window many times a second: only its row is written again.
        if (change.Index >= 0 && change.Index < list_->rowCount()) {
            UpdateRow(change.Index);
            ShowCurrentWindow();
        } else {
            RefreshWindowList();
        }
        break;
    case Kind::Cover: break;
    default: RefreshWindowList(); break;
    }
}

bool WindowForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteSelectedWindow();
        return true;
    }
    if (watched == mapMode_) {
        if (event->type() == QEvent::Wheel && !mapMode_->hasFocus()) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
    const auto field = std::find(fields_.begin(), fields_.end(), watched);
    if (field == fields_.end()) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut && !telling_) {
        // Leaving a field works out its arithmetic, ends its typing session and shows what was stored.
        CommitArithmetic(static_cast<int>(field - fields_.begin()));
        NewTypingSession();
        ShowCurrentWindow();
    }
    // Undo and redo are the map's, not the field's: what was typed is already stored.
    if (IsMapUndoKey(event)) return true;
    return QObject::eventFilter(watched, event);
}

void WindowForm::RefreshWindowList() {
    const QSignalBlocker quiet(list_);
    const QSignalBlocker quietSelection(list_->selectionModel());
    list_->clearContents();
    list_->setRowCount(0);
    list_->clearSelection();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    list_->setRowCount(static_cast<int>(windows.size()));
    for (int row = 0; row < static_cast<int>(windows.size()); ++row) UpdateRow(row);
    ShowCurrentWindow();
}

void WindowForm::UpdateRow(int row) {
    const auto texts = WindowRowTexts(row, doc_.GetPlaybackWindows()[static_cast<std::size_t>(row)]);
    for (int c = 0; c < WindowListColumnCount; ++c) {
        if (QTableWidgetItem* item = list_->item(row, c)) {
            item->setText(texts[c]);
            continue;
        }
        auto* item = new QTableWidgetItem(texts[c]);
        item->setTextAlignment(Qt::AlignCenter);
        list_->setItem(row, c, item);
    }
}

void WindowForm::SelectCurrentRow() {
    const QSignalBlocker quiet(list_);
    const QSignalBlocker quietSelection(list_->selectionModel());
    const int row = doc_.SelectedOriginalWindow();
    if (row >= 0 && row < list_->rowCount()) {
        // Selected and current, so that the list's own keys start from it.
        list_->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        for (const int other : doc_.Selection())
            if (other != row && other < list_->rowCount())
                list_->selectionModel()->select(list_->model()->index(other, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list_->scrollToItem(list_->item(row, 0));
    } else {
        list_->clearSelection();
        list_->setCurrentItem(nullptr);
    }
    list_->viewport()->update();
}

void WindowForm::ShowCurrentWindow() {
    SelectCurrentRow();
    const int row = doc_.SelectedOriginalWindow();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    const PlaybackWindow* window =
        row >= 0 && row < static_cast<int>(windows.size()) ? &windows[static_cast<std::size_t>(row)] : nullptr;
    for (int i = 0; i < WindowFieldCount; ++i) {
        QLineEdit* field = fields_[static_cast<std::size_t>(i)];
        const QString text =
            window ? QString::number(window->*WindowFields()[static_cast<std::size_t>(i)].Member) : QString();
        if (field != typingIn_ && field->text() != text) field->setText(text);
    }
    if (window != nullptr && window->MapMode < mapMode_->count()) {
        const QSignalBlocker quiet(mapMode_);
        mapMode_->setCurrentIndex(window->MapMode);
    }
}

void WindowForm::OnListSelectionChanged() {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    NewTypingSession();
    const int current = list_->currentRow();
    if (rows.size() <= 1)
        doc_.SelectWindow(rows.empty() ? -1 : rows.front());
    else
        doc_.SetSelection(rows, std::find(rows.begin(), rows.end(), current) != rows.end() ? current : rows.back());
    // The same row again still shows the stored window in the fields.
    ShowCurrentWindow();
}

const PlaybackWindow* WindowForm::CurrentWindowForEdit() {
    if (backdrop_.BackgroundPicturePath().empty()) {
        Tell("Please Select BackGround Picture ");
        return nullptr;
    }
    const int row = doc_.SelectedOriginalWindow();
    if (row < 0 || row >= doc_.WindowCount()) return nullptr;
    return &doc_.GetPlaybackWindows()[static_cast<std::size_t>(row)];
}

bool WindowForm::StoreEdit(const PlaybackWindow& window, EditGesture::Kind gesture) {
    const WindowEditResult result = doc_.ChangeWindow(doc_.SelectedOriginalWindow(), window, typing_.Step(gesture));
    if (result.Accepted()) return true;
    Tell(WindowBoundsMessage(result));
    return false;
}

void WindowForm::OnFieldEdited(int field, const QString& text) {
    if (telling_) return;
    // Arithmetic waits until the field is left or Enter is pressed: "1920/" is no number yet.
    if (IsArithmetic(text)) return;
    typingIn_ = fields_[static_cast<std::size_t>(field)];
    StoreFieldValue(field, FieldValue(text));
    typingIn_ = nullptr;
}

void WindowForm::CommitArithmetic(int field) {
    QLineEdit* edit = fields_[static_cast<std::size_t>(field)];
    const QString text = edit->text();
    if (telling_ || !IsArithmetic(text)) return;
    const WholeNumberResult result = EvaluateWholeNumberExpression(text);
    const int row = doc_.SelectedOriginalWindow();
    bool stored = false;
    if (result)
        stored = StoreFieldValue(field, result.Value);
    else if (row >= 0)
        Tell(ArithmeticRefusal(text, result.Error));
    // The digits typed before the arithmetic were stored as they came: refused as a whole, the
    // typing leaves the window as it was (the merged step goes away).
    if (!stored) typing_.Cancel();
    // What was worked out is one step; typing on starts the next.
    NewTypingSession();
    // The stored value, whether the result was taken or not.
    edit->clear();
    ShowCurrentWindow();
}

void WindowForm::NewTypingSession() { typing_.Begin(); }

bool WindowForm::StoreFieldValue(int field, long value) {
    const WindowFieldDef& def = WindowFields()[static_cast<std::size_t>(field)];
    if (value == 0 && def.ZeroMessage != nullptr) {
        if (doc_.SelectedOriginalWindow() >= 0) Tell(def.ZeroMessage);
        return false;
    }
    const PlaybackWindow* current = CurrentWindowForEdit();
    if (current == nullptr) return false;
    PlaybackWindow w = *current;
    // Above 65535 no start or size fits: kept at the largest value so the check refuses it
    // with the message of the right edge.
    w.*def.Member = static_cast<std::uint16_t>(std::min(value, 65535L));
    return StoreEdit(w, def.Gesture);
}

void WindowForm::OnMapModeChosen(int mode) {
    if (doc_.Selection().size() > 1 && mode >= 0 && mode < MapModeCount) {
        // A mode for all the selected windows, refused as a whole.
        if (!backdrop_.BackgroundPicturePath().empty()) {
            const WindowEditResult result = SetSelectionMode(doc_, mode);
            if (!result.Accepted()) Tell(WindowBoundsMessage(result));
        } else {
            Tell("Please Select BackGround Picture ");
        }
        ShowCurrentWindow();
        return;
    }
    const PlaybackWindow* current = CurrentWindowForEdit();
    if (current != nullptr && mode >= 0 && mode < MapModeCount) {
        PlaybackWindow w = *current;
        w.MapMode = static_cast<std::uint8_t>(mode);
        StoreEdit(w, EditGesture::Kind::MapModeBox);
    }
    // A refused or impossible mode: the box shows the stored one again.
    ShowCurrentWindow();
}

void WindowForm::AddWindow() {
    if (backdrop_.BackgroundPicturePath().empty()) return Tell("Please Select BackGround Picture ");
    // The new row becomes the list's selected and current row; the keyboard focus stays where it was.
    const WindowEditResult result = doc_.AddWindow(MakeWindow(0, 0, 8, 8, 0, 0, 0));
    if (!result.Accepted()) return Tell(WindowBoundsMessage(result));
}

void WindowForm::DeleteSelectedWindow() { DeleteSelection(doc_); }

void WindowForm::Tell(const std::string& text) {
    if (boxes_ == nullptr) return;
    telling_ = true;
    boxes_->Show(ApplicationMessage(text));
    telling_ = false;
}

}  // namespace tesselink
