// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/head_fit.h"

namespace tesselink {

std::vector<HeadMisfit> FindHeadMisfits(const PlaybackWindows& windows, const MapFileHead& head) {
    std::vector<HeadMisfit> misfits;
    for (int i = static_cast<int>(windows.size()) - 1; i >= 0; --i) {
        const FitResult r = CheckFit(windows[static_cast<std::size_t>(i)], head);
        if (r != FitResult::Fits) misfits.push_back({i, r});
    }
    return misfits;
}

std::string HeadMisfitQuestion(const std::vector<HeadMisfit>& misfits) {
    if (misfits.empty()) return std::string();
    std::string text;
    std::size_t listed = 0;
    for (const HeadMisfit& m : misfits) {
        const char* what = "";
        switch (m.Failed) {
        case FitResult::OriginalWidthExceeded: what = "Original Width"; break;
        case FitResult::OriginalHeightExceeded: what = "Original Height"; break;
        case FitResult::TargetWidthExceeded: what = "Target Width"; break;
        case FitResult::TargetHeightExceeded: what = "Target Height"; break;
        case FitResult::Fits: continue;
        }
        // A box taller than the screen hides its buttons: the rest are counted, not listed.
        if (listed == MaxListedHeadMisfits) {
            const std::size_t more = misfits.size() - listed;
            text += "... and " + std::to_string(more) + (more == 1 ? " more window\n" : " more windows\n");
            break;
        }
        ++listed;
        text += "the " + std::string(what) + " of The number " + std::to_string(m.Index) +
                " playback window beyond the screen\n";
    }
    return text + "Are you sure you want to delete  it";
}

}  // namespace tesselink
