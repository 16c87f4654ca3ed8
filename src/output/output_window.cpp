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
}

bool OutputWindow::Present(const QSize& size, const Compose& compose) { return Paint(size, &compose); }

void OutputWindow::Clear() { Paint(QSize(), nullptr); }

QImage OutputWindow::ShownTarget() const {
    if (target_.isEmpty() || !surfaceValid_) return QImage();
    auto* surface = dynamic_cast<QImage*>(const_cast<QBackingStore&>(store_).paintDevice());
    if (surface == nullptr) return QImage();
    return surface->copy(QRect(QPoint(0, 0), target_)).convertToFormat(QImage::Format_RGB32);
}

void OutputWindow::exposeEvent(QExposeEvent*) {
    if (!isExposed()) return;
    if (surfaceValid_ && store_.size() == size())
        store_.flush(QRect(QPoint(0, 0), size()));
    else
        emit frameWanted();
}

void OutputWindow::resizeEvent(QResizeEvent*) {
    store_.resize(size());
    surfaceValid_ = false;
}

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

bool OutputWindow::Paint(const QSize& target, const Compose* compose) {
    const QRect rect(QPoint(0, 0), size());
    if (rect.isEmpty()) return false;
    if (store_.size() != size()) store_.resize(size());
    store_.beginPaint(rect);
    QPaintDevice* device = store_.paintDevice();
    auto* surface = dynamic_cast<QImage*>(device);
    bool shown = false;
    const bool direct =
        surface != nullptr && surface->devicePixelRatio() == 1.0 &&
        (surface->format() == QImage::Format_RGB32 || surface->format() == QImage::Format_ARGB32_Premultiplied) &&
        surface->width() >= target.width() && surface->height() >= target.height();
    if (compose != nullptr && !target.isEmpty()) {
        if (direct) {
            shown = (*compose)(reinterpret_cast<std::uint32_t*>(surface->bits()), surface->bytesPerLine() / 4);
        } else {
            // A surface of another kind, or a target larger than the window: composed aside, then
            // copied one target pixel to one device pixel.
            if (scratch_.size() != target) scratch_ = QImage(target, QImage::Format_RGB32);
            shown = !scratch_.isNull() &&
                    (*compose)(reinterpret_cast<std::uint32_t*>(scratch_.bits()), scratch_.bytesPerLine() / 4);
            if (shown) {
                scratch_.setDevicePixelRatio(devicePixelRatio());
                QPainter painter(device);
                painter.setCompositionMode(QPainter::CompositionMode_Source);
                painter.drawImage(QPoint(0, 0), scratch_);
            }
        }
    }
    target_ = shown ? target : QSize();
    {
        // Black everywhere but under the target.
        QPainter painter(device);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QRegion around = QRegion(rect).subtracted(QRegion(QRect(QPoint(0, 0), target_)));
        for (const QRect& r : around) painter.fillRect(r, Qt::black);
    }
    store_.endPaint();
    if (isExposed()) store_.flush(rect);
    surfaceValid_ = true;
    presented_ = std::chrono::steady_clock::now();
    return shown;
}

}  // namespace tesselink
