// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing new windows in one map mode: a rubber band on empty area of the Original view
// becomes a window with that mode at the target's top-left corner. Everywhere else the
// tool picks and moves as the pick tool does.

#include "tools/pick_move_tool.h"

namespace tesselink {

class DrawWindowTool : public PickMoveTool {
    Q_OBJECT
public:
    DrawWindowTool(int id, int mapMode, CTesselinkDoc& doc, MessageBoxes* boxes, QObject* parent = nullptr)
        : PickMoveTool(id, doc, boxes, parent), mapMode_(mapMode) {}

    int MapMode() const { return mapMode_; }
    Qt::CursorShape HoverCursor(ToolSurface& view, int x, int y) override;

protected:
    void PressOnEmptyArea(ToolSurface& view, const ToolPoint& at) override;
    void FinishRubberBand(const ViewRect& rect, bool drawn) override;
    PlaybackWindow NewWindowFor(const ViewRect& rect) const override;

private:
    int mapMode_;
};

}  // namespace tesselink
