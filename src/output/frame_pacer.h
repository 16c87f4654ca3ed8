// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When each frame of a source is shown. The first frame shown fixes the clock: a frame whose time
// is t seconds after it is due t seconds after it was shown. At a refresh the newest frame that
// is due (or less than 40 % of a frame interval from it) is shown; older frames that are also due
// are dropped (the machine fell behind), so a steady source shows every frame exactly once.

#include <chrono>
#include <optional>

namespace tesselink {

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    enum class Verdict {
        Wait,  // not due yet: keep it for a later refresh
        Show,  // due, and no later frame is: show it now
        Drop,  // due, but so is the next one: skip it
    };

    // Forgets the clock; the next frame judged starts it.
    void Reset() { started_ = false; }
    bool Started() const { return started_; }
    // Fixes the clock: source time `sourceTime` is due at `now`.
    void Start(Clock::time_point now, double sourceTime);
    // Ties the clock to the system clock instead: source time 0 is due at `zero` (players in step).
    void StartAt(Clock::time_point zero);

    Clock::time_point DueAt(double sourceTime) const;
    // What to do with the frame at `sourceTime`, given the time of the frame after it when that one
    // is decoded already. Starts the clock with this frame when it is not running.
    Verdict Judge(double sourceTime, std::optional<double> nextSourceTime, Clock::time_point now);

private:
    bool started_ = false;
    Clock::time_point zero_{};  // when source time 0 is due
    double interval_ = 0;       // seconds between the last two frames judged
};

}  // namespace tesselink
