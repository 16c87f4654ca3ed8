// SPDX-License-Identifier: GPL-3.0-or-later
// An output's work for one frame beyond decoding: the 64-window map's 1920 x 1080 target composed
// from the frame's planes and handed to an output window, which copies it to its backing store.
// Compare with BM_MapUpdate64 of the same run.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "bench_maps.h"
#include "bench_support.h"
#include "output/output_window.h"
#include "stage/target_composer.h"

namespace {

using namespace tesselink;

constexpr int Width = 1920;
constexpr int Height = 1080;

ColourPlanes NoisePlanes() {
    ColourPlanes planes;
    planes.Allocate(Width, Height);
    std::mt19937 random(21);
    for (int c = 0; c < 3; ++c) {
        std::uint8_t* p = planes.Plane(c);
        for (int i = 0; i < Width * Height; ++i) p[i] = static_cast<std::uint8_t>(random());
    }
    return planes;
}

void ComposeAndPresent(benchmark::State& state, int outputs) {
    bench::EnsureApplication();
    const ColourPlanes source = NoisePlanes();
    MapFileHead head;
    head.OriginalWidth = head.TargetWidth = Width;
    head.OriginalHeight = head.TargetHeight = Height;
    const PlaybackWindows windows = bench::Windows64();
    std::vector<std::unique_ptr<OutputWindow>> windowsShown;
    std::vector<TargetComposer> composers(static_cast<std::size_t>(outputs));
    for (int i = 0; i < outputs; ++i) {
        auto window = std::make_unique<OutputWindow>();
        window->Place(nullptr, QRect(0, 0, Width, Height));
        window->show();
        windowsShown.push_back(std::move(window));
        composers[static_cast<std::size_t>(i)].SetMap(windows, head, CoverMode::None);
    }
    QCoreApplication::processEvents();
    for (auto _ : state) {
        for (int i = 0; i < outputs; ++i) {
            const auto k = static_cast<std::size_t>(i);
            TargetComposer& composer = composers[k];
            composer.SetMap(windows, head, CoverMode::None);
            windowsShown[k]->Present(QSize(Width, Height), [&](std::uint32_t* words, std::ptrdiff_t stride) {
                return composer.ComposeWholeInto(source, words, stride);
            });
        }
        benchmark::ClobberMemory();
    }
}

// One output, as --play drives it.
void BM_OutputFrame(benchmark::State& state) { ComposeAndPresent(state, 1); }
BENCHMARK(BM_OutputFrame)->Unit(benchmark::kMicrosecond);

// Four outputs from one frame, as a show of four maps.
void BM_OutputFrameFourOutputs(benchmark::State& state) { ComposeAndPresent(state, 4); }
BENCHMARK(BM_OutputFrameFourOutputs)->Unit(benchmark::kMicrosecond);

}  // namespace
