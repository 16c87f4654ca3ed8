// SPDX-License-Identifier: GPL-3.0-or-later
// Remap engine timings, each beside a memcpy of the same bytes measured in the same run.
#include <benchmark/benchmark.h>

#include <QImage>

#include <cstring>
#include <random>
#include <vector>

#include "bench_maps.h"
#include "build_info.h"
#include "picture/area_scale.h"
#include "picture/target_image.h"
#include "remap/colour_planes.h"
#include "remap/remap.h"
#include "remap/remap_kernels.h"

namespace {

using namespace tesselink;

constexpr int Width = 1920;
constexpr int Height = 1080;
constexpr std::size_t PlaneBytes = static_cast<std::size_t>(Width) * Height;

// Printed with the context, before the first figure.
const bool BuildContextAdded = [] {
    benchmark::AddCustomContext("tesselink_build_type", TESSELINK_BENCH_BUILD_TYPE);
    benchmark::AddCustomContext("tesselink_compiler", TESSELINK_BENCH_COMPILER);
    benchmark::AddCustomContext("tesselink_cxx_flags", TESSELINK_BENCH_CXX_FLAGS);
    benchmark::AddCustomContext("tesselink_remap_kernels", kernels::KernelSetName(kernels::BestKernelSet()));
    return true;
}();

// Plane memory as the program allocates it, for the figures and their references alike.
using Plane = std::vector<std::uint8_t, CacheLineAllocator<std::uint8_t>>;

Plane RandomPlane(unsigned seed) {
    std::mt19937 random(seed);
    Plane plane(PlaneBytes);
    for (auto& b : plane) b = static_cast<std::uint8_t>(random());
    return plane;
}

void BM_Memcpy1Plane(benchmark::State& state) {
    const auto src = RandomPlane(1);
    Plane dst(PlaneBytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), PlaneBytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * PlaneBytes);
}
BENCHMARK(BM_Memcpy1Plane);

void BM_Memcpy3Planes(benchmark::State& state) {
    const auto r = RandomPlane(1), g = RandomPlane(2), b = RandomPlane(3);
    Plane dr(PlaneBytes), dg(PlaneBytes), db(PlaneBytes);
    for (auto _ : state) {
        std::memcpy(dr.data(), r.data(), PlaneBytes);
        std::memcpy(dg.data(), g.data(), PlaneBytes);
        std::memcpy(db.data(), b.data(), PlaneBytes);
        benchmark::DoNotOptimize(dr.data());
        benchmark::DoNotOptimize(dg.data());
        benchmark::DoNotOptimize(db.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 3 * PlaneBytes);
}
BENCHMARK(BM_Memcpy3Planes);

// One 1920 x 1080 plane as one whole-picture window in mode N (the quarter turns write a
// 1080 x 1920 plane).
void BM_RemapMode(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    const auto src = RandomPlane(4);
    Plane dst(PlaneBytes);
    const bool turned = mode == 1 || mode == 2;
    const std::ptrdiff_t dstStride = turned ? Height : Width;
    for (auto _ : state) {
        kernels::RemapBlock(mode, src.data(), Width, Width, Height, dst.data(), dstStride);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * PlaneBytes);
}
BENCHMARK(BM_RemapMode)->DenseRange(0, 5);

// A 1920 x 1080 target tiled by 64 windows (8 x 8 places of 240 x 135) in mixed modes: every
// window on the three planes and the conversion to the picture, as --render builds it.
void BM_MapUpdate64(benchmark::State& state) {
    ColourPlanes source;
    source.Allocate(Width, Height);
    for (int c = 0; c < 3; ++c) {
        const auto plane = RandomPlane(10 + c);
        std::memcpy(source.Plane(c), plane.data(), PlaneBytes);
    }
    const PlaybackWindows windows = bench::Windows64();
    TargetImage image;
    for (auto _ : state) {
        const QImage& shown = image.Render(source, windows, Width, Height);
        benchmark::DoNotOptimize(shown.constBits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 3 * PlaneBytes);
}
BENCHMARK(BM_MapUpdate64)->Unit(benchmark::kMicrosecond);

// Planes from a decoded 1920 x 1080 picture.
void BM_BuildColourPlanes(benchmark::State& state) {
    QImage picture(Width, Height, QImage::Format_RGB32);
    std::mt19937 random(8);
    for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < Width; ++x) row[x] = 0xFF000000u | (random() & 0xFFFFFF);
    }
    const PixelSource pixels{reinterpret_cast<const std::uint32_t*>(picture.constBits()), Width, Height,
                             picture.bytesPerLine() / 4};
    ColourPlanes planes;
    for (auto _ : state) {
        BuildColourPlanes(planes, &pixels, 0, 0, Width, Height);
        benchmark::DoNotOptimize(planes.Red());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 3 * PlaneBytes);
}
BENCHMARK(BM_BuildColourPlanes);

// The views' scaled draw: a 1920 x 1080 screenful of a 1920 x 1080 picture at zoom 8, and the
// whole picture at zoom 0.5 (area averaging both ways).
void BM_ScaleAreaAverage(benchmark::State& state) {
    const int zoomTimesTwo = static_cast<int>(state.range(0));
    QImage picture(Width, Height, QImage::Format_RGB32);
    std::mt19937 random(9);
    for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < Width; ++x) row[x] = 0xFF000000u | (random() & 0xFFFFFF);
    }
    const QSize full(Width * zoomTimesTwo / 2, Height * zoomTimesTwo / 2);
    const QRect part(full.width() / 3, full.height() / 3, std::min(Width, full.width()),
                     std::min(Height, full.height()));
    QImage out;
    for (auto _ : state) {
        ScaleAreaAverageInto(picture, picture.rect(), full, part.intersected(QRect(QPoint(0, 0), full)), out);
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(BM_ScaleAreaAverage)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
