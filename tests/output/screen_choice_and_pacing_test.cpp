// SPDX-License-Identifier: GPL-3.0-or-later
// Where an output goes (a screen by name or number, a desktop point, the first by default, and
// the refusals), and when frames are shown: a steady source shows every frame exactly once, a
// slow refresh drops the overtaken frames and never shows one twice or early.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <vector>

#include "output/frame_pacer.h"
#include "output/screen_choice.h"

namespace tesselink {
namespace {

const std::vector<ScreenDescription> Screens = {
    {"DESK", QRect(0, 0, 1920, 1080)}, {"WALL", QRect(1920, 0, 3840, 2160)}, {"7", QRect(-1280, 0, 1280, 1024)}};

TEST(OutputPlacement, ScreenByNameNumberOrDesktopPoint) {
    QString why;
    std::optional<OutputPlace> place = PlaceOutput(Screens, QString(), std::nullopt, &why);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Screen, 0);
    EXPECT_EQ(place->Geometry, QRect(0, 0, 1920, 1080));

    place = PlaceOutput(Screens, "WALL", std::nullopt, &why);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Geometry, QRect(1920, 0, 3840, 2160));
    place = PlaceOutput(Screens, "2", std::nullopt, &why);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Screen, 1);
    // A screen named like a number is found by its name first.
    place = PlaceOutput(Screens, "7", std::nullopt, &why);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Screen, 2);

    // A point: the rest of the screen that holds it, the target's corner at the point.
    place = PlaceOutput(Screens, QString(), QPoint(1920 + 480, 270), &why);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Screen, 1);
    EXPECT_EQ(place->Geometry, QRect(QPoint(2400, 270), QPoint(1920 + 3839, 2159)));
    place = PlaceOutput(Screens, QString(), QPoint(-1280, 1023), &why);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Geometry, QRect(-1280, 1023, 1280, 1));
}

TEST(OutputPlacement, RefusalsNameTheScreensThereAre) {
    QString why;
    EXPECT_FALSE(PlaceOutput(Screens, "HDMI-9", std::nullopt, &why));
    EXPECT_TRUE(why.contains("no screen HDMI-9")) << why.toStdString();
    EXPECT_TRUE(why.contains("2: WALL 3840 x 2160 at 1920,0")) << why.toStdString();
    EXPECT_FALSE(PlaceOutput(Screens, "4", std::nullopt, &why));
    EXPECT_FALSE(PlaceOutput(Screens, "0", std::nullopt, &why));
    // Just past the right and bottom edges, and in the gap below the left screen.
    EXPECT_FALSE(PlaceOutput(Screens, QString(), QPoint(1920 + 3840, 0), &why));
    EXPECT_TRUE(why.contains("--at 5760,0 is on no screen")) << why.toStdString();
    EXPECT_FALSE(PlaceOutput(Screens, QString(), QPoint(0, 1080), &why));
    EXPECT_FALSE(PlaceOutput(Screens, QString(), QPoint(-1, 1024), &why));
    EXPECT_FALSE(PlaceOutput({}, QString(), std::nullopt, &why));
}

TEST(OutputPlacement, OffsetOnTheScreenOrTheWholeScreen) {
    EXPECT_EQ(OutputGeometry(QRect(1920, 0, 1920, 1080), QPoint(100, 50)), QRect(2020, 50, 1820, 1030));
    EXPECT_EQ(OutputGeometry(QRect(1920, 0, 1920, 1080), QPoint(0, 0)), QRect(1920, 0, 1920, 1080));
    EXPECT_EQ(OutputGeometry(QRect(1920, 0, 1920, 1080), QPoint(1920, 0)), QRect(1920, 0, 1920, 1080));
}

using Clock = FramePacer::Clock;
using std::chrono::microseconds;

