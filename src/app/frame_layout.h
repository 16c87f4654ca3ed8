// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic of the main window's layout, free of widgets so it is checked with numbers.

#include <array>

namespace tesselink {

constexpr int EditorPaneWidth = 450;

struct PaneSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const PaneSize& o) const { return Width == o.Width && Height == o.Height; }
};

struct InitialPaneSizes {
    PaneSize Editor;    // left
    PaneSize Original;  // upper right
    PaneSize Target;    // lower right
};

// The panes' initial sizes for a client area of width x height:
// 450 x H, (W - 450) x (H / 3 x 2), (W - 450) x (H / 3), integer division.
InitialPaneSizes ComputeInitialPaneSizes(int clientWidth, int clientHeight);

// The three status panes' widths W / 3, W / 6, W / 2 for a client width W.
std::array<int, 3> ComputeStatusPaneWidths(int clientWidth);

// Sizes for a splitter of `available` pixels whose first pane wants `first` and whose
// handle takes `handle` pixels: the second pane takes what is left, never below 0,
// and the first shrinks only when the area is too small for it.
std::array<int, 2> FitSplitterSizes(int first, int available, int handle);

// F6 / Shift+F6: the pane after (or before) `current` among `count` panes, wrapping round;
// with no current pane (-1) the first pane forward, the last pane backward.
int NextPaneIndex(int current, int count, bool forward);

}  // namespace tesselink
