// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a player counts for --stats: frames shown and dropped, and how long each frame waited,
// once it was both decoded and due, until it was on the screen.

#include <string>
#include <vector>

namespace tesselink {

class PlayStatistics {
public:
    void Shown(double waitedMilliseconds);
    void Dropped(long long frames = 1) { dropped_ += frames; }
    void Damaged() { ++damaged_; }
    long long ShownFrames() const { return shown_; }
    long long DroppedFrames() const { return dropped_; }

    // "shown 600, dropped 0, source 60.00 fps, decoded to presented median 1.9 ms, worst 4.2 ms"
    // for the frames since the last line (the counts are since the start); the times are left
    // out when no frame was shown since.
    std::string Line(double sourceRate);

private:
    long long shown_ = 0;
    long long dropped_ = 0;
    long long damaged_ = 0;
    std::vector<double> waits_;  // since the last line
};

}  // namespace tesselink
