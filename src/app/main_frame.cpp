// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_frame.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QBoxLayout>
#include <QDockWidget>
#include <QStyle>
#include <QUndoView>
#include <QSpacerItem>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include "app/about_box.h"
#include "app/action_registry.h"
#include "app/command_table.h"
#include "app/frame_layout.h"
#include "app/program_icon.h"
#include "app/status_pane_label.h"
#include "tools/tool_manager.h"

namespace tesselink {

namespace {

// Zoom and drawing-mode buttons have no tooltip; Qt would otherwise show the action text.
class NoToolTip : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::ToolTip; }
};

QString ObjectNameOf(int command) { return QStringLiteral("command%1").arg(command); }

// The idle text of the message pane.
const char* const ReadyText = "Ready";

// A status bar whose three panes measure exactly W / 3, W / 6 and W / 2 of its width W, side by
// side from its left edge: QStatusBar's own row keeps a 2-pixel lead and 6 pixels between its
// widgets, which it builds again whenever its height needs change.
class PaneStatusBar : public QStatusBar {
public:
    PaneStatusBar(QWidget* parent, const std::array<StatusPaneLabel*, 3>& panes) : QStatusBar(parent), Panes_(panes) {}

    // Only a row that needs it is changed: every change asks for another layout pass.
    void Tighten() {
        QLayout* outer = layout();
        for (int i = 0; outer != nullptr && i < outer->count(); ++i) {
            auto* row = qobject_cast<QBoxLayout*>(outer->itemAt(i)->layout());
            if (row == nullptr) continue;
            QSpacerItem* lead = row->count() > 0 ? row->itemAt(0)->spacerItem() : nullptr;
            const bool leadTaken = lead != nullptr && lead->sizeHint().width() != 0;
            if (row->spacing() == 0 && !leadTaken) continue;
            if (leadTaken) lead->changeSize(0, 0);
            row->setSpacing(0);
        }
        FitPanes();
    }

protected:
    bool event(QEvent* e) override {
        const bool handled = QStatusBar::event(e);
        if (e->type() == QEvent::LayoutRequest) Tighten();
        return handled;
    }
    void resizeEvent(QResizeEvent* e) override {
        FitPanes();
        QStatusBar::resizeEvent(e);
    }

private:
    void FitPanes() {
        const std::array<int, 3> widths = ComputeStatusPaneWidths(width());
        for (int pane = 0; pane < 3; ++pane)
            if (Panes_[pane] != nullptr) {
                // Its share when there is room; less only when the frame is narrower than its panes.
                Panes_[pane]->SetPreferredWidth(widths[pane]);
                Panes_[pane]->setMaximumWidth(widths[pane]);
            }
    }

    std::array<StatusPaneLabel*, 3> Panes_;
};

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    InitUiResources();
    // The marker shows while the map has unsaved changes.
    setWindowTitle("Tesselink[*]");
    setWindowIcon(ProgramIcon());
    Registry_ = new ActionRegistry(this);
    connect(Registry_, &ActionRegistry::menuChanged, this, &CMainFrame::RebuildMenu);
    connect(Registry_, &ActionRegistry::menuBarChanged, this, &CMainFrame::RebuildMenuBar);
    connect(Registry_, &ActionRegistry::toolbarItemAdded, this, &CMainFrame::PlaceOnToolbar);
    CreateToolBar();
    CreateActions();
    CreateStatusBar();
}

namespace {

int ToolbarPositionOf(int command) {
    const auto& positions = ToolbarPositions();
    const auto it = std::find(positions.begin(), positions.end(), command);
    return it == positions.end() ? -1 : static_cast<int>(it - positions.begin());
}

QList<QKeySequence> ShortcutsOf(int command) {
    switch (command) {
    case CommandFileNew: return {QKeySequence(Qt::CTRL | Qt::Key_N)};
    case CommandFileOpen: return {QKeySequence(Qt::CTRL | Qt::Key_O)};
    case CommandFileSave: return {QKeySequence(Qt::CTRL | Qt::Key_S)};
    default: return {};
    }
}

}  // namespace

