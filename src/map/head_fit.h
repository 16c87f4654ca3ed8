// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which windows stop fitting when the head takes new sizes, and the question that names them.

#include <string>
#include <vector>

#include "map/map_model.h"

namespace tesselink {

struct HeadMisfit {
    int Index = -1;
    FitResult Failed = FitResult::Fits;  // the first failing test
};

// The windows that do not fit `head`, from the last index down, each with its first failing test.
std::vector<HeadMisfit> FindHeadMisfits(const PlaybackWindows& windows, const MapFileHead& head);

// Misfits named one a line in a head-change question; more are counted on one line.
constexpr std::size_t MaxListedHeadMisfits = 20;

// One line per misfit in the order given (the first MaxListedHeadMisfits, then
// "... and N more windows"), then "Are you sure you want to delete  it"; empty when there is
// no misfit.
std::string HeadMisfitQuestion(const std::vector<HeadMisfit>& misfits);

}  // namespace tesselink
