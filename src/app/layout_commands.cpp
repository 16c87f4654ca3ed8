// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/layout_commands.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QSettings>

#include "app/action_registry.h"
#include "app/menu_places.h"
#include "document/tesselink_doc.h"
#include "editor/array_dialog.h"
#include "tools/selection_edits.h"
#include "tools/snap_settings.h"

namespace tesselink {
namespace {

const char* const SnapKey = "Layout/Snap";
const char* const GridKey = "Layout/ShowGrid";
const char* const GridStepKey = "Layout/GridStep";

}  // namespace

LayoutCommands::LayoutCommands(CTesselinkDoc& doc, SnapSettings& snap, MessageBoxes& boxes, QObject* parent)
    : QObject(parent), doc_(doc), snap_(snap), boxes_(boxes) {
    connect(&doc_, &CTesselinkDoc::selectionChanged, this, &LayoutCommands::UpdateEnabled);
    connect(&doc_, &CTesselinkDoc::changed, this, &LayoutCommands::UpdateEnabled);
}

void LayoutCommands::Register(ActionRegistry& registry, QWidget* window) {
    window_ = window;
    // Reachable while a pane has the focus and the menu is closed.
    const auto editItem = [&registry](const char* id, const char* text, QKeySequence shortcut, bool separator) {
        ActionDef def(QString::fromUtf8(id), QString::fromUtf8(text));
        def.Shortcuts = {shortcut};
        def.Place = MenuPlace{MenuIds::Edit, EditSelectionSection, 0, separator};
        def.WindowShortcut = true;
        return registry.Add(def);
    };
    // Text fields keep their own Ctrl+A: their shortcut override comes first.
    if (QAction* all = editItem("selectAll", "Select &All", QKeySequence(QKeySequence::SelectAll), true))
        connect(all, &QAction::triggered, this, &LayoutCommands::SelectAll);
    duplicate_ = editItem("duplicate", "&Duplicate", QKeySequence(Qt::CTRL | Qt::Key_D), false);
    if (duplicate_ != nullptr) connect(duplicate_, &QAction::triggered, this, &LayoutCommands::Duplicate);
    makeArray_ = editItem("makeArray", "Make Arra&y...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), false);
    if (makeArray_ != nullptr) connect(makeArray_, &QAction::triggered, this, &LayoutCommands::MakeArray);
    MenuInfo modes;
    modes.Id = MenuIds::MapMode;
    modes.Title = QStringLiteral("&Map Mode");
    modes.ObjectName = QStringLiteral("mapModeMenu");
    modes.Place = MenuPlace{MenuIds::Edit, EditSelectionSection};
    modes_ = registry.AddMenu(modes);
    for (int mode = 0; mode < MapModeCount; ++mode) {
        ActionDef def(QStringLiteral("mapMode%1").arg(mode), QString::fromUtf8(MapModeText(mode)));
        def.Place = MenuPlace{MenuIds::MapMode, 0};
        if (QAction* action = registry.Add(def))
            connect(action, &QAction::triggered, this, [this, mode] { SetModeOfSelection(mode); });
    }

    QSettings settings;
    snap_.SetEnabled(settings.value(SnapKey, true).toBool());
    snap_.SetGridShown(settings.value(GridKey, false).toBool());
    snap_.SetGridStep(settings.value(GridStepKey, SnapSettings::DefaultGridStep).toInt());
    const auto viewCheck = [&registry](const char* id, const char* text, bool on, bool separator) {
        ActionDef def(QString::fromUtf8(id), QString::fromUtf8(text));
        def.Checkable = true;
        def.Checked = on;
        def.Place = MenuPlace{MenuIds::View, ViewSnapSection, 0, separator};
        return registry.Add(def);
    };
    if (QAction* snapping = viewCheck("viewSnap", "S&nap", snap_.Enabled(), true))
        connect(snapping, &QAction::toggled, this, [this](bool on) {
            snap_.SetEnabled(on);
            SaveSettings();
        });
    if (QAction* grid = viewCheck("viewGrid", "Show &Grid", snap_.GridShown(), false))
        connect(grid, &QAction::toggled, this, [this](bool on) {
            snap_.SetGridShown(on);
            SaveSettings();
        });
    ActionDef step("viewGridStep", QStringLiteral("Grid S&tep..."));
    step.Place = MenuPlace{MenuIds::View, ViewSnapSection};
    if (QAction* action = registry.Add(step))
        connect(action, &QAction::triggered, this, &LayoutCommands::ChooseGridStep);
    UpdateEnabled();
}

void LayoutCommands::SaveSettings() const {
    QSettings settings;
    settings.setValue(SnapKey, snap_.Enabled());
    settings.setValue(GridKey, snap_.GridShown());
    settings.setValue(GridStepKey, snap_.GridStep());
}

void LayoutCommands::UpdateEnabled() {
    const bool any = !doc_.Selection().empty();
    if (duplicate_ != nullptr) duplicate_->setEnabled(any);
    if (makeArray_ != nullptr) makeArray_->setEnabled(doc_.Selection().size() == 1);
    if (modes_ != nullptr) modes_->setEnabled(any);
}

void LayoutCommands::SelectAll() {
    std::vector<int> all;
    for (int i = 0; i < doc_.WindowCount(); ++i) all.push_back(i);
    doc_.SetSelection(all, doc_.SelectedOriginalWindow());
}

void LayoutCommands::Duplicate() {
    std::string message;
    if (!DuplicateSelection(doc_, message) && !message.empty()) boxes_.Show(ApplicationMessage(message));
}

void LayoutCommands::MakeArray() {
    if (doc_.Selection().size() != 1) return;
    const int index = doc_.SelectedOriginalWindow();
    ArrayDialog dialog(doc_.GetMap(), index, window_);
    if (dialog.exec() != QDialog::Accepted || !dialog.Plan().Fits) return;
    const WindowEditResult result = ApplyArray(doc_, index, dialog.Plan());
    if (!result.Accepted()) boxes_.Show(ApplicationMessage(WindowBoundsMessage(result)));
}

void LayoutCommands::SetModeOfSelection(int mode) {
    if (doc_.Selection().empty()) return;
    const WindowEditResult result = SetSelectionMode(doc_, mode);
    if (!result.Accepted()) boxes_.Show(ApplicationMessage(WindowBoundsMessage(result)));
}

void LayoutCommands::ChooseGridStep() {
    bool ok = false;
    const int step =
        QInputDialog::getInt(window_, QStringLiteral("Grid Step"), QStringLiteral("Grid step in picture pixels:"),
                             snap_.GridStep(), 1, 2000, 1, &ok);
    if (!ok) return;
    snap_.SetGridStep(step);
    SaveSettings();
}

}  // namespace tesselink
