// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/live_source_slot.h"

#include <utility>

namespace tesselink {

// Frames in flight are the one being filled, the one waiting and the one the consumer holds; two
// spares cover the hand-overs, and anything beyond goes back to the allocator.
constexpr std::size_t MaxSpares = 2;

std::unique_ptr<LiveFrame> LiveFrameSlot::Spare() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (spare_.empty()) return std::make_unique<LiveFrame>();
    std::unique_ptr<LiveFrame> frame = std::move(spare_.back());
    spare_.pop_back();
    return frame;
}

void LiveFrameSlot::KeepSpare(std::unique_ptr<LiveFrame> frame) {
    if (frame && spare_.size() < MaxSpares) spare_.push_back(std::move(frame));
}

void LiveFrameSlot::Put(std::unique_ptr<LiveFrame> frame) {
    if (!frame) return;
    std::unique_ptr<LiveFrame> older;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (waiting_) ++dropped_;
        older = std::move(waiting_);
        waiting_ = std::move(frame);
        KeepSpare(std::move(older));
    }
}

bool LiveFrameSlot::Take(std::unique_ptr<LiveFrame>& frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!waiting_) return false;
    KeepSpare(std::move(frame));
    frame = std::move(waiting_);
    ++delivered_;
    return true;
}

void LiveFrameSlot::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    KeepSpare(std::move(waiting_));
}

long long LiveFrameSlot::Dropped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

long long LiveFrameSlot::Delivered() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return delivered_;
}

}  // namespace tesselink
