// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frameless window on one screen that shows the target picture 1:1 from its top-left corner, black
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

    // Covers `geometry` (desktop coordinates), the target's top-left corner at its top-left.
    void Place(QScreen* screen, const QRect& geometry);

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
    std::chrono::steady_clock::time_point presented_{};
};

}  // namespace tesselink