// Runs a source of `frames` frames at `rate` against refreshes every `refresh`, the decoder
// always `ahead` frames ahead; returns the frame shown at each refresh (-1: none new).
struct PacedRun {
    std::vector<long long> shown;
    long long dropped = 0;
};
PacedRun RunPaced(double rate, microseconds refresh, int frames, microseconds jitter = microseconds(0)) {
    FramePacer pacer;
    PacedRun run;
    const Clock::time_point start{};
    long long next = 0;  // the first frame not yet shown or dropped
    for (int tick = 0; next < frames; ++tick) {
        // Refreshes wobble by up to +-jitter, as timers do.
        const microseconds wobble = (tick % 3 == 0 ? jitter : tick % 3 == 1 ? -jitter : microseconds(0));
        const Clock::time_point now = start + refresh * tick + (tick == 0 ? microseconds(0) : wobble);
        long long shownNow = -1;
        while (next < frames) {
            const std::optional<double> after =
                next + 1 < frames ? std::optional<double>((next + 1) / rate) : std::nullopt;
            const FramePacer::Verdict verdict = pacer.Judge(next / rate, after, now);
            if (verdict == FramePacer::Verdict::Wait) break;
            if (verdict == FramePacer::Verdict::Drop) ++run.dropped;
            if (verdict == FramePacer::Verdict::Show) shownNow = next;
            ++next;
            if (verdict == FramePacer::Verdict::Show) break;
        }
        run.shown.push_back(shownNow);
    }
    return run;
}

TEST(FramePacing, SteadySourceAtTheRefreshRateShowsEveryFrameOnce) {
    const PacedRun run = RunPaced(60.0, microseconds(16667), 600, microseconds(1500));
    EXPECT_EQ(run.dropped, 0);
    long long expected = 0;
    for (long long shown : run.shown) {
        ASSERT_EQ(shown, expected) << "a refresh showed no new frame, or the wrong one";
        ++expected;
    }
}

TEST(FramePacing, HalfRateSourceShowsEachFrameOnceAndNeverEarly) {
    // 30 fps on a 60 Hz refresh: a new frame every other refresh, none dropped.
    const PacedRun run = RunPaced(30.0, microseconds(16667), 300, microseconds(1000));
    EXPECT_EQ(run.dropped, 0);
    long long expected = 0, idle = 0;
    for (std::size_t i = 0; i < run.shown.size(); ++i) {
        if (run.shown[i] < 0) {
            ++idle;
            continue;
        }
        ASSERT_EQ(run.shown[i], expected);
        // Frame n is due at n / 30 s: refresh 2n.
        ASSERT_EQ(static_cast<long long>(i), 2 * expected);
        ++expected;
    }
    EXPECT_EQ(expected, 300);
    EXPECT_EQ(idle, 299);
}

TEST(FramePacing, SlowRefreshDropsOvertakenFramesWithoutRepeats) {
    // 60 fps on a 25 Hz refresh: the machine cannot keep up, so frames are skipped and counted.
    const PacedRun run = RunPaced(60.0, microseconds(40000), 600);
    long long last = -1, shownCount = 0;
    for (long long shown : run.shown) {
        if (shown < 0) continue;
        ASSERT_GT(shown, last) << "a frame shown twice or out of order";
        last = shown;
        ++shownCount;
    }
    EXPECT_EQ(shownCount + run.dropped, 600);
    EXPECT_NEAR(static_cast<double>(run.dropped), 600.0 * (1 - 25.0 / 60.0), 5.0);
}

TEST(FramePacing, ClockTiedToAFixedZeroWaitsForTheFirstFrame) {
    FramePacer pacer;
    const Clock::time_point zero = Clock::time_point{} + std::chrono::seconds(10);
    pacer.StartAt(zero);
    EXPECT_EQ(pacer.Judge(0.0, 0.04, zero - std::chrono::milliseconds(20)), FramePacer::Verdict::Wait);
    EXPECT_EQ(pacer.Judge(0.0, 0.04, zero), FramePacer::Verdict::Show);
    // Started late: everything before the frame due now is dropped.
    EXPECT_EQ(pacer.Judge(0.0, 0.04, zero + std::chrono::milliseconds(50)), FramePacer::Verdict::Drop);
    EXPECT_EQ(pacer.Judge(0.04, 0.08, zero + std::chrono::milliseconds(50)), FramePacer::Verdict::Show);
}

}  // namespace
}  // namespace tesselink
