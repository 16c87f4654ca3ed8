// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fill a wall: one window repeated into rows x columns cells, numbered in the order the panels
// are cabled.

#include <string>
#include <vector>

#include "layout/layout_rect.h"
#include "map/map_model.h"

namespace tesselink {

// The corner of the wall where the numbering starts: the grid's corners (row 1, column 1 is the
// window the array is made from; with positive steps it is the top left).
enum class ArrayCorner : int { TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3 };

// The order the cells are numbered (and panels cabled) in: a start corner, rows or columns
// first, and each line either back from where the last one ended (serpentine) or from the same
// side as the first. Sixteen orders; the value is corner x 4 + columns first x 2 + serpentine.
enum class ArrayOrder : int {
    RowsLeftToRight = 0,     // row by row, each from the left
    SerpentineRows = 1,      // row by row, every other row from the right
    ColumnsTopToBottom = 2,  // column by column, each from the top
};
constexpr int ArrayOrderCount = 16;
constexpr ArrayOrder MakeArrayOrder(ArrayCorner start, bool columnsFirst, bool serpentine) {
    return static_cast<ArrayOrder>(static_cast<int>(start) * 4 + (columnsFirst ? 2 : 0) + (serpentine ? 1 : 0));
}
constexpr ArrayCorner StartCorner(ArrayOrder order) { return static_cast<ArrayCorner>(static_cast<int>(order) / 4); }
constexpr bool ColumnsFirst(ArrayOrder order) { return (static_cast<int>(order) & 2) != 0; }
constexpr bool Serpentine(ArrayOrder order) { return (static_cast<int>(order) & 1) != 0; }
// How the order is offered, e.g. "Rows from the top right, serpentine"; the first three keep
// their short names ("Rows, left to right", "Serpentine rows", "Columns, top to bottom").
std::string ArrayOrderName(ArrayOrder order);
// All sixteen, in the order they are offered: the three above first.
std::vector<ArrayOrder> ArrayOrdersOffered();

struct ArrayShape {
    int Rows = 1;
    int Columns = 1;
    int OriginalStepX = 0;  // may be negative: the array then grows to the left or upwards
    int OriginalStepY = 0;
    int TargetStepX = 0;
    int TargetStepY = 0;
    ArrayOrder Order = ArrayOrder::RowsLeftToRight;
    int Mode = 0;  // for every cell, the first included
};

// One row and column; steps of the window's own size and placed size; its mode.
ArrayShape DefaultArrayShape(const PlaybackWindow& window);

// The placed size `window` takes in `mode` (0 x 0 for an unknown mode): the target steps that
// tile the target without gaps once the dialog's mode changes.
PictureSize PlacedSizeIn(const PlaybackWindow& window, int mode);

struct ArrayCell {
    int Row = 0;
    int Column = 0;
    bool operator==(const ArrayCell& o) const { return Row == o.Row && Column == o.Column; }
};

// Every cell in numbering order, starting at the order's corner. Empty for fewer than one row
// or column; an order out of range counts as RowsLeftToRight.
std::vector<ArrayCell> ArrayCellOrder(int rows, int columns, ArrayOrder order);

struct ArrayPlan {
    PlaybackWindow First;       // the window of the first cell in numbering order, in the mode for all
    bool FirstChanged = false;  // it differs from the stored window (another mode or start corner)
    PlaybackWindows Added;      // the other cells in numbering order; empty unless Fits
    int AddedCount = 0;
    bool Fits = false;
    std::string Verdict;  // the preview line: how many are added, and why they do not fit
};

// The array of the window at `index` as `shape` asks. Checked in this order: the rows and columns
// given, the mode, the count, then each cell in numbering order against the original picture and
// the target picture; the verdict names the first cell that does not fit (rows and columns counted
// from 1, as people count them).
ArrayPlan PlanArray(const Map& map, int index, const ArrayShape& shape);

}  // namespace tesselink
