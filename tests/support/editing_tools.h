// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tools of the picture views as the editor registers them: picking first (active at the
// start), then one drawing tool for each map mode. Ids are the test's own. Snapping is off, so
// that edges land exactly where the mouse puts them; a test of what the user meets turns it on.

#include "tools/draw_window_tool.h"
#include "tools/pick_move_tool.h"
#include "tools/tool_manager.h"

namespace tesselink::testing {

struct EditingTools {
    static constexpr int PickId = 100;

    ToolManager Manager;

    EditingTools(CTesselinkDoc& doc, MessageBoxes* boxes) {
        Manager.Register(new PickMoveTool(PickId, doc, boxes));
        for (int mode = 0; mode < MapModeCount; ++mode) Manager.Register(new DrawWindowTool(mode, mode, doc, boxes));
        Manager.Snap().SetEnabled(false);
    }

    void Pick() { Manager.ActivateById(PickId); }
    // Rubber bands on empty area draw windows of `mode`.
    void Draw(int mode) { Manager.ActivateById(mode); }
    Tool& Active() const { return *Manager.ActiveTool(); }
};

}  // namespace tesselink::testing
