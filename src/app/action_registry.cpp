// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/action_registry.h"

#include <algorithm>

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "app/program_icon.h"

namespace tesselink {

ActionRegistry::ActionRegistry(QWidget* window) : QObject(window), window_(window) {}

QAction* ActionRegistry::Add(const ActionDef& def) {
    if (def.Id.isEmpty() || actions_.count(def.Id) != 0) return nullptr;
    auto* action = new QAction(def.Text, window_);
    action->setObjectName(def.Id);
    if (def.Command != CommandNone) action->setData(def.Command);
    if (def.IconPath != nullptr) action->setIcon(SvgIcon(def.IconPath));
    // The icons are the toolbar's; the menus show text only.
    action->setIconVisibleInMenu(false);
    if (!def.StatusTip.isEmpty()) action->setStatusTip(def.StatusTip);
    if (!def.ToolTip.isEmpty()) action->setToolTip(def.ToolTip);
    if (!def.Shortcuts.isEmpty()) action->setShortcuts(def.Shortcuts);
    action->setCheckable(def.Checkable);
    if (def.Checkable) action->setChecked(def.Checked);
    action->setEnabled(def.Enabled);
    if (def.Command != CommandNone) commands_[def.Command] = action;
    actions_[def.Id] = action;
    if (def.ToolbarPosition >= 0 && toolbar_.count(def.ToolbarPosition) == 0) {
        toolbar_[def.ToolbarPosition] = action;
        emit toolbarItemAdded(def.ToolbarPosition, action, !def.ToolTip.isEmpty());
    }
    PlaceAction(action, def.Place, def.WindowShortcut);
    return action;
}

QAction* ActionRegistry::Adopt(QAction* action, const MenuPlace& place, bool windowShortcut) {
    if (action == nullptr || action->objectName().isEmpty() || actions_.count(action->objectName()) != 0)
        return nullptr;
    actions_[action->objectName()] = action;
    PlaceAction(action, place, windowShortcut);
    return action;
}

bool ActionRegistry::PlaceAction(QAction* action, const std::optional<MenuPlace>& place, bool windowShortcut) {
    if (windowShortcut) window_->addAction(action);
    if (!place) return false;
    placed_.push_back({action, *place, ++sequence_});
    emit menuChanged(place->Menu);
    return true;
}

QMenu* ActionRegistry::AddMenu(const MenuInfo& def) {
    if (def.Id.isEmpty() || menus_.count(def.Id) != 0) return nullptr;
    auto* menu = new QMenu(def.Title, window_);
    menu->setObjectName(def.ObjectName);
    menu->setEnabled(def.Enabled);
    menu->menuAction()->setIconVisibleInMenu(false);
    menus_[def.Id] = menu;
    if (def.Place) {
        placed_.push_back({menu->menuAction(), *def.Place, ++sequence_});
        emit menuChanged(def.Id);  // items registered before it
        emit menuChanged(def.Place->Menu);
    } else {
        barRanks_[def.Id] = def.BarRank;
        emit menuChanged(def.Id);
        emit menuBarChanged();
    }
    return menu;
}

QAction* ActionRegistry::Action(const QString& id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* ActionRegistry::ActionForCommand(int command) const {
    const auto it = commands_.find(command);
    return it == commands_.end() ? nullptr : it->second;
}

QMenu* ActionRegistry::Menu(const QString& id) const {
    const auto it = menus_.find(id);
    return it == menus_.end() ? nullptr : it->second;
}

QList<QAction*> ActionRegistry::Entries(const QString& menuId) const {
    std::vector<const Placed*> items;
    for (const Placed& p : placed_)
        if (p.Place.Menu == menuId) items.push_back(&p);
    std::stable_sort(items.begin(), items.end(), [](const Placed* a, const Placed* b) {
        if (a->Place.Section != b->Place.Section) return a->Place.Section < b->Place.Section;
        if (a->Place.Order != b->Place.Order) return a->Place.Order < b->Place.Order;
        return a->Sequence < b->Sequence;
    });
    QList<QAction*> entries;
    const auto separate = [&entries] {
        if (!entries.isEmpty() && entries.back() != nullptr) entries.append(nullptr);
    };
    for (const Placed* p : items) {
        if (p->Place.SeparatorBefore) separate();
        entries.append(p->Action);
        if (p->Place.SeparatorAfter) separate();
    }
    if (!entries.isEmpty() && entries.back() == nullptr) entries.removeLast();
    return entries;
}

QList<QMenu*> ActionRegistry::BarMenus() const {
    std::vector<std::pair<int, QString>> ranked;
    for (const auto& [id, rank] : barRanks_) ranked.emplace_back(rank, id);
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<QMenu*> menus;
    for (const auto& entry : ranked) menus.append(menus_.at(entry.second));
    return menus;
}

}  // namespace tesselink
