// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the widget benchmarks share: one offscreen application, quiet message boxes, and a
// picture with detail everywhere so that scaling and remapping do real work.

#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include "map/message_boxes.h"

namespace tesselink::bench {

constexpr int PictureWidth = 1920;
constexpr int PictureHeight = 1080;
constexpr int ViewWidth = 1280;
constexpr int ViewHeight = 720;

// One offscreen application for every benchmark of the process; never torn down, since
// Google Benchmark owns main and static destruction order would be a gamble.
inline void EnsureApplication() {
    if (QApplication::instance() != nullptr) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tesselink_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Shown offscreen with a viewport of exactly ViewWidth x ViewHeight.
inline void ShowAtViewSize(QAbstractScrollArea& view) {
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(ViewWidth, ViewHeight);
    view.show();
}

class SilentBoxes : public MessageBoxes {
public:
    MessageAnswer Show(const UserMessage&) override { return MessageAnswer::Ok; }
};

// A PictureWidth x PictureHeight picture saved in `dir` as `name` (its suffix names the format).
inline QString DetailedPicture(const QTemporaryDir& dir, const QString& name) {
    QImage image(PictureWidth, PictureHeight, QImage::Format_RGB32);
    for (int y = 0; y < PictureHeight; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < PictureWidth; ++x) row[x] = qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, ((x ^ y) * 3) & 0xFF);
    }
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

}  // namespace tesselink::bench
