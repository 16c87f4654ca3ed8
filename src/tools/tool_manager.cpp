// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tool_manager.h"

#include <algorithm>

namespace tesselink {

void ToolManager::Register(Tool* tool) {
    if (tool == nullptr || std::find(tools_.begin(), tools_.end(), tool) != tools_.end()) return;
    tool->setParent(this);
    tool->SetSnapSettings(&snap_);
    tools_.push_back(tool);
    if (active_ == nullptr) Activate(tool);
}

Tool* ToolManager::ToolById(int id) const {
    for (Tool* tool : tools_)
        if (tool->Id() == id) return tool;
    return nullptr;
}

void ToolManager::Activate(Tool* tool) {
    if (tool == nullptr || tool == active_ || std::find(tools_.begin(), tools_.end(), tool) == tools_.end()) return;
    if (active_ != nullptr) active_->Deactivate();
    active_ = tool;
    emit activeToolChanged(tool);
}

}  // namespace tesselink
