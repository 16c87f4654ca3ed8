// One decoded 1920 x 1080 video frame through the 64-window map, as --render --video carries
// each frame: libswscale into words, the split into the original's planes, the banded remap into
// the encoder's frame.
#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/frame.h>
}

#include <random>
#include <vector>

#include "bench_maps.h"
#include "remap/target_bands.h"
#include "video/frame_planes.h"

namespace {

using namespace tesselink;

void BM_VideoFrame(benchmark::State& state) {
    // A decoded H.264 frame as FFmpeg hands it out: 4:2:0 planes with padded rows.
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = bench::MapWidth;
    frame->height = bench::MapHeight;
    if (!frame || av_frame_get_buffer(frame, 0) < 0) {
        state.SkipWithError("no frame");
        return;
    }
    std::mt19937 random(21);
    for (int p = 0; p < 3; ++p) {
        const int rows = p == 0 ? frame->height : frame->height / 2;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < frame->linesize[p]; ++x)
                frame->data[p][y * frame->linesize[p] + x] = static_cast<std::uint8_t>(16 + random() % 220);
    }
    const PlaybackWindows windows = bench::Windows64();
    FramePlanesConverter converter;
    ColourPlanes planes;
    TargetBandScratch scratch;
    std::vector<std::uint32_t> target(static_cast<std::size_t>(bench::MapWidth) * bench::MapHeight);
    std::string why;
    for (auto _ : state) {
        if (!converter.Convert(*frame, frame->width, frame->height, bench::MapWidth, bench::MapHeight, planes, &why) ||
            !RemapWindowsToRgb32(planes, windows, bench::MapWidth, bench::MapHeight, target.data(), bench::MapWidth,
                                 scratch)) {
            state.SkipWithError(why.c_str());
            break;
        }
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    av_frame_free(&frame);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 3 * bench::MapWidth * bench::MapHeight);
}
BENCHMARK(BM_VideoFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
