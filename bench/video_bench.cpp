// SPDX-License-Identifier: GPL-3.0-or-later
// Video frames through the 64-window map, as --render --video carries each one: through RGB
// (libswscale into words, the split into the original's planes, the banded remap into the
// encoder's frame, and the conversion to the encoder's YUV), or in the frame's own 4:2:0 planes.
#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <random>
#include <vector>

#include "bench_maps.h"
#include "remap/target_bands.h"
#include "video/frame_planes.h"
#include "video/rgb_to_yuv.h"
#include "video/yuv420_remap.h"

namespace {

using namespace tesselink;

// A decoded H.264 frame as FFmpeg hands it out: 4:2:0 planes with padded rows, random content.
AVFrame* DecodedFrame() {
    AVFrame* frame = av_frame_alloc();
    if (!frame) return nullptr;
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = bench::MapWidth;
    frame->height = bench::MapHeight;
    if (av_frame_get_buffer(frame, 0) < 0) {
        av_frame_free(&frame);
        return nullptr;
    }
    std::mt19937 random(21);
    for (int p = 0; p < 3; ++p) {
        const int rows = p == 0 ? frame->height : frame->height / 2;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < frame->linesize[p]; ++x)
                frame->data[p][y * frame->linesize[p] + x] = static_cast<std::uint8_t>(16 + random() % 220);
    }
    return frame;
}

void BM_VideoFrame(benchmark::State& state) {
    AVFrame* frame = DecodedFrame();
    if (!frame) {
        state.SkipWithError("no frame");
        return;
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

// The same frame into an H.264 encoder's 4:2:0 frame without leaving 4:2:0.
void BM_VideoFrameYuv420(benchmark::State& state) {
    AVFrame* frame = DecodedFrame();
    AVFrame* encoded = DecodedFrame();
    if (!frame || !encoded) {
        state.SkipWithError("no frame");
        return;
    }
    const YuvPlanes out{encoded->data[0],     encoded->data[1],     encoded->data[2],
                        encoded->linesize[0], encoded->linesize[1], encoded->linesize[2]};
    const std::uint8_t fill[3] = {164, 128, 128};
    const PlaybackWindows windows = bench::Windows64();
    FramePlanesConverter converter;
    Yuv420Area area;
    Yuv420Remapper remapper;
    std::string why;
    for (auto _ : state) {
        if (!converter.ToYuv420(*frame, bench::MapWidth, bench::MapHeight, area, &why)) {
            state.SkipWithError(why.c_str());
            break;
        }
        remapper.Remap(area, windows, bench::MapWidth, bench::MapHeight, out, fill);
        benchmark::DoNotOptimize(encoded->data[0]);
        benchmark::ClobberMemory();
    }
    area.Release();
    av_frame_free(&frame);
    av_frame_free(&encoded);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 3 * bench::MapWidth * bench::MapHeight / 2);
}
BENCHMARK(BM_VideoFrameYuv420)->Unit(benchmark::kMicrosecond);

// The target's words into the 4:2:0 planes H.264 is encoded from: the program's own loops, and
// libswscale doing the same for reference.
void BM_WordsToYuv420(benchmark::State& state) {
    const bool swscale = state.range(0) == 1;
    std::mt19937 random(22);
    std::vector<std::uint32_t> words(static_cast<std::size_t>(bench::MapWidth) * bench::MapHeight);
    for (auto& word : words) word = 0xFF000000u | (random() & 0xFFFFFFu);
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = bench::MapWidth;
    frame->height = bench::MapHeight;
    av_frame_get_buffer(frame, 64);
    const YuvPlanes out{frame->data[0],     frame->data[1],     frame->data[2],
                        frame->linesize[0], frame->linesize[1], frame->linesize[2]};
    const YuvWeights weights = YuvWeightsFor(1);
    SwsContext* convert =
        sws_getContext(bench::MapWidth, bench::MapHeight, AV_PIX_FMT_BGR0, bench::MapWidth, bench::MapHeight,
                       AV_PIX_FMT_YUV420P, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
    const std::uint8_t* in[4] = {reinterpret_cast<const std::uint8_t*>(words.data())};
    const int inStride[4] = {bench::MapWidth * 4};
    for (auto _ : state) {
        if (swscale)
            sws_scale(convert, in, inStride, 0, bench::MapHeight, frame->data, frame->linesize);
        else
            WordsToYuv420(words.data(), bench::MapWidth, bench::MapWidth, bench::MapHeight, out, weights);
        benchmark::DoNotOptimize(frame->data[0]);
        benchmark::ClobberMemory();
    }
    sws_freeContext(convert);
    av_frame_free(&frame);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 4 * bench::MapWidth * bench::MapHeight);
}
BENCHMARK(BM_WordsToYuv420)->ArgName("swscale")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