void CMainFrame::CreateActions() {
    DrawingModes_ = new QActionGroup(this);
    DrawingModes_->setExclusive(true);

    for (const MenuDef& menu : MainMenus()) {
        MenuInfo info;
        info.Id = QString::fromUtf8(menu.Id);
        info.Title = QString::fromUtf8(menu.Title);
        info.BarRank = menu.BarRank;
        Registry_->AddMenu(info);
        for (const MenuItemDef& item : menu.Items) {
            ActionDef def(ObjectNameOf(item.Command), QString::fromUtf8(item.Text));
            def.Command = item.Command;
            def.IconPath = CommandIconPath(item.Command);
            const CommandPrompt prompt = CommandPromptOf(item.Command);
            if (prompt.StatusText) def.StatusTip = QString::fromUtf8(prompt.StatusText);
            if (prompt.ToolTip) def.ToolTip = QString::fromUtf8(prompt.ToolTip);
            def.Shortcuts = ShortcutsOf(item.Command);
            def.Checkable = def.Checked = item.Command == CommandViewToolbar || item.Command == CommandViewStatusBar;
            def.Place = MenuPlace{info.Id, item.Section};
            def.ToolbarPosition = ToolbarPositionOf(item.Command);
            Registry_->Add(def);
        }
    }
    MenuInfo recent;
    recent.Id = MenuIds::Recent;
    recent.Title = QStringLiteral("Open &Recent");
    recent.ObjectName = QStringLiteral("RecentMenu");
    recent.Place = MenuPlace{MenuIds::File, FileRecentSection};
    recent.Enabled = false;
    RecentMenu_ = Registry_->AddMenu(recent);

    connect(Action(CommandAppExit), &QAction::triggered, this, &QWidget::close);
    connect(Action(CommandAppAbout), &QAction::triggered, this, &CMainFrame::ShowAboutBox);
    // The bar toggles are connected once the bars exist; the editor session connects the rest.
    QAction* toggle = Action(CommandViewToolbar);
    connect(toggle, &QAction::toggled, ToolBar_, &QWidget::setVisible);
    connect(ToolBar_, &QToolBar::visibilityChanged, toggle, [toggle, this](bool visible) {
        // Hiding the whole frame hides the bar too; only the user's choice counts.
        if (isVisible()) toggle->setChecked(visible);
    });

    // F6 and Shift+F6 move between the panes; they have no menu item.
    auto* nextPane = new QAction(this);
    nextPane->setObjectName("nextPane");
    nextPane->setShortcut(QKeySequence(Qt::Key_F6));
    connect(nextPane, &QAction::triggered, this, [this] { FocusNextPane(true); });
    addAction(nextPane);
    auto* previousPane = new QAction(this);
    previousPane->setObjectName("previousPane");
    previousPane->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previousPane, &QAction::triggered, this, [this] { FocusNextPane(false); });
    addAction(previousPane);
}

void CMainFrame::RebuildMenu(const QString& menuId) {
    QMenu* menu = Registry_->Menu(menuId);
    // The recent maps are this frame's own list, filled by SetRecentFiles.
    if (menu == nullptr || menu == RecentMenu_) return;
    menu->clear();
    for (QAction* entry : Registry_->Entries(menuId)) {
        if (entry == nullptr)
            menu->addSeparator();
        else
            menu->addAction(entry);
    }
    // A menu of the bar shows once it has an item.
    RebuildMenuBar();
}

void CMainFrame::RebuildMenuBar() {
    QMenuBar* bar = menuBar();
    for (QAction* title : bar->actions()) bar->removeAction(title);
    for (QMenu* menu : Registry_->BarMenus())
        if (!menu->actions().isEmpty()) bar->addMenu(menu);
}

void CMainFrame::CreateEditMenu(QUndoStack* stack) {
    if (stack == nullptr || Registry_->Menu(MenuIds::Edit) != nullptr) return;
    MenuInfo edit;
    edit.Id = MenuIds::Edit;
    edit.Title = QStringLiteral("&Edit");
    edit.ObjectName = QStringLiteral("EditMenu");
    edit.BarRank = EditMenuRank;
    Registry_->AddMenu(edit);
    QAction* undo = stack->createUndoAction(this, QStringLiteral("&Undo"));
    undo->setObjectName("undo");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = stack->createRedoAction(this, QStringLiteral("&Redo"));
    redo->setObjectName("redo");
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // Reachable with the menu bar hidden behind a focused pane too.
    Registry_->Adopt(undo, MenuPlace{MenuIds::Edit, EditUndoSection}, true);
    Registry_->Adopt(redo, MenuPlace{MenuIds::Edit, EditUndoSection}, true);

    // View > History: every step of the undo history, the saved one marked; a click goes there.
    auto* history = new QDockWidget(QStringLiteral("History"), this);
    history->setObjectName("HistoryDock");
    auto* steps = new QUndoView(stack, history);
    steps->setObjectName("HistoryView");
    steps->setEmptyLabel(QStringLiteral("<opened>"));
    steps->setCleanIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    history->setWidget(steps);
    AddDock(history, Qt::RightDockWidgetArea, QStringLiteral("&History"));
}

