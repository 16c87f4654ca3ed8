// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The View menu's zoom items: Zoom In and Zoom Out (the fine ladder) and Fit, for the views the
// panel's zoom area names.

#include <QObject>

class QAction;

namespace tesselink {

class ActionRegistry;
class ZoomController;

class ViewZoomCommands : public QObject {
    Q_OBJECT
public:
    explicit ViewZoomCommands(ZoomController& zoom, QObject* parent = nullptr);

    // Registers "Zoom &In" (QKeySequence::ZoomIn), "Zoom &Out" (ZoomOut) and "&Fit" (Ctrl+0) at
    // the end of "&View"; their keys work while a pane has the focus.
    void Register(ActionRegistry& registry);

    QAction* FitAction() const { return fit_; }

private:
    ZoomController& zoom_;
    QAction* fit_ = nullptr;
};

}  // namespace tesselink
