// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window table as CSV, one window a line, under the header
// No,MapMode,OriginalX,OriginalY,Width,Height,TargetX,TargetY (No counts from 1, modes 0-5).

#include <string>

#include <QByteArray>

#include "exchange/exchange_problem.h"
#include "map/map_model.h"

namespace tesselink {

// The header line as written, without its line end.
extern const char* const WindowCsvHeader;

// The table, lines ended by "\n". Empty, with the reason in `why`, for a window whose mode is
// not 0-5 (a table of more than 255 windows is written; reading refuses it).
QByteArray WriteWindowCsv(const Map& map, std::string* why = nullptr);

// Reads the windows of `csv` into a map with `head` (its sizes and cover option; its count is
// set from the table). The first non-blank line is the header: it must name MapMode, OriginalX,
// OriginalY, Width, Height, TargetX and TargetY, in any order and any letter case; other columns
// (No among them) are ignored. Windows are taken in line order; blank lines are skipped. Cells
// may be quoted, and a quoted cell may hold line ends; a record is numbered by the line it starts
// on. Each line that fails is reported with its number and reason: a missing cell, a cell that
// is not a whole number 0-65535 ("-0" is 0), a mode other than 0-5, a window refused by the
// check a map file's windows pass on reading or without an area, a window beyond the 255th.
// UTF-16, UTF-32, NUL bytes, lines ended by CR alone and a quote never closed refuse the whole
// file with what it is. On any problem `map` is left alone.
ExchangeRead ReadWindowCsv(const QByteArray& csv, const MapFileHead& head, Map& map);

}  // namespace tesselink