void CMainFrame::AddDock(QDockWidget* dock, Qt::DockWidgetArea area, const QString& menuText) {
    // Hidden until asked for, so the described layout of the panes stays as it is.
    addDockWidget(area, dock);
    dock->hide();
    QAction* show = dock->toggleViewAction();
    show->setText(menuText);
    show->setObjectName(QStringLiteral("view") + dock->objectName());
    Registry_->Adopt(show, MenuPlace{MenuIds::View, ViewDocksSection});
}

void CMainFrame::CreateToolBar() {
    ToolBar_ = new QToolBar(this);
    ToolBar_->setObjectName("ToolBar");
    ToolBar_->setIconSize(QSize(24, 24));
    ToolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    ToolBar_->setMovable(true);
    // The bar is shown and hidden through View/Toolbar only.
    ToolBar_->toggleViewAction()->setVisible(false);
    NoToolTip_ = new NoToolTip(ToolBar_);
    // The separators stand at their positions from the start; the buttons join between them.
    const auto& positions = ToolbarPositions();
    for (int position = 0; position < ToolbarPositionCount; ++position)
        if (positions[static_cast<std::size_t>(position)] == CommandNone)
            ToolbarSlots_[position] = ToolBar_->addSeparator();
    addToolBar(Qt::TopToolBarArea, ToolBar_);
}

void CMainFrame::PlaceOnToolbar(int position, QAction* action, bool showsToolTip) {
    if (ToolbarSlots_.count(position) != 0) return;
    const auto next = ToolbarSlots_.upper_bound(position);
    ToolBar_->insertAction(next == ToolbarSlots_.end() ? nullptr : next->second, action);
    ToolbarSlots_[position] = action;
    // Buttons without a tooltip of their own show none; Qt would otherwise show the action text.
    if (!showsToolTip)
        if (QWidget* button = ToolBar_->widgetForAction(action)) button->installEventFilter(NoToolTip_);
}

void CMainFrame::AddToolButtons(ToolManager& tools) {
    for (Tool* tool : tools.Tools()) {
        const int command = tool->Id();
        ActionDef def(ObjectNameOf(command), QString());
        def.Command = command;
        def.IconPath = CommandIconPath(command);
        def.Checkable = true;
        def.Checked = tool == tools.ActiveTool();
        def.ToolbarPosition = ToolbarPositionOf(command);
        QAction* action = Registry_->Add(def);
        if (action == nullptr) continue;
        DrawingModes_->addAction(action);
        connect(action, &QAction::triggered, &tools, [&tools, tool] { tools.Activate(tool); });
    }
    connect(&tools, &ToolManager::activeToolChanged, this, [this](Tool* tool) {
        if (QAction* action = Action(tool->Id())) action->setChecked(true);
    });
}

void CMainFrame::CreateStatusBar() {
    for (int pane = 0; pane < 3; ++pane) {
        auto* label = new StatusPaneLabel(nullptr);
        label->setObjectName(QStringLiteral("statusPane%1").arg(pane));
        StatusPanes_[pane] = label;
    }
    auto* bar = new PaneStatusBar(this, StatusPanes_);
    setStatusBar(bar);
    bar->setObjectName("StatusBar");
    // The frame is always maximised; a size grip would only take a pane's room.
    bar->setSizeGripEnabled(false);
    // Pane 0 is the message pane: fly-by prompts go there (see event()), the views write 1 and 2.
    for (StatusPaneLabel* label : StatusPanes_) bar->addWidget(label);
    bar->Tighten();
    StatusPanes_[0]->setText(ReadyText);

    connect(Action(CommandViewStatusBar), &QAction::toggled, bar, &QWidget::setVisible);
}

