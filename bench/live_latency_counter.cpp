// SPDX-License-Identifier: GPL-3.0-or-later
// The counter of the desktop loop-latency measurement in scripts/bench-live.sh: a frameless window
// at the desktop's top-left corner whose colour tells the frame it shows, changing at every 60 Hz
// tick; and the map that copies it unchanged to the output.
//   live_latency_counter SIZE              shows the counter, SIZE x SIZE pixels, until killed
//   live_latency_counter --map OUT SIZE    writes a map of one window copying SIZE x SIZE 1:1
// Frame n is drawn in the colour (r, g, b) = 85 x the base-4 digits of n mod 64, which survives a
// capture's colour conversion; --decode R G B gives n mod 64 back.
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "map/map_file.h"

namespace {

class Counter : public QRasterWindow {
public:
    Counter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(16);  // Qt rounds; the drift against 60 Hz does not matter for a difference
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            ++frame_;
            update();
        });
        timer_.start();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const int n = frame_ % 64;
        QPainter(this).fillRect(QRect(QPoint(0, 0), size()),
                                QColor((n & 3) * 85, ((n >> 2) & 3) * 85, ((n >> 4) & 3) * 85));
    }

private:
    QTimer timer_;
    long long frame_ = 0;
};

int Digit(int value) { return (value + 42) / 85; }

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--decode") == 0) {
        std::printf("%d\n", Digit(std::atoi(argv[2])) + 4 * Digit(std::atoi(argv[3])) + 16 * Digit(std::atoi(argv[4])));
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "--map") == 0) {
        const int size = std::atoi(argv[3]);
        tesselink::Map map;
        map.Head.OriginalWidth = map.Head.OriginalHeight = size;
        map.Head.TargetWidth = map.Head.TargetHeight = size;
        map.Windows = {tesselink::MakeWindow(0, 0, size, size, 0, 0, 0)};
        map.Head.WindowCount = 1;
        return tesselink::WriteMapFile(map, argv[2]) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SIZE | --map OUT SIZE | --decode R G B\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    Counter counter;
    counter.setFlags(Qt::FramelessWindowHint);
    const int size = std::atoi(argv[1]);
    counter.setGeometry(0, 0, size, size);
    counter.show();
    return app.exec();
}
