// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Edits of the selected windows as one step each: moving, deleting, a mode for all, Duplicate,
// an array. The tools, the panel and the Edit menu share them. With one window selected the
// single-window edits stay what they were.

#include <vector>

#include <QString>

#include "document/tesselink_doc.h"
#include "layout/group_move.h"
#include "layout/window_array.h"

namespace tesselink {

// "Move 5 windows", "Delete 1 window".
QString WindowsStepText(const char* verb, std::size_t count);

// The selected windows moved by `delta` on `side`, the whole group stopped at the picture's
// edge; merged with the steps of `gesture`.
WindowEditResult MoveSelection(CTesselinkDoc& doc, MapSide side, MoveDelta delta, EditGesture gesture);
// The windows `start` (the list at the press of a drag) with the selection moved by `delta`.
WindowEditResult MoveSelectionFrom(CTesselinkDoc& doc, const PlaybackWindows& start, MapSide side, MoveDelta delta,
                                   EditGesture gesture);
// Every selected window goes; false when none was selected.
bool DeleteSelection(CTesselinkDoc& doc);
// Every selected window takes `mode`; refused as a whole when one would no longer fit.
WindowEditResult SetSelectionMode(CTesselinkDoc& doc, int mode);
// Copies of the selected windows appended (DuplicatePlacement), the copies selected. `message`
// says why not when refused.
bool DuplicateSelection(CTesselinkDoc& doc, std::string& message);
// The planned array of the current window: cell (0, 0) changed if its mode is, the others
// appended, the new windows selected.
WindowEditResult ApplyArray(CTesselinkDoc& doc, int index, const ArrayPlan& plan);

}  // namespace tesselink
