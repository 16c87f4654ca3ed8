// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/frame_pacer.h"

namespace tesselink {
namespace {

FramePacer::Clock::duration Seconds(double s) {
    return std::chrono::duration_cast<FramePacer::Clock::duration>(std::chrono::duration<double>(s));
}

// A frame a hair early is due: timers fire to the millisecond, frames are timed finer.
constexpr std::chrono::microseconds Tolerance(500);

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
    if (DueAt(sourceTime) > now + Tolerance) return Verdict::Wait;
    if (nextSourceTime && DueAt(*nextSourceTime) <= now + Tolerance) return Verdict::Drop;
    return Verdict::Show;
}

}  // namespace tesselink
