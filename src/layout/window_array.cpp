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

std::vector<ArrayCell> ArrayCellOrder(int rows, int columns, ArrayOrder order) {
    std::vector<ArrayCell> cells;
    if (rows < 1 || columns < 1) return cells;
    cells.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    if (order == ArrayOrder::ColumnsTopToBottom) {
        for (int c = 0; c < columns; ++c)
            for (int r = 0; r < rows; ++r) cells.push_back({r, c});
        return cells;
    }
    for (int r = 0; r < rows; ++r) {
        const bool backwards = order == ArrayOrder::SerpentineRows && r % 2 == 1;
        for (int i = 0; i < columns; ++i) cells.push_back({r, backwards ? columns - 1 - i : i});
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
    const PlaybackWindow& first = plan.First;
    PlaybackWindows cells;
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
        if (cell.Row == 0 && cell.Column == 0) continue;
        cells.push_back(MakeWindow(static_cast<int>(ox), static_cast<int>(oy), first.Width, first.Height,
                                   static_cast<int>(tx), static_cast<int>(ty), shape.Mode));
    }
    plan.Added = std::move(cells);
    plan.Fits = true;
    plan.Verdict = adds + ".";
    return plan;
}

}  // namespace tesselink
