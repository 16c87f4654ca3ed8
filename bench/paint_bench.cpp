// Painting the two picture views offscreen, 1280 x 720 viewports, at a zoom of each kind:
// a half, a whole number plus a half, and whole numbers low and high.
// The main comes with the other benchmarks of this program.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "map/map_model.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace {

using namespace tesselink;

constexpr int PictureWidth = 1920;
constexpr int PictureHeight = 1080;
constexpr int ViewWidth = 1280;
constexpr int ViewHeight = 720;

// One offscreen application for every benchmark of the process; never torn down, since
// Google Benchmark owns main and static destruction order would be a gamble.
void EnsureApplication() {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "tesselink_bench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

class SilentBoxes : public MessageBoxes {
public:
    MessageAnswer Show(const UserMessage&) override { return MessageAnswer::Ok; }
};

// A 1920 x 1080 picture with detail everywhere, so scaling and remapping do real work.
QString MakePicture(const QTemporaryDir& dir) {
    QImage image(PictureWidth, PictureHeight, QImage::Format_RGB32);
    for (int y = 0; y < PictureHeight; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < PictureWidth; ++x) row[x] = qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, ((x ^ y) * 3) & 0xFF);
    }
    const QString path = dir.filePath("picture.png");
    image.save(path, "PNG");
    return path;
}

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
    QTemporaryDir dir;
    CTesselinkDoc doc;
    SilentBoxes boxes;
    std::unique_ptr<CTesselinkView> original;
    std::unique_ptr<CRightView> target;

    explicit PaintScene(float zoom) {
        EnsureApplication();
        doc.SetBackgroundPicturePath(MakePicture(dir).toStdString());
        Map map;
        map.Head.OriginalWidth = PictureWidth;
        map.Head.OriginalHeight = PictureHeight;
        map.Head.TargetWidth = PictureWidth;
        map.Head.TargetHeight = PictureHeight;
        map.Windows = MixedWindows();
        doc.ReplaceMap(map);
        doc.OriginalZoom = zoom;
        doc.TargetZoom = zoom;
        original = std::make_unique<CTesselinkView>(doc, boxes);
        target = std::make_unique<CRightView>(doc);
        for (PictureScrollView* view : {static_cast<PictureScrollView*>(original.get()),
                                        static_cast<PictureScrollView*>(target.get())}) {
            view->setFrameShape(QFrame::NoFrame);
            view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            view->resize(ViewWidth, ViewHeight);
            view->show();
        }
        QCoreApplication::processEvents();
        original->ApplyZoom(zoom);
        target->ApplyZoom(zoom);
        // Scrolled into the middle, so the view shows an inner part of the picture.
        original->SetScrollPosition(200, 150);
        target->SetScrollPosition(200, 150);
        original->RenderViewport();
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
    const char* const zooms[] = {"0.5", "1.5", "2", "8"};
    for (const char* zoom : zooms)
        benchmark::RegisterBenchmark((std::string("BM_PaintTargetView/zoom:") + zoom).c_str(), BM_PaintTargetView,
                                     std::stof(zoom))
            ->Unit(benchmark::kMicrosecond);
    for (const char* zoom : zooms)
        benchmark::RegisterBenchmark((std::string("BM_PaintOriginalView/zoom:") + zoom).c_str(),
                                     BM_PaintOriginalView, std::stof(zoom))
            ->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace
