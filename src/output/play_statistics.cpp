// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/play_statistics.h"

#include <algorithm>
#include <cstdio>

namespace tesselink {

void PlayStatistics::Shown(double waitedMilliseconds) {
    ++shown_;
    waits_.push_back(waitedMilliseconds);
}

std::string PlayStatistics::Line(double sourceRate) {
    char text[240];
    int n = std::snprintf(text, sizeof text, "shown %lld, dropped %lld", shown_, dropped_);
    if (damaged_ > 0) n += std::snprintf(text + n, sizeof text - n, ", damaged %lld", damaged_);
    if (sourceRate > 0) n += std::snprintf(text + n, sizeof text - n, ", source %.2f fps", sourceRate);
    if (!waits_.empty()) {
        std::sort(waits_.begin(), waits_.end());
        const std::size_t count = waits_.size();
        const double median = count % 2 == 1 ? waits_[count / 2] : (waits_[count / 2 - 1] + waits_[count / 2]) / 2.0;
        std::snprintf(text + n, sizeof text - n, ", decoded to presented median %.1f ms, worst %.1f ms", median,
                      waits_.back());
    }
    waits_.clear();
    return text;
}

}  // namespace tesselink
