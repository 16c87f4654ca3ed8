// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/layout_commands.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QSettings>

#include "app/main_frame.h"
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

void LayoutCommands::AddTo(CMainFrame& frame) {
    window_ = &frame;
    QMenu* edit = frame.EditMenu();
    if (edit != nullptr) {
        edit->addSeparator();
        QAction* all = edit->addAction(QStringLiteral("Select &All"), this, &LayoutCommands::SelectAll);
        all->setObjectName("selectAll");
        // Text fields keep their own Ctrl+A: their shortcut override comes first.
        all->setShortcut(QKeySequence::SelectAll);
        duplicate_ = edit->addAction(QStringLiteral("&Duplicate"), this, &LayoutCommands::Duplicate);
        duplicate_->setObjectName("duplicate");
        duplicate_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
        makeArray_ = edit->addAction(QStringLiteral("Make Arra&y..."), this, &LayoutCommands::MakeArray);
        makeArray_->setObjectName("makeArray");
        makeArray_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
        modes_ = edit->addMenu(QStringLiteral("&Map Mode"));
        modes_->setObjectName("mapModeMenu");
        for (int mode = 0; mode < MapModeCount; ++mode)
            modes_->addAction(QString::fromUtf8(MapModeText(mode)), this, [this, mode] { SetModeOfSelection(mode); });
        // Reachable while a pane has the focus and the menu is closed.
        frame.addAction(all);
        frame.addAction(duplicate_);
        frame.addAction(makeArray_);
    }

    QSettings settings;
    snap_.SetEnabled(settings.value(SnapKey, true).toBool());
    snap_.SetGridShown(settings.value(GridKey, false).toBool());
    snap_.SetGridStep(settings.value(GridStepKey, SnapSettings::DefaultGridStep).toInt());
    QMenu* view = frame.ViewMenu();
    if (view != nullptr) {
        view->addSeparator();
        QAction* snapping = view->addAction(QStringLiteral("S&nap"));
        snapping->setObjectName("viewSnap");
        snapping->setCheckable(true);
        snapping->setChecked(snap_.Enabled());
        connect(snapping, &QAction::toggled, this, [this](bool on) {
            snap_.SetEnabled(on);
            SaveSettings();
        });
        QAction* grid = view->addAction(QStringLiteral("Show &Grid"));
        grid->setObjectName("viewGrid");
        grid->setCheckable(true);
        grid->setChecked(snap_.GridShown());
        connect(grid, &QAction::toggled, this, [this](bool on) {
            snap_.SetGridShown(on);
            SaveSettings();
        });
        QAction* step = view->addAction(QStringLiteral("Grid S&tep..."), this, &LayoutCommands::ChooseGridStep);
        step->setObjectName("viewGridStep");
    }
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
