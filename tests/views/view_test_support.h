// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the picture view tests: pictures with known colours, fixed viewport sizes.

#include <functional>

#include <QAbstractScrollArea>
#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QString>

namespace tesselink::testing {

// Quadrant colours of the test pictures, and a red marker block.
inline const QRgb TopLeftColour = qRgb(200, 30, 30);
inline const QRgb TopRightColour = qRgb(30, 200, 30);
inline const QRgb BottomLeftColour = qRgb(30, 30, 200);
inline const QRgb BottomRightColour = qRgb(200, 200, 30);
inline const QRgb MarkerColour = qRgb(255, 0, 0);
inline const QRgb Mint = qRgb(199, 237, 208);
inline const QRgb Grey = qRgb(172, 172, 172);
inline const QRgb Green = qRgb(0, 255, 0);

// A picture of four solid quadrants, saved losslessly as PNG at `path`.
inline bool SaveQuadrantPicture(const QString& path, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            image.setPixel(
                x, y,
                bottom ? (right ? BottomRightColour : BottomLeftColour) : (right ? TopRightColour : TopLeftColour));
        }
    }
    return image.save(path, "PNG");
}

// A picture of one colour with a marker block at (mx, my), size m x m.
inline bool SaveMarkedPicture(const QString& path, int width, int height, QRgb fill, int mx, int my, int m) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    for (int y = my; y < my + m; ++y)
        for (int x = mx; x < mx + m; ++x) image.setPixel(x, y, MarkerColour);
    return image.save(path, "PNG");
}

// No frame and no scroll bars taking room: the viewport is exactly width x height.
inline void FixViewport(QAbstractScrollArea& view, int width, int height) {
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(width, height);
    // A hidden widget gets its resize event only when shown; offscreen, showing costs nothing.
    view.show();
    QCoreApplication::processEvents();
}

// Pixels in the rectangle [x0, x1) x [y0, y1) for which `test` holds.
inline int CountPixels(const QImage& image, int x0, int y0, int x1, int y1, const std::function<bool(QRgb)>& test) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

inline bool IsDark(QRgb c) { return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80; }

}  // namespace tesselink::testing
