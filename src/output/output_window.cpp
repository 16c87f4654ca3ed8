// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/output_window.h"

#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>

namespace tesselink {

OutputWindow::OutputWindow(QScreen* screen) : QWindow(screen), store_(this) {
    setSurfaceType(QSurface::RasterSurface);
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setCursor(Qt::BlankCursor);
    setTitle(QStringLiteral("Tesselink output"));
}

OutputWindow::~OutputWindow() = default;

void OutputWindow::Place(QScreen* screen, const QRect& geometry) {
    if (screen) setScreen(screen);
    setGeometry(geometry);
    if (isExposed()) Paint();
}

void OutputWindow::Present(QImage& frame) {
    frame_.swap(frame);
    if (isExposed()) Paint();
}

void OutputWindow::Clear() {
    frame_ = QImage();
    if (isExposed()) Paint();
}

void OutputWindow::exposeEvent(QExposeEvent*) {
    if (isExposed()) Paint();
}

void OutputWindow::resizeEvent(QResizeEvent*) { store_.resize(size()); }

void OutputWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    QWindow::keyPressEvent(event);
}

bool OutputWindow::event(QEvent* event) {
    if (event->type() == QEvent::Close) {
        // The owner decides whether the window goes; it usually does at once.
        emit closeRequested();
        event->ignore();
        return true;
    }
    return QWindow::event(event);
}

void OutputWindow::Paint() {
    const QRect rect(QPoint(0, 0), size());
    if (rect.isEmpty()) return;
    if (store_.size() != size()) store_.resize(size());
    store_.beginPaint(rect);
    QPaintDevice* device = store_.paintDevice();
    // One target pixel to one device pixel, whatever the screen's scale.
    if (!frame_.isNull()) frame_.setDevicePixelRatio(devicePixelRatio());
    {
        QPainter painter(device);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QRect target = frame_.isNull() ? QRect() : QRect(QPoint(0, 0), frame_.size() / frame_.devicePixelRatio());
        // Black everywhere but under the target, which is copied pixel for pixel.
        const QRegion around = QRegion(rect).subtracted(QRegion(target));
        for (const QRect& r : around) painter.fillRect(r, Qt::black);
        if (!frame_.isNull()) painter.drawImage(QPoint(0, 0), frame_);
    }
    store_.endPaint();
    store_.flush(rect);
    presented_ = std::chrono::steady_clock::now();
}

}  // namespace tesselink
