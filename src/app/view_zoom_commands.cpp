// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/view_zoom_commands.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "app/action_registry.h"
#include "app/menu_places.h"
#include "views/zoom_controller.h"

namespace tesselink {

ViewZoomCommands::ViewZoomCommands(ZoomController& zoom, QObject* parent) : QObject(parent), zoom_(zoom) {}

void ViewZoomCommands::Register(ActionRegistry& registry) {
    auto add = [&](const char* id, const char* text, QList<QKeySequence> keys, void (ZoomController::*slot)(),
                   bool separator) {
        ActionDef def(QString::fromUtf8(id), QString::fromUtf8(text));
        def.Shortcuts = std::move(keys);
        def.Place = MenuPlace{MenuIds::View, ViewZoomSection, 0, separator, false};
        def.WindowShortcut = true;
        QAction* action = registry.Add(def);
        if (action != nullptr) connect(action, &QAction::triggered, &zoom_, slot);
        return action;
    };
    add("viewZoomIn", "Zoom &In", QKeySequence::keyBindings(QKeySequence::ZoomIn), &ZoomController::ZoomIn, true);
    add("viewZoomOut", "Zoom &Out", QKeySequence::keyBindings(QKeySequence::ZoomOut), &ZoomController::ZoomOut, false);
    // Qt has no standard key for fitting; Ctrl+0 sits beside the zoom keys.
    fit_ = add("viewFit", "&Fit", {QKeySequence(Qt::CTRL | Qt::Key_0)}, &ZoomController::Fit, false);
}

}  // namespace tesselink
