// SPDX-License-Identifier: GPL-3.0-or-later
// The one-frame queue between a live source and its consumer on simulated timelines, and the
// loss-of-signal rule on a fake clock.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "video/live_source_slot.h"
#include "video/live_source_watch.h"

namespace tesselink {
namespace {

using Clock = LiveSignalWatch::Clock;
using std::chrono::milliseconds;

// A producer putting a frame every `produceMs` and a consumer taking at every `consumeMs`, over
// `totalMs`; what the consumer got, in order.
struct Timeline {
    std::vector<long long> taken;
    long long produced = 0;
    long long dropped = 0;
    std::set<const LiveFrame*> distinctFrames;
};

Timeline Simulate(int produceMs, int consumeMs, int totalMs) {
    LiveFrameSlot slot;
    Timeline run;
    std::unique_ptr<LiveFrame> held;
    for (int t = 0; t <= totalMs; ++t) {
        if (t % produceMs == 0) {
            std::unique_ptr<LiveFrame> frame = slot.Spare();
            run.distinctFrames.insert(frame.get());
            frame->Number = ++run.produced;
            slot.Put(std::move(frame));
        }
        if (t % consumeMs == consumeMs - 1 && slot.Take(held)) run.taken.push_back(held->Number);
    }
    run.dropped = slot.Dropped();
    EXPECT_EQ(slot.Delivered(), static_cast<long long>(run.taken.size()));
    return run;
}

TEST(LiveFrameSlotTest, AConsumerFasterThanTheSourceGetsEveryFrameOnce) {
    const Timeline run = Simulate(33, 16, 3000);
    EXPECT_EQ(run.dropped, 0);
    ASSERT_EQ(static_cast<long long>(run.taken.size()), run.produced);
    for (std::size_t i = 0; i < run.taken.size(); ++i) EXPECT_EQ(run.taken[i], static_cast<long long>(i) + 1);
}

TEST(LiveFrameSlotTest, ASlowConsumerGetsTheNewestFrameAndTheRestAreCountedAsDropped) {
    const Timeline run = Simulate(10, 40, 2000);
    ASSERT_FALSE(run.taken.empty());
    // Each take is the frame put last before it: four frames a take, the newest of them.
    for (std::size_t i = 0; i < run.taken.size(); ++i) EXPECT_EQ(run.taken[i], 4 * static_cast<long long>(i) + 4);
    // Every frame is either shown or dropped, but for the one still waiting at the end.
    EXPECT_EQ(run.dropped + static_cast<long long>(run.taken.size()) + 1, run.produced);
    // Memory is reused, not grown: the frames in flight and two spares.
    EXPECT_LE(run.distinctFrames.size(), 4u);
}

TEST(LiveFrameSlotTest, NothingNewLeavesTheHeldFrameAndClearDropsWithoutCounting) {
    LiveFrameSlot slot;
    std::unique_ptr<LiveFrame> held;
    EXPECT_FALSE(slot.Take(held));
    EXPECT_EQ(held, nullptr);
    auto frame = slot.Spare();
    frame->Number = 7;
    slot.Put(std::move(frame));
    ASSERT_TRUE(slot.Take(held));
    EXPECT_FALSE(slot.Take(held));  // the same frame is not handed out twice
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->Number, 7);
    slot.Put(slot.Spare());
    slot.Clear();
    EXPECT_FALSE(slot.Take(held));
    EXPECT_EQ(held->Number, 7);
    EXPECT_EQ(slot.Dropped(), 0);
}

TEST(LiveSignalWatchTest, ASecondWithoutAFrameIsNoSignalAndAttemptsComeASecondApart) {
    LiveSignalWatch watch;
    const Clock::time_point t0 = Clock::time_point() + std::chrono::hours(1);
    watch.Opening(t0);
    EXPECT_EQ(watch.Signal(), LiveSignal::Waiting);
    EXPECT_FALSE(watch.Silent(t0 + milliseconds(999)));
    EXPECT_TRUE(watch.Silent(t0 + milliseconds(1000)));

    watch.Frame(t0 + milliseconds(500));
    EXPECT_EQ(watch.Signal(), LiveSignal::Live);
    EXPECT_FALSE(watch.Silent(t0 + milliseconds(1499)));
    EXPECT_TRUE(watch.Silent(t0 + milliseconds(1500)));
    EXPECT_EQ(watch.Deadline(), t0 + milliseconds(1500));

    // An early failure still waits for the second since the attempt began.
    watch.Lost("the stream ended");
    EXPECT_EQ(watch.Signal(), LiveSignal::None);
    EXPECT_EQ(watch.Reason(), "the stream ended");
    EXPECT_EQ(watch.NextAttempt(), t0 + milliseconds(1000));

    // A new attempt starts its own second, whatever the last frame was.
    const Clock::time_point t1 = t0 + milliseconds(1000);
    watch.Opening(t1);
    EXPECT_EQ(watch.Deadline(), t1 + milliseconds(1000));
    EXPECT_EQ(watch.Signal(), LiveSignal::None);
    watch.Frame(t1 + milliseconds(200));
    EXPECT_EQ(watch.Signal(), LiveSignal::Live);
    EXPECT_TRUE(watch.Reason().empty());
    EXPECT_EQ(watch.Attempts(), 2);
}

TEST(LiveSignalWatchTest, FramesWithoutSizeTooLargeOrWithoutRateAreRefused) {
    EXPECT_EQ(LiveFrameProblem(1920, 1080, 30), "");
    EXPECT_EQ(LiveFrameProblem(16384, 16384, 0.5), "");
    EXPECT_NE(LiveFrameProblem(0, 1080, 30).find("no size"), std::string::npos);
    EXPECT_NE(LiveFrameProblem(1920, -2, 30).find("no size"), std::string::npos);
    EXPECT_NE(LiveFrameProblem(16385, 8, 30).find("larger than 16384"), std::string::npos);
    EXPECT_NE(LiveFrameProblem(8, 16385, 30).find("larger than 16384"), std::string::npos);
    EXPECT_NE(LiveFrameProblem(640, 480, 0).find("frame rate of 0"), std::string::npos);
    EXPECT_NE(LiveFrameProblem(640, 480, std::nan("")).find("frame rate of 0"), std::string::npos);
    EXPECT_NE(LiveFrameProblem(640, 480, std::numeric_limits<double>::infinity()).find("frame rate"),
              std::string::npos);
}

}  // namespace
}  // namespace tesselink
