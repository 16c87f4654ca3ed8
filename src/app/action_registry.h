// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one list of the program's menu and toolbar items. Each item is registered once, by the
// class that answers it, with what it shows (text, shortcuts, icon, prompts) and where it goes
// (menu, section, order; toolbar position); the registry makes its QAction and announces which
// menu changed, and the main frame lays its menus and toolbar out from that. Nobody else adds to
// a menu, so a new item is a registration in its own file.

#include <QList>
#include <QKeySequence>
#include <QObject>
#include <QString>

#include <map>
#include <optional>
#include <vector>

#include "app/command_ids.h"

class QAction;
class QMenu;
class QWidget;

namespace tesselink {

// Where an item stands in a menu: sections top to bottom, then Order, then registration order.
struct MenuPlace {
    QString Menu;  // the menu's id (MenuIds)
    int Section = 0;
    int Order = 0;
    bool SeparatorBefore = false;
    bool SeparatorAfter = false;
};

struct ActionDef {
    ActionDef(QString id, QString text) : Id(std::move(id)), Text(std::move(text)) {}

    QString Id;                 // unique; the action's object name
    QString Text;               // with '&' mnemonics (and "\t" shortcut texts where the menu shows them)
    int Command = CommandNone;  // a numbered command, kept as the action's data
    QList<QKeySequence> Shortcuts;
    const char* IconPath = nullptr;  // resource path; the icon shows on the toolbar only
    QString StatusTip;
    QString ToolTip;
    bool Checkable = false;
    bool Checked = false;
    bool Enabled = true;
    std::optional<MenuPlace> Place;  // none: a toolbar button only
    int ToolbarPosition = -1;        // -1: not on the toolbar
    // The shortcut also works while the keyboard focus is in a pane and no menu is open.
    bool WindowShortcut = false;
};

struct MenuInfo {
    QString Id;
    QString Title;
    QString ObjectName;
    std::optional<MenuPlace> Place;  // a submenu's place in its parent; none: in the menu bar
    int BarRank = 0;                 // the menu bar's order (MenuBarRank)
    bool Enabled = true;
};

class ActionRegistry : public QObject {
    Q_OBJECT
public:
    // Actions and menus belong to `window`, which also carries the window-wide shortcuts.
    explicit ActionRegistry(QWidget* window);

    // The new action, or nullptr when the id is taken already (the first one stays).
    QAction* Add(const ActionDef& def);
    // An action made elsewhere (an undo stack's, a dock's toggle), placed as `place` says.
    QAction* Adopt(QAction* action, const MenuPlace& place, bool windowShortcut = false);
    // A menu of the bar or a submenu; nullptr when the id is taken already. Items may be registered
    // for it before or after.
    QMenu* AddMenu(const MenuInfo& def);

    QAction* Action(const QString& id) const;
    QAction* ActionForCommand(int command) const;
    QMenu* Menu(const QString& id) const;

    // A menu's entries in order: actions, submenus' menu actions, nullptr for a separator. Never a
    // separator first, last or twice in a row.
    QList<QAction*> Entries(const QString& menuId) const;
    // The menus of the bar, left to right.
    QList<QMenu*> BarMenus() const;
    // The toolbar's items by position.
    const std::map<int, QAction*>& ToolbarItems() const { return toolbar_; }

signals:
    void menuChanged(const QString& menuId);
    void menuBarChanged();
    // `showsToolTip`: the item has a tooltip of its own (otherwise its button shows none).
    void toolbarItemAdded(int position, QAction* action, bool showsToolTip);

private:
    struct Placed {
        QAction* Action;
        MenuPlace Place;
        int Sequence;
    };
    bool PlaceAction(QAction* action, const std::optional<MenuPlace>& place, bool windowShortcut);

    QWidget* window_;
    std::map<QString, QAction*> actions_;
    std::map<int, QAction*> commands_;
    std::map<QString, QMenu*> menus_;
    std::map<QString, int> barRanks_;
    std::vector<Placed> placed_;
    std::map<int, QAction*> toolbar_;
    int sequence_ = 0;
};

}  // namespace tesselink
