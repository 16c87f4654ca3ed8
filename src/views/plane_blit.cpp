#include "views/plane_blit.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tesselink {

int WholeZoomFactor(float zoom) {
    const float rounded = std::round(zoom);
    if (rounded < 1.0f || rounded != zoom) return 0;
    return static_cast<int>(rounded);
}

void BlitPlanesScaled(const PlaneSet& planes, int factor, QImage& dest, QPoint origin, const QRect& clip) {
    if (!planes.IsPresent() || factor < 1 || dest.format() != QImage::Format_RGB32) return;
    const int width = planes.Width();
    const int height = planes.Height();
    const QRect picture(origin, QSize(width * factor, height * factor));
    const QRect area = picture & clip & dest.rect();
    if (area.isEmpty()) return;

    const std::uint8_t* red = planes.Red();
    const std::uint8_t* green = planes.Green();
    const std::uint8_t* blue = planes.Blue();
    const std::size_t rowBytes = static_cast<std::size_t>(area.width()) * sizeof(QRgb);
    int lastSourceRow = -1;
    const QRgb* lastRow = nullptr;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* out = reinterpret_cast<QRgb*>(dest.scanLine(y)) + area.left();
        const int sourceRow = (y - origin.y()) / factor;
        if (sourceRow == lastSourceRow) {
            std::memcpy(out, lastRow, rowBytes);  // the same picture row again
            continue;
        }
        const std::size_t base = static_cast<std::size_t>(sourceRow) * width;
        const std::uint8_t* r = red + base;
        const std::uint8_t* g = green + base;
        const std::uint8_t* b = blue + base;
        int x = area.left() - origin.x();
        const int end = area.right() + 1 - origin.x();
        if (factor == 1) {
            for (; x < end; ++x) *out++ = 0xFF000000u | (QRgb(r[x]) << 16) | (QRgb(g[x]) << 8) | b[x];
        } else {
            // Step through the picture pixels, each written `factor` times: no division per pixel.
            int s = x / factor;
            int phase = x % factor;
            QRgb pixel = 0xFF000000u | (QRgb(r[s]) << 16) | (QRgb(g[s]) << 8) | b[s];
            for (;;) {
                *out++ = pixel;
                if (++x >= end) break;
                if (++phase == factor) {
                    phase = 0;
                    ++s;
                    pixel = 0xFF000000u | (QRgb(r[s]) << 16) | (QRgb(g[s]) << 8) | b[s];
                }
            }
        }
        lastSourceRow = sourceRow;
        lastRow = reinterpret_cast<const QRgb*>(dest.constScanLine(y)) + area.left();
    }
}

void BlitImageScaled(const QImage& source, const QRect& sourceRect, int factor, QImage& dest, QPoint origin,
                     const QRect& clip) {
    if (factor < 1 || source.format() != QImage::Format_RGB32 || dest.format() != QImage::Format_RGB32) return;
    const QRect part = sourceRect & source.rect();
    if (part != sourceRect) return;  // only whole parts of the picture are shown this way
    const QRect picture(origin, sourceRect.size() * factor);
    const QRect area = picture & clip & dest.rect();
    if (area.isEmpty()) return;

    const std::size_t rowBytes = static_cast<std::size_t>(area.width()) * sizeof(QRgb);
    int lastSourceRow = -1;
    const QRgb* lastRow = nullptr;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* out = reinterpret_cast<QRgb*>(dest.scanLine(y)) + area.left();
        const int sourceRow = (y - origin.y()) / factor;
        if (sourceRow == lastSourceRow) {
            std::memcpy(out, lastRow, rowBytes);
            continue;
        }
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(sourceRect.top() + sourceRow)) +
                         sourceRect.left();
        int x = area.left() - origin.x();
        const int end = area.right() + 1 - origin.x();
        if (factor == 1) {
            std::memcpy(out, in + x, rowBytes);
        } else {
            int s = x / factor;
            int phase = x % factor;
            for (;;) {
                *out++ = in[s];
                if (++x >= end) break;
                if (++phase == factor) {
                    phase = 0;
                    ++s;
                }
            }
        }
        lastSourceRow = sourceRow;
        lastRow = reinterpret_cast<const QRgb*>(dest.constScanLine(y)) + area.left();
    }
}

}  // namespace tesselink
