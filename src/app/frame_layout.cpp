// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame_layout.h"

#include <algorithm>

namespace tesselink {

InitialPaneSizes ComputeInitialPaneSizes(int clientWidth, int clientHeight) {
    const int rightWidth = clientWidth - EditorPaneWidth;
    InitialPaneSizes sizes;
    sizes.Editor = {EditorPaneWidth, clientHeight};
    sizes.Original = {rightWidth, (clientHeight / 3) * 2};
    sizes.Target = {rightWidth, clientHeight / 3};
    return sizes;
}

std::array<int, 3> ComputeStatusPaneWidths(int clientWidth) {
    return {clientWidth / 3, clientWidth / 6, clientWidth / 2};
}

std::array<int, 2> FitSplitterSizes(int first, int available, int handle) {
    const int room = std::max(0, available - std::max(0, handle));
    const int firstSize = std::clamp(first, 0, room);
    return {firstSize, room - firstSize};
}

int NextPaneIndex(int current, int count, bool forward) {
    if (count <= 0) return -1;
    if (current < 0 || current >= count) return forward ? 0 : count - 1;
    return forward ? (current + 1) % count : (current + count - 1) % count;
}

}  // namespace tesselink
