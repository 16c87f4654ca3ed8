// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frameless window on one screen that shows the target picture 1:1 from its top-left corner,
// black around it, with no cursor and nothing else drawn. A frame is composed straight into the
// window's surface, so showing it costs no copy; a repaint (an expose) shows the surface again
// without composing anew.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

#include <QBackingStore>
#include <QImage>
#include <QWindow>

class QScreen;

namespace tesselink {

class OutputWindow : public QWindow {
    Q_OBJECT
public:
    // Fills a target's words (0xffRRGGBB), rows `strideWords` apart; false when it could not.
    using Compose = std::function<bool(std::uint32_t* words, std::ptrdiff_t strideWords)>;

    explicit OutputWindow(QScreen* screen = nullptr);
    ~OutputWindow() override;

    // Covers `geometry` (desktop coordinates), the target's top-left corner at its top-left.
    void Place(QScreen* screen, const QRect& geometry);

    // Shows a target of `size`, composed by `compose` into the surface (or into a picture first
    // when the surface cannot take it). A failed composition shows black.
    bool Present(const QSize& size, const Compose& compose);
    // Shows black only (no source yet, or a failed one).
    void Clear();
    // The target as shown now (a copy; null when black).
    QImage ShownTarget() const;
    // When the last frame went to the window system.
    std::chrono::steady_clock::time_point LastPresented() const { return presented_; }

signals:
    // Escape on the window, or the window manager closing it.
    void closeRequested();
    // The surface was lost (a resize): the owner presents its frame again.
    void frameWanted();

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Paints the surface: the target through `compose` (none: black), black around it.
    bool Paint(const QSize& target, const Compose* compose);

    QBackingStore store_;
    QSize target_;  // of the target on the surface; empty when black
    bool surfaceValid_ = false;
    QImage scratch_;  // a target composed aside, when the surface cannot take it
    std::chrono::steady_clock::time_point presented_{};
};

}  // namespace tesselink