void CMainFrame::CreateClient(QWidget* editorPanel, QWidget* originalView, QWidget* targetView) {
    OuterSplitter_ = new QSplitter(Qt::Horizontal, this);
    OuterSplitter_->setObjectName("OuterSplitter");
    OuterSplitter_->setChildrenCollapsible(false);
    InnerSplitter_ = new QSplitter(Qt::Vertical, OuterSplitter_);
    InnerSplitter_->setObjectName("InnerSplitter");
    InnerSplitter_->setChildrenCollapsible(false);

    OuterSplitter_->addWidget(editorPanel);
    OuterSplitter_->addWidget(InnerSplitter_);
    InnerSplitter_->addWidget(originalView);
    InnerSplitter_->addWidget(targetView);
    // Resizing the frame keeps the editor panel's width and the Original view's height.
    OuterSplitter_->setStretchFactor(0, 0);
    OuterSplitter_->setStretchFactor(1, 1);
    InnerSplitter_->setStretchFactor(0, 0);
    InnerSplitter_->setStretchFactor(1, 1);

    Panes_ = {editorPanel, originalView, targetView};
    setCentralWidget(OuterSplitter_);

    auto userMoved = [this] { InitialLayoutPending_ = false; };
    connect(OuterSplitter_, &QSplitter::splitterMoved, this, userMoved);
    connect(InnerSplitter_, &QSplitter::splitterMoved, this, userMoved);
    OuterSplitter_->installEventFilter(this);
    ApplyInitialLayout(OuterSplitter_->width(), OuterSplitter_->height());
}

void CMainFrame::ApplyInitialLayout(int clientWidth, int clientHeight) {
    if (!OuterSplitter_) return;

    const InitialPaneSizes sizes = ComputeInitialPaneSizes(clientWidth, clientHeight);
    const std::array<int, 2> columns = FitSplitterSizes(sizes.Editor.Width, clientWidth, OuterSplitter_->handleWidth());
    const std::array<int, 2> rows =
        FitSplitterSizes(sizes.Original.Height, clientHeight, InnerSplitter_->handleWidth());
    OuterSplitter_->setSizes({columns[0], columns[1]});
    InnerSplitter_->setSizes({rows[0], rows[1]});
}

bool CMainFrame::event(QEvent* event) {
    // Fly-by prompts of menus and buttons take the message pane only, "Ready" when they end.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        SetStatusPaneText(0, tip.isEmpty() ? QString::fromLatin1(ReadyText) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::SetRecentFiles(const QStringList& files) {
    RecentMenu_->clear();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* entry = RecentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        connect(entry, &QAction::triggered, this, [this, path] { emit RecentFileChosen(path); });
    }
    RecentMenu_->setEnabled(!files.isEmpty());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == OuterSplitter_ && event->type() == QEvent::Resize && InitialLayoutPending_)
        ApplyInitialLayout(OuterSplitter_->width(), OuterSplitter_->height());
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::setVisible(bool visible) {
    // Whatever show state is asked for, the frame comes up maximised.
    if (visible && !isVisible())
        setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) | Qt::WindowMaximized);
    QMainWindow::setVisible(visible);
}

void CMainFrame::ActivateFrame() {
    showMaximized();
    raise();
    activateWindow();
}

void CMainFrame::SetStatusPaneText(int pane, const QString& text) {
    if (pane >= 0 && pane < 3) StatusPanes_[pane]->setText(text);
}

QLabel* CMainFrame::StatusPane(int pane) const { return pane >= 0 && pane < 3 ? StatusPanes_[pane] : nullptr; }

QAction* CMainFrame::Action(int command) const { return Registry_->ActionForCommand(command); }

void CMainFrame::FocusNextPane(bool forward) {
    const QWidget* focus = QApplication::focusWidget();
    int current = -1;
    for (int i = 0; i < Panes_.size(); ++i)
        if (Panes_[i] && focus && (Panes_[i] == focus || Panes_[i]->isAncestorOf(focus))) current = i;
    const int next = NextPaneIndex(current, static_cast<int>(Panes_.size()), forward);
    if (next >= 0 && Panes_[next]) Panes_[next]->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (closeGuard_ && !closeGuard_()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::SetDropFilter(std::function<QString(const QMimeData*)> usableFile) {
    dropFilter_ = std::move(usableFile);
    setAcceptDrops(static_cast<bool>(dropFilter_));
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (dropFilter_ && !dropFilter_(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (dropFilter_ && !dropFilter_(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = dropFilter_ ? dropFilter_(event->mimeData()) : QString();
    if (path.isEmpty()) {
        QMainWindow::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this, [this, path] { emit fileDropped(path); }, Qt::QueuedConnection);
}

void CMainFrame::ShowAboutBox() {
    CAboutDlg about(this);
    about.exec();
}

}  // namespace tesselink
