// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tools of the picture views and which one is active. The editor session registers
// them; the toolbar shows one button a tool; the views forward their input to the active one.

#include <vector>

#include <QObject>

#include "tools/snap_settings.h"
#include "tools/tool.h"

namespace tesselink {

class ToolManager : public QObject {
    Q_OBJECT
public:
    explicit ToolManager(QObject* parent = nullptr) : QObject(parent) {}

    // Takes `tool` over; the first one registered is active from the start.
    void Register(Tool* tool);
    const std::vector<Tool*>& Tools() const { return tools_; }
    Tool* ActiveTool() const { return active_; }
    Tool* ToolById(int id) const;

    // Makes `tool` (one of the registered) the active one; the one before ends what it was doing.
    void Activate(Tool* tool);
    void ActivateById(int id) { Activate(ToolById(id)); }

    // Snapping and the grid, for every tool and view.
    SnapSettings& Snap() { return snap_; }
    const SnapSettings& Snap() const { return snap_; }

signals:
    void activeToolChanged(tesselink::Tool* tool);

private:
    std::vector<Tool*> tools_;
    Tool* active_ = nullptr;
    SnapSettings snap_;
};

}  // namespace tesselink
