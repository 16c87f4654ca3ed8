// SPDX-License-Identifier: GPL-3.0-or-later
// Receives a live source for a while as a display would, taking the newest frame at every 60 Hz
// refresh, and writes one line a second: the signal, frames received, dropped and refused, the
// attempts to open, and the process's resident memory. scripts/bench-live.sh reads the lines.
//   live_source_probe SOURCE SECONDS [ORIGINAL_WIDTH ORIGINAL_HEIGHT]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

extern "C" {
#include <libavutil/log.h>
}

#include "video/live_source.h"

namespace {

// VmRSS from /proc/self/status, in kB; -1 when it cannot be read.
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tesselink;
    using Clock = std::chrono::steady_clock;
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s SOURCE SECONDS [ORIGINAL_WIDTH ORIGINAL_HEIGHT]\n", argv[0]);
        return 2;
    }
    av_log_set_level(AV_LOG_QUIET);
    LiveSourceAddress address;
    std::string why;
    if (!ParseLiveSourceAddress(argv[1], LiveSourceEnvironment::Current(), address, &why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 2;
    }
    const int seconds = std::atoi(argv[2]);
    const int width = argc == 5 ? std::atoi(argv[3]) : 1920;
    const int height = argc == 5 ? std::atoi(argv[4]) : 1080;
    if (seconds <= 0 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "the seconds and the size are positive numbers\n");
        return 2;
    }

    LiveSource source(address, width, height);
    source.Start();
    std::unique_ptr<LiveFrame> frame;
    long long shown = 0;
    double latencySum = 0, latencyWorst = 0;
    const Clock::time_point start = Clock::now();
    Clock::time_point tick = start;
    for (int second = 1; second <= seconds; ++second) {
        const Clock::time_point end = start + std::chrono::seconds(second);
        while (tick + std::chrono::microseconds(16667) <= end) {
            tick += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(tick);
            if (source.TakeFrame(frame)) {
                ++shown;
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - frame->Arrival).count();
                latencySum += ms;
                if (ms > latencyWorst) latencyWorst = ms;
            }
        }
        const LiveSourceStatus status = source.Status();
        std::printf("second=%d signal=%s received=%lld shown=%lld dropped=%lld refused=%lld attempts=%lld rss_kb=%ld\n",
                    second, LiveSignalName(status.Signal), status.Received, shown, status.Dropped, status.Refused,
                    status.Attempts, ResidentKilobytes());
        std::fflush(stdout);
    }
    source.Stop();
    const LiveSourceStatus status = source.Status();
    std::printf(
        "final received=%lld shown=%lld dropped=%lld refused=%lld attempts=%lld wait_ms_mean=%.2f wait_ms_worst=%.2f\n",
        status.Received, shown, status.Dropped, status.Refused, status.Attempts,
        shown > 0 ? latencySum / static_cast<double>(shown) : 0.0, latencyWorst);
    return 0;
}
