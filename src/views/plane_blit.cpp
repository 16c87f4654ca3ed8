// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/plane_blit.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "remap/remap.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tesselink {

int WholeZoomFactor(float zoom) {
    const float rounded = std::round(zoom);
    if (rounded < 1.0f || rounded != zoom) return 0;
    return static_cast<int>(rounded);
}

namespace {

// Writes screen columns [x, end) of one row, each picture pixel `pixelAt(s)` repeated `factor`
// times: the picture column advances by stepping, with no division per pixel.
template <typename PixelAt>
void WriteRepeatedColumns(QRgb* out, int x, int end, int factor, PixelAt pixelAt) {
    int s = x / factor;
    int phase = x % factor;
    QRgb pixel = pixelAt(s);
    for (;;) {
        *out++ = pixel;
        if (++x >= end) break;
        if (++phase == factor) {
            phase = 0;
            pixel = pixelAt(++s);
        }
    }
}

// The same for a row of ready pixels `in`, a vector at a time: at factor 2 four pixels become
// eight by interleaving; at larger factors each pixel is stored as whole vectors of itself,
// the last of which may run into the next pixel's columns, which that pixel then overwrites.
void RepeatPixelColumns(QRgb* out, int x, int end, int factor, const QRgb* in) {
#if defined(__SSE2__)
    // Finish a pixel cut by the left edge first, so the loops start on a pixel's first column.
    int phase = x % factor;
    int s = x / factor;
    if (phase != 0) {
        for (; phase < factor && x < end; ++phase, ++x) *out++ = in[s];
        ++s;
    }
    if (factor == 2) {
        for (; x + 8 <= end; x += 8, s += 4, out += 8) {
            const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + s));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi32(four, four));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi32(four, four));
        }
    } else {
        const int stored = (factor + 3) / 4 * 4;
        for (; x + stored <= end; x += factor, ++s, out += factor) {
            const __m128i pixel = _mm_set1_epi32(static_cast<int>(in[s]));
            for (int k = 0; k < stored; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), pixel);
        }
    }
    if (x < end) WriteRepeatedColumns(out, x, end, factor, [in](int i) { return in[i]; });
#else
    WriteRepeatedColumns(out, x, end, factor, [in](int i) { return in[i]; });
#endif
}

// Fills `area` of `dest` row by row: `writeRow(out, sourceRow, x, end)` writes screen columns
// [x, end) (picture-relative) of a new picture row; a row repeated by the factor is copied.
template <typename WriteRow>
void BlitRows(QImage& dest, const QRect& area, QPoint origin, int factor, WriteRow writeRow) {
    const std::size_t rowBytes = static_cast<std::size_t>(area.width()) * sizeof(QRgb);
    const int x = area.left() - origin.x();
    const int end = area.right() + 1 - origin.x();
    int lastSourceRow = -1;
    const QRgb* lastRow = nullptr;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* out = reinterpret_cast<QRgb*>(dest.scanLine(y)) + area.left();
        const int sourceRow = (y - origin.y()) / factor;
        if (sourceRow == lastSourceRow) {
            std::memcpy(out, lastRow, rowBytes);  // the same picture row again
            continue;
        }
        writeRow(out, sourceRow, x, end);
        lastSourceRow = sourceRow;
        lastRow = reinterpret_cast<const QRgb*>(dest.constScanLine(y)) + area.left();
    }
}

}  // namespace

void BlitPlanesScaled(const PlaneSet& planes, int factor, QImage& dest, QPoint origin, const QRect& clip) {
    if (!planes.IsPresent() || factor < 1 || dest.format() != QImage::Format_RGB32) return;
    const int width = planes.Width();
    const QRect picture(origin, QSize(width * factor, planes.Height() * factor));
    const QRect area = picture & clip & dest.rect();
    if (area.isEmpty()) return;

    BlitRows(dest, area, origin, factor, [&](QRgb* out, int sourceRow, int x, int end) {
        const std::size_t base = static_cast<std::size_t>(sourceRow) * width;
        const std::uint8_t* r = planes.Red() + base;
        const std::uint8_t* g = planes.Green() + base;
        const std::uint8_t* b = planes.Blue() + base;
        const auto pixelAt = [r, g, b](int s) { return 0xFF000000u | (QRgb(r[s]) << 16) | (QRgb(g[s]) << 8) | b[s]; };
        if (factor == 1) {
            RowToRgb32(r + x, g + x, b + x, static_cast<std::size_t>(end - x), out);
        } else {
            WriteRepeatedColumns(out, x, end, factor, pixelAt);
        }
    });
}

void BlitImageScaled(const QImage& source, const QRect& sourceRect, int factor, QImage& dest, QPoint origin,
                     const QRect& clip) {
    if (factor < 1 || source.format() != QImage::Format_RGB32 || dest.format() != QImage::Format_RGB32) return;
    const QRect part = sourceRect & source.rect();
    if (part != sourceRect) return;  // only whole parts of the picture are shown this way
    const QRect picture(origin, sourceRect.size() * factor);
    const QRect area = picture & clip & dest.rect();
    if (area.isEmpty()) return;

    BlitRows(dest, area, origin, factor, [&](QRgb* out, int sourceRow, int x, int end) {
        const QRgb* in =
            reinterpret_cast<const QRgb*>(source.constScanLine(sourceRect.top() + sourceRow)) + sourceRect.left();
        if (factor == 1) {
            std::memcpy(out, in + x, static_cast<std::size_t>(end - x) * sizeof(QRgb));
        } else {
            RepeatPixelColumns(out, x, end, factor, in);
        }
    });
}

}  // namespace tesselink
