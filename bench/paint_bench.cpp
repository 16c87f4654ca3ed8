// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the two picture views offscreen, 1280 x 720 viewports, at a zoom of each kind:
// a half, a whole number plus a half, and whole numbers low and high.
// The main comes with the other benchmarks of this program.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <memory>
#include <string>

#include "bench_support.h"
#include "map/map_model.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace {

using namespace tesselink;

using namespace tesselink::bench;

// 64 windows of every map mode whose places tile the whole target (240 x 135 each, as the
// remap benchmark has them), taken from spread-out places of the original.
PlaybackWindows MixedWindows() {
    PlaybackWindows windows;
    for (int i = 0; i < 64; ++i) {
        const int mode = i % MapModeCount;
        const bool turned = mode == 1 || mode == 2;
        const int w = turned ? 135 : 240, h = turned ? 240 : 135;
        const int ox = (i * 397) % (PictureWidth - w + 1);
        const int oy = (i * 211) % (PictureHeight - h + 1);
        windows.push_back(MakeWindow(ox, oy, w, h, (i % 8) * 240, (i / 8) * 135, mode));
    }
    return windows;
}

// A document and both views, the map head sized to the picture, colour planes built.
struct PaintScene {
    // The application first: the backdrop's file watch needs its event loop.
    bool application = (EnsureApplication(), true);
    QTemporaryDir dir;
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    SilentBoxes boxes;
    std::unique_ptr<CTesselinkView> original;
    std::unique_ptr<CRightView> target;

    explicit PaintScene(float zoom) {
        backdrop.SetBackgroundPicturePath(DetailedPicture(dir, QStringLiteral("picture.png")).toStdString());
        Map map;
        map.Head.OriginalWidth = PictureWidth;
        map.Head.OriginalHeight = PictureHeight;
        map.Head.TargetWidth = PictureWidth;
        map.Head.TargetHeight = PictureHeight;
        map.Windows = MixedWindows();
        doc.ReplaceMap(map);
        original = std::make_unique<CTesselinkView>(doc, backdrop, &boxes);
        target = std::make_unique<CRightView>(doc, backdrop);
        ShowAtViewSize(*original);
        ShowAtViewSize(*target);
        QCoreApplication::processEvents();
        // The views set their extents for the zoom as they follow it.
        original->ZoomObject().SetFactor(zoom);
        target->ZoomObject().SetFactor(zoom);
        // Scrolled into the middle, so the view shows an inner part of the picture.
        original->SetScrollPosition(200, 150);
        target->SetScrollPosition(200, 150);
    }
};

void BM_PaintTargetView(benchmark::State& state, float zoom) {
    PaintScene scene(zoom);
    for (auto _ : state) {
        const QImage image = scene.target->RenderViewport();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_PaintOriginalView(benchmark::State& state, float zoom) {
    PaintScene scene(zoom);
    for (auto _ : state) {
        const QImage image = scene.original->RenderViewport();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}

// Named by the zoom as written ("zoom:1.5"), which a whole-number argument cannot say.
const bool PaintBenchmarksRegistered = [] {
    // 0.354 stands for a fit zoom: a 1920-wide wall in an 810-wide view.
    const char* const zooms[] = {"0.25", "0.354", "0.5", "1.5", "2", "8"};
    for (const char* zoom : zooms)
        benchmark::RegisterBenchmark((std::string("BM_PaintTargetView/zoom:") + zoom).c_str(), BM_PaintTargetView,
                                     std::stof(zoom))
            ->Unit(benchmark::kMicrosecond);
    for (const char* zoom : zooms)
        benchmark::RegisterBenchmark((std::string("BM_PaintOriginalView/zoom:") + zoom).c_str(), BM_PaintOriginalView,
                                     std::stof(zoom))
            ->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace
