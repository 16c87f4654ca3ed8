// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of one edit through the document's gate: check, push (merged), notification.
#include <benchmark/benchmark.h>

#include <QObject>

#include "document/tesselink_doc.h"

namespace {

using namespace tesselink;

// A 1920 x 1080 map with 255 windows of mixed modes, one listener counting the changes.
void BM_GateApply(benchmark::State& state) {
    CTesselinkDoc doc;
    Map map;
    map.Head.OriginalWidth = map.Head.TargetWidth = 1920;
    map.Head.OriginalHeight = map.Head.TargetHeight = 1080;
    for (int i = 0; i < 255; ++i)
        map.Windows.push_back(MakeWindow((i % 15) * 120, (i / 15) * 60, 100, 50, (i % 15) * 120, (i / 15) * 60, i % 6));
    doc.ReplaceMap(map);
    long long announced = 0;
    QObject::connect(&doc, &CTesselinkDoc::changed, [&announced](const MapChange&) { ++announced; });

    const int index = 128;
    const EditGesture drag{EditGesture::Kind::OriginalDrag, doc.NewGestureSerial()};
    PlaybackWindow w = doc.GetPlaybackWindows()[index];
    const int startX = w.OriginalStartX;
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 16;
        w.OriginalStartX = static_cast<std::uint16_t>(startX + step);
        benchmark::DoNotOptimize(doc.ChangeWindow(index, w, drag));
    }
    benchmark::DoNotOptimize(announced);
}
BENCHMARK(BM_GateApply);

}  // namespace
