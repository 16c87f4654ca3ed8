// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/frame_pacer.h"

#include <algorithm>

namespace tesselink {
namespace {

FramePacer::Clock::duration Seconds(double s) {
    return std::chrono::duration_cast<FramePacer::Clock::duration>(std::chrono::duration<double>(s));
}

// A frame a hair early is due: timers fire to the millisecond, frames are timed finer.
constexpr std::chrono::microseconds MinimumLead(500);

}  // namespace

void FramePacer::Start(Clock::time_point now, double sourceTime) {
    zero_ = now - Seconds(sourceTime);
    started_ = true;
}

void FramePacer::StartAt(Clock::time_point zero) {
    zero_ = zero;
    started_ = true;
}

FramePacer::Clock::time_point FramePacer::DueAt(double sourceTime) const { return zero_ + Seconds(sourceTime); }

FramePacer::Verdict FramePacer::Judge(double sourceTime, std::optional<double> nextSourceTime, Clock::time_point now) {
    if (!started_) Start(now, sourceTime);
    if (nextSourceTime && *nextSourceTime > sourceTime) interval_ = *nextSourceTime - sourceTime;
    // A refresh that comes a little before a frame is due shows it: refreshes and frames at the
    // same rate but out of phase, or a timer that wobbles, must neither hold a frame back to the
    // next refresh (where it would be overtaken) nor show one a refresh early.
    const Clock::duration lead = std::max<Clock::duration>(MinimumLead, Seconds(0.4 * interval_));
    if (DueAt(sourceTime) > now + lead) return Verdict::Wait;
    if (nextSourceTime && DueAt(*nextSourceTime) <= now + lead) return Verdict::Drop;
    return Verdict::Show;
}

}  // namespace tesselink
