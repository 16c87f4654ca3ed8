// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/window_array.h"

#include <algorithm>
#include <cstdint>

namespace tesselink {

namespace {

std::string Windows(long long count) { return std::to_string(count) + (count == 1 ? " window" : " windows"); }

std::string CellName(const ArrayCell& cell) {
    return "(row " + std::to_string(cell.Row + 1) + ", column " + std::to_string(cell.Column + 1) + ")";
}

bool Within(long long start, long long size, long long extent) { return start >= 0 && start + size <= extent; }

}  // namespace

ArrayShape DefaultArrayShape(const PlaybackWindow& window) {
    ArrayShape shape;
    shape.OriginalStepX = window.Width;
    shape.OriginalStepY = window.Height;
    shape.TargetStepX = window.PlacedWidth;
    shape.TargetStepY = window.PlacedHeight;
    shape.Mode = window.MapMode;
    return shape;
}

PictureSize PlacedSizeIn(const PlaybackWindow& window, int mode) {
    if (mode < 0 || mode >= MapModeCount) return {};
    PlaybackWindow turned = window;
    turned.MapMode = static_cast<std::uint8_t>(mode);
    turned.UpdatePlacedSize();
    return {turned.PlacedWidth, turned.PlacedHeight};
}

std::string ArrayOrderName(ArrayOrder order) {
    switch (order) {
    case ArrayOrder::RowsLeftToRight: return "Rows, left to right";
    case ArrayOrder::SerpentineRows: return "Serpentine rows";
    case ArrayOrder::ColumnsTopToBottom: return "Columns, top to bottom";
    default: break;
    }
    static const char* const corners[] = {"top left", "top right", "bottom left", "bottom right"};
    const int corner = static_cast<int>(StartCorner(order)) & 3;
    return std::string(ColumnsFirst(order) ? "Columns" : "Rows") + " from the " + corners[corner] +
           (Serpentine(order) ? ", serpentine" : ", each from the same side");
}

std::vector<ArrayOrder> ArrayOrdersOffered() {
    std::vector<ArrayOrder> orders = {ArrayOrder::RowsLeftToRight, ArrayOrder::ColumnsTopToBottom,
                                      ArrayOrder::SerpentineRows};
    for (int corner = 0; corner < 4; ++corner)
        for (const bool columnsFirst : {false, true})
            for (const bool serpentine : {false, true}) {
                const ArrayOrder order = MakeArrayOrder(static_cast<ArrayCorner>(corner), columnsFirst, serpentine);
                if (std::find(orders.begin(), orders.end(), order) == orders.end()) orders.push_back(order);
            }
    return orders;
}

std::vector<ArrayCell> ArrayCellOrder(int rows, int columns, ArrayOrder order) {
    std::vector<ArrayCell> cells;
    if (rows < 1 || columns < 1) return cells;
    if (static_cast<int>(order) < 0 || static_cast<int>(order) >= ArrayOrderCount) order = ArrayOrder::RowsLeftToRight;
    cells.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    const ArrayCorner corner = StartCorner(order);
    const bool fromRight = corner == ArrayCorner::TopRight || corner == ArrayCorner::BottomRight;
    const bool fromBottom = corner == ArrayCorner::BottomLeft || corner == ArrayCorner::BottomRight;
    const bool columnsFirst = ColumnsFirst(order);
    // Lines are rows (or columns), taken from the start corner's side; cells along a line from
    // the corner's other coordinate, every other line reversed when serpentine.
    const int lines = columnsFirst ? columns : rows;
    const int along = columnsFirst ? rows : columns;
    const bool lineFromEnd = columnsFirst ? fromRight : fromBottom;
    const bool cellFromEnd = columnsFirst ? fromBottom : fromRight;
    for (int l = 0; l < lines; ++l) {
        const int line = lineFromEnd ? lines - 1 - l : l;
        const bool backwards = cellFromEnd != (Serpentine(order) && l % 2 == 1);
        for (int i = 0; i < along; ++i) {
            const int at = backwards ? along - 1 - i : i;
            cells.push_back(columnsFirst ? ArrayCell{at, line} : ArrayCell{line, at});
        }
    }
    return cells;
}

ArrayPlan PlanArray(const Map& map, int index, const ArrayShape& shape) {
    ArrayPlan plan;
    if (index < 0 || static_cast<std::size_t>(index) >= map.Windows.size()) {
        plan.Verdict = "No window is selected.";
        return plan;
    }
    const PlaybackWindow& stored = map.Windows[static_cast<std::size_t>(index)];
    if (shape.Rows < 1 || shape.Columns < 1) {
        plan.Verdict = "Rows and columns start at 1.";
        return plan;
    }
    if (shape.Mode < 0 || shape.Mode >= MapModeCount) {
        plan.Verdict = "Unknown map mode.";
        return plan;
    }
    plan.First = stored;
    plan.First.MapMode = static_cast<std::uint8_t>(shape.Mode);
    plan.First.UpdatePlacedSize();
    plan.FirstChanged = plan.First != stored;

    const long long added = static_cast<long long>(shape.Rows) * shape.Columns - 1;
    plan.AddedCount = static_cast<int>(std::min<long long>(added, 1 << 30));
    const std::string adds = "Adds " + (added == 0 ? std::string("no windows") : Windows(added));
    if (added == 0) {
        plan.Verdict = adds + ".";
        return plan;
    }
    const long long room = static_cast<long long>(MaxWindowCount) - static_cast<long long>(map.Windows.size());
    if (added > room) {
        plan.Verdict = adds + "; a map holds at most 255 playback windows (room for " + Windows(room) + ").";
        return plan;
    }

    const MapFileHead& head = map.Head;
    // Cell (0, 0) is the stored window; the first cell in numbering order takes its place in
    // the list, and the others follow it.
    const PlaybackWindow first = plan.First;
    PlaybackWindows cells;
    bool isFirst = true;
    for (const ArrayCell& cell : ArrayCellOrder(shape.Rows, shape.Columns, shape.Order)) {
        const long long ox = first.OriginalStartX + static_cast<long long>(cell.Column) * shape.OriginalStepX;
        const long long oy = first.OriginalStartY + static_cast<long long>(cell.Row) * shape.OriginalStepY;
        const long long tx = first.TargetStartX + static_cast<long long>(cell.Column) * shape.TargetStepX;
        const long long ty = first.TargetStartY + static_cast<long long>(cell.Row) * shape.TargetStepY;
        if (!Within(ox, first.Width, head.OriginalWidth) || !Within(oy, first.Height, head.OriginalHeight)) {
            plan.Verdict = adds + "; they leave the original picture " + CellName(cell) + ".";
            return plan;
        }
        if (!Within(tx, first.PlacedWidth, head.TargetWidth) || !Within(ty, first.PlacedHeight, head.TargetHeight)) {
            plan.Verdict = adds + "; they leave the target picture " + CellName(cell) + ".";
            return plan;
        }
        PlaybackWindow w = MakeWindow(static_cast<int>(ox), static_cast<int>(oy), first.Width, first.Height,
                                      static_cast<int>(tx), static_cast<int>(ty), shape.Mode);
        if (isFirst) {
            // The reserved byte and anything else of the stored window stay with it.
            plan.First.OriginalStartX = w.OriginalStartX;
            plan.First.OriginalStartY = w.OriginalStartY;
            plan.First.TargetStartX = w.TargetStartX;
            plan.First.TargetStartY = w.TargetStartY;
            isFirst = false;
        } else {
            cells.push_back(w);
        }
    }
    plan.FirstChanged = plan.First != stored;
    plan.Added = std::move(cells);
    plan.Fits = true;
    plan.Verdict = adds + ".";
    return plan;
}

}  // namespace tesselink
