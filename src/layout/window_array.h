// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fill a wall: one window repeated into rows x columns cells, numbered in the order the panels
// are cabled.

#include <string>
#include <vector>

#include "layout/layout_rect.h"
#include "map/map_model.h"

namespace tesselink {

enum class ArrayOrder {
    RowsLeftToRight,     // row by row, each from the left
    ColumnsTopToBottom,  // column by column, each from the top
    SerpentineRows,      // row by row, every other row from the right
};

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

// Every cell in numbering order; (0, 0) first in each order. Empty for fewer than one row or column.
std::vector<ArrayCell> ArrayCellOrder(int rows, int columns, ArrayOrder order);

struct ArrayPlan {
    PlaybackWindow First;       // the window of cell (0, 0) in the mode for all
    bool FirstChanged = false;  // it differs from the stored window (the mode for all is another)
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
