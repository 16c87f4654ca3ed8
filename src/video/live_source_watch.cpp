// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/live_source_watch.h"

#include <cmath>

namespace tesselink {

// The largest frame side taken, as for pictures.
constexpr int MaxLiveFrameSide = 16384;

const char* LiveSignalName(LiveSignal signal) {
    switch (signal) {
    case LiveSignal::Waiting: return "waiting";
    case LiveSignal::Live: return "live";
    case LiveSignal::None: return "no signal";
    }
    return "";
}

std::string LiveFrameProblem(int width, int height, double rate) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0) return "a frame of " + size + " pixels has no size";
    if (width > MaxLiveFrameSide || height > MaxLiveFrameSide)
        return "a frame of " + size + " pixels is larger than " + std::to_string(MaxLiveFrameSide) + " pixels a side";
    if (!(rate > 0) || !std::isfinite(rate)) return "the stream has a frame rate of 0";
    return std::string();
}

void LiveSignalWatch::Opening(Clock::time_point now) {
    attemptStart_ = now;
    frameInAttempt_ = false;
    ++attempts_;
}

void LiveSignalWatch::Frame(Clock::time_point now) {
    lastFrame_ = now;
    frameInAttempt_ = true;
    signal_ = LiveSignal::Live;
    reason_.clear();
}

void LiveSignalWatch::Lost(const std::string& reason) {
    signal_ = LiveSignal::None;
    reason_ = reason;
}

LiveSignalWatch::Clock::time_point LiveSignalWatch::Deadline() const {
    return (frameInAttempt_ ? lastFrame_ : attemptStart_) + Silence;
}

bool LiveSignalWatch::Silent(Clock::time_point now) const { return now >= Deadline(); }

}  // namespace tesselink
