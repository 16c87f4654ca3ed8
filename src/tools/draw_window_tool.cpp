// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/draw_window_tool.h"

#include "document/tesselink_doc.h"

namespace tesselink {

Qt::CursorShape DrawWindowTool::HoverCursor(ToolSurface& view, int x, int y) {
    if (view.Role() == PictureViewRole::Original && CurrentFrameHit(view, x, y) == HitNothing &&
        view.PictureRect().Contains(x, y))
        return Qt::CrossCursor;
    return PickMoveTool::HoverCursor(view, x, y);
}

void DrawWindowTool::PressOnEmptyArea(ToolSurface& view, const ToolPoint& at) {
    // Drawn on the original picture only; a band from the margin selects, as with the arrow.
    if (!view.PictureRect().Contains(at.X, at.Y)) {
        PickMoveTool::PressOnEmptyArea(view, at);
        return;
    }
    if (view.Role() != PictureViewRole::Original) return;
    BeginRubberBand(view, at);
}

PlaybackWindow DrawWindowTool::NewWindowFor(const ViewRect& rect) const {
    return FillWindowFromRect(PlaybackWindow{}, rect, true, mapMode_);
}

void DrawWindowTool::FinishRubberBand(const ViewRect& rect, bool drawn) {
    // A click, or a band without area, adds nothing.
    if (!drawn) return;
    const WindowEditResult result = doc_.AddWindow(NewWindowFor(rect));
    if (!result.Accepted()) ReportRefusal(result);
}

}  // namespace tesselink
