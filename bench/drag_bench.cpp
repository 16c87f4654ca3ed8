// SPDX-License-Identifier: GPL-3.0-or-later
// One mouse-move step of a drag in the Original view on a full map: the tool, the tracker, the
// gate, the change notification, both views laid out and painted, 1280 x 720 each, offscreen. Compare with
// BM_MapUpdate64 of the same run.

#include <benchmark/benchmark.h>

#include <QMouseEvent>
#include <QTemporaryDir>

#include <memory>

#include "bench_support.h"
#include "map/map_model.h"
#include "tools/pick_move_tool.h"
#include "tools/tool_manager.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace {

using namespace tesselink;

using namespace tesselink::bench;

constexpr int DraggedWindow = 128;

// 255 windows of every mode in 17 rows of 15, original and target places alike.
Map FullMap() {
    Map map;
    map.Head.OriginalWidth = map.Head.TargetWidth = PictureWidth;
    map.Head.OriginalHeight = map.Head.TargetHeight = PictureHeight;
    for (int i = 0; i < static_cast<int>(MaxWindowCount); ++i) {
        const int x = (i % 15) * 128;
        const int y = (i / 15) * 60;
        map.Windows.push_back(MakeWindow(x, y, 120, 60, x, y, i % MapModeCount));
    }
    return map;
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void BM_DragStep(benchmark::State& state) {
    EnsureApplication();
    QTemporaryDir dir;
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    SilentBoxes boxes;
    backdrop.SetBackgroundPicturePath(DetailedPicture(dir, QStringLiteral("picture.bmp")).toStdString());
    doc.ReplaceMap(FullMap());
    ToolManager tools;
    tools.Register(new PickMoveTool(0, doc, &boxes));
    auto original = std::make_unique<CTesselinkView>(doc, backdrop, &boxes);
    auto target = std::make_unique<CRightView>(doc, backdrop);
    original->SetToolManager(&tools);
    ShowAtViewSize(*original);
    ShowAtViewSize(*target);
    QCoreApplication::processEvents();

    const ViewRect shown = original->DisplayRects()[DraggedWindow];
    const QPoint press((shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2);
    QWidget* port = original->viewport();
    SendMouse(port, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        // Back and forth over 16 pixels, so the window stays on screen.
        step = (step + 1) % 32;
        const int dx = step < 16 ? step + 1 : 32 - step;
        SendMouse(port, QEvent::MouseMove, press + QPoint(dx, dx / 2), Qt::NoButton, Qt::LeftButton);
        const QImage& a = original->RenderViewport();
        const QImage& b = target->RenderViewport();
        benchmark::DoNotOptimize(a.constBits());
        benchmark::DoNotOptimize(b.constBits());
    }
    SendMouse(port, QEvent::MouseButtonRelease, press, Qt::LeftButton, Qt::NoButton);
    if (doc.UndoStack().count() > 1) state.SkipWithError("a drag must stay one undo step");
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

}  // namespace
