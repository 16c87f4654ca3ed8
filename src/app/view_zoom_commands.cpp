// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/view_zoom_commands.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "app/main_frame.h"
#include "views/zoom_controller.h"

namespace tesselink {

ViewZoomCommands::ViewZoomCommands(ZoomController& zoom, QObject* parent) : QObject(parent), zoom_(zoom) {}

void ViewZoomCommands::AddTo(CMainFrame& frame) {
    QMenu* view = frame.ViewMenu();
    if (view == nullptr) return;
    view->addSeparator();
    QAction* in = view->addAction(QStringLiteral("Zoom &In"), &zoom_, &ZoomController::ZoomIn);
    in->setObjectName("viewZoomIn");
    in->setShortcuts(QKeySequence::ZoomIn);
    QAction* out = view->addAction(QStringLiteral("Zoom &Out"), &zoom_, &ZoomController::ZoomOut);
    out->setObjectName("viewZoomOut");
    out->setShortcuts(QKeySequence::ZoomOut);
    // Qt has no standard key for fitting; Ctrl+0 sits beside the zoom keys.
    fit_ = view->addAction(QStringLiteral("&Fit"), &zoom_, &ZoomController::Fit);
    fit_->setObjectName("viewFit");
    fit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    frame.addAction(in);
    frame.addAction(out);
    frame.addAction(fit_);
}

}  // namespace tesselink
