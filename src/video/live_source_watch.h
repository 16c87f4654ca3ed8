// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When a live source has lost its signal and when it opens again: the rule alone, on times given
// by the caller, so that it is tested without waiting. A second without a frame (or an error, or
// the stream's end) is no signal; attempts to open start a second apart until frames come again.

#include <chrono>
#include <string>

namespace tesselink {

enum class LiveSignal {
    Waiting,  // started, no frame yet and not yet a second without one
    Live,     // frames come
    None,     // no signal: the source is being reopened
};

const char* LiveSignalName(LiveSignal signal);

// Frame-by-frame refusals: why a decoded frame of this size and rate cannot be shown, or empty.
// `rate` is in frames per second (the stream's, or from the time stamps); 0 when neither says.
std::string LiveFrameProblem(int width, int height, double rate);

class LiveSignalWatch {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration Silence = std::chrono::seconds(1);
    static constexpr Clock::duration RetryInterval = std::chrono::seconds(1);

    // An attempt to open starts.
    void Opening(Clock::time_point now);
    // A frame was accepted.
    void Frame(Clock::time_point now);
    // The source failed (could not open, an error, the end of the stream), for `reason`.
    void Lost(const std::string& reason);

    // Whether the source has been silent long enough to count as lost: a second since the last
    // frame, or since the attempt started when none came in it.
    bool Silent(Clock::time_point now) const;
    // The latest moment a blocking read may wait before the silence counts.
    Clock::time_point Deadline() const;
    // When the next attempt to open may start.
    Clock::time_point NextAttempt() const { return attemptStart_ + RetryInterval; }

    LiveSignal Signal() const { return signal_; }
    const std::string& Reason() const { return reason_; }
    long long Attempts() const { return attempts_; }

private:
    LiveSignal signal_ = LiveSignal::Waiting;
    std::string reason_;
    Clock::time_point attemptStart_{};
    Clock::time_point lastFrame_{};
    bool frameInAttempt_ = false;
    long long attempts_ = 0;
};

}  // namespace tesselink
