// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frameless window covering one screen that shows the target picture 1:1 at an offset, black
// around it, with no cursor and nothing else drawn. Each frame is handed over composed; a repaint
// (an expose) shows the frame held again without composing it anew.

#include <chrono>

#include <QBackingStore>
#include <QImage>
#include <QPoint>
#include <QWindow>

class QScreen;

namespace tesselink {

class OutputWindow : public QWindow {
    Q_OBJECT
public:
    explicit OutputWindow(QScreen* screen = nullptr);
    ~OutputWindow() override;

    // Covers `geometry` (desktop coordinates) with the target's top-left at `offset` inside it.
    void Place(QScreen* screen, const QRect& geometry, const QPoint& offset);
    QPoint Offset() const { return offset_; }

    // The picture to show from now on; shown at once when the window is exposed. `frame` is
    // swapped with the one held, so the caller gets the previous frame's memory back.
    void Present(QImage& frame);
    // Shows black only (no source yet, or a failed one).
    void Clear();
    const QImage& Frame() const { return frame_; }
    // When the last frame went to the window system.
    std::chrono::steady_clock::time_point LastPresented() const { return presented_; }

signals:
    // Escape on the window, or the window manager closing it.
    void closeRequested();

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Paint();

    QBackingStore store_;
    QImage frame_;
    QPoint offset_;
    std::chrono::steady_clock::time_point presented_{};
};

}  // namespace tesselink
