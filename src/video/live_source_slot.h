// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a live source hands to the one who shows it: a queue of one frame where the newest frame
// wins. A live picture is worth nothing once a newer one exists, so a frame that the consumer has
// not taken when the next arrives is dropped (and counted) instead of waiting its turn.

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

#include "remap/colour_planes.h"

namespace tesselink {

struct LiveFrame {
    ColourPlanes Planes;  // the original area, by the crop-or-stretch rule
    int SourceWidth = 0;  // the frame as the source sent it
    int SourceHeight = 0;
    double SourceTime = -1;                         // the stream's own time stamp in seconds; negative: none
    std::chrono::steady_clock::time_point Arrival;  // when it came out of the decoder
    long long Number = 0;                           // frames accepted by the source so far, this one included
};

class LiveFrameSlot {
public:
    // Memory for the next frame to fill: a frame handed back earlier, or a new one.
    std::unique_ptr<LiveFrame> Spare();
    // Makes `frame` the newest. An older frame still waiting is dropped and counted.
    void Put(std::unique_ptr<LiveFrame> frame);
    // The newest frame if one came since the last Take, swapped into `frame`, whose previous frame
    // is kept for reuse; false (and `frame` untouched) when nothing new came.
    bool Take(std::unique_ptr<LiveFrame>& frame);
    // Lets go of a waiting frame without counting it (the source starts over).
    void Clear();

    long long Dropped() const;
    long long Delivered() const;  // frames taken

private:
    void KeepSpare(std::unique_ptr<LiveFrame> frame);  // under the lock

    mutable std::mutex mutex_;
    std::unique_ptr<LiveFrame> waiting_;
    std::vector<std::unique_ptr<LiveFrame>> spare_;
    long long dropped_ = 0;
    long long delivered_ = 0;
};

}  // namespace tesselink
