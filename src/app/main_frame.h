// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: menu, toolbar, status bar and the three panes in two splitters.
// Its menus and toolbar are laid out from the action registry, where every item is registered
// once. It answers Exit, About and the View toggles itself; the editor session connects the
// File, zoom and drawing-mode actions to the slots that answer them.

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <QPointer>

#include <array>
#include <functional>
#include <map>

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMenu;
class QMimeData;
class QSplitter;
class QToolBar;
class QUndoStack;

namespace tesselink {

class ActionRegistry;
class StatusPaneLabel;
class ToolManager;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    // Lays the frame out as editor panel | (Original view over Target view). Called once.
    void CreateClient(QWidget* editorPanel, QWidget* originalView, QWidget* targetView);

    // Sets the panes and the status panes to their start sizes for a client area of the
    // given size. Until the user moves a splitter the frame does this again on every
    // resize, so a window manager that maximises late still gets the start layout.
    void ApplyInitialLayout(int clientWidth, int clientHeight);

    // Every menu and toolbar item of the program, this frame's own included.
    ActionRegistry& Registry() const { return *Registry_; }

    // Registers "&Edit" with Undo and Redo of `stack` between "&File" and "&View", and the
    // History dock. Called once.
    void CreateEditMenu(QUndoStack* stack);

    // A dock in `area`, hidden at first, shown and hidden with a check item of "&View".
    void AddDock(QDockWidget* dock, Qt::DockWidgetArea area, const QString& menuText);

    // One checkable toolbar button per tool of `tools`, after the zoom buttons; the active
    // tool's button is the pressed one. Called once.
    void AddToolButtons(ToolManager& tools);

    // Shows the frame, always maximised whatever state was asked for.
    void ActivateFrame();

    // Status pane 0, 1 or 2; texts for other panes are ignored.
    void SetStatusPaneText(int pane, const QString& text);
    QLabel* StatusPane(int pane) const;

    QAction* Action(int command) const;
    // "Open &Recent" under "&File": one entry a map, newest first; disabled when empty.
    QMenu* RecentMenu() const { return RecentMenu_; }
    void SetRecentFiles(const QStringList& files);
    QActionGroup* DrawingModeGroup() const { return DrawingModes_; }
    QToolBar* ToolBar() const { return ToolBar_; }
    QSplitter* OuterSplitter() const { return OuterSplitter_; }
    QSplitter* InnerSplitter() const { return InnerSplitter_; }

    // The panes in F6 order: editor panel, Original view, Target view.
    const QList<QPointer<QWidget>>& Panes() const { return Panes_; }

    // Moves the keyboard focus to the next (or previous) pane.
    void FocusNextPane(bool forward);

    void ShowAboutBox();

    // Asked before the frame closes (Exit, the window manager); false keeps it open.
    void SetCloseGuard(std::function<bool()> mayClose) { closeGuard_ = std::move(mayClose); }
    // Which file a drag over the frame carries that the program takes: its path, or empty to
    // refuse the drag. Setting it lets the frame take drops; what is taken comes by fileDropped.
    void SetDropFilter(std::function<QString(const QMimeData*)> usableFile);

signals:
    // An entry of "Open &Recent" was chosen.
    void RecentFileChosen(const QString& path);
    // A file the drop filter took, once the drop has finished: no question holds up the
    // program the file was dragged from.
    void fileDropped(const QString& path);

public:
    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateToolBar();
    void CreateStatusBar();
    // Lays a menu (or the menu bar) out again from the registry.
    void RebuildMenu(const QString& menuId);
    void RebuildMenuBar();
    void PlaceOnToolbar(int position, QAction* action, bool showsToolTip);

    ActionRegistry* Registry_ = nullptr;
    QActionGroup* DrawingModes_ = nullptr;
    QToolBar* ToolBar_ = nullptr;
    QObject* NoToolTip_ = nullptr;
    std::map<int, QAction*> ToolbarSlots_;  // by position, separators included
    QMenu* RecentMenu_ = nullptr;
    std::array<StatusPaneLabel*, 3> StatusPanes_{};
    QSplitter* OuterSplitter_ = nullptr;
    QSplitter* InnerSplitter_ = nullptr;
    QList<QPointer<QWidget>> Panes_;
    bool InitialLayoutPending_ = true;
    std::function<bool()> closeGuard_;
    std::function<QString(const QMimeData*)> dropFilter_;
};

}  // namespace tesselink
