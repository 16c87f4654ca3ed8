// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/area_scale.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tesselink {
namespace {

constexpr int WeightBits = 14;                   // each output's weights add up to 1 << 14
constexpr int HorizontalShift = WeightBits - 8;  // keep 8 fraction bits between the two passes

// For each output index of one axis, the source pixels it covers and the share of each.
struct AxisWeights {
    std::vector<int> first;   // first source index (relative to the source rectangle)
    std::vector<int> offset;  // start of its weights in `weights`
    std::vector<int> count;   // number of source pixels
    std::vector<std::uint16_t> weights;
    int maxCount = 0;
};

// Output pixel d spans [d * sourceSize, (d + 1) * sourceSize) and source pixel k spans
// [k * fullSize, (k + 1) * fullSize), both in units of 1 / (sourceSize * fullSize) of the
// axis: the shares are exact overlaps, rounded once, the rounding put on the largest share.
AxisWeights MakeWeights(int sourceSize, int fullSize, int partStart, int partEnd) {
    AxisWeights axis;
    const long long S = sourceSize, D = fullSize;
    for (long long d = partStart; d < partEnd; ++d) {
        const long long from = d * S, to = (d + 1) * S;
        const int k0 = static_cast<int>(from / D);
        const int k1 = static_cast<int>((to - 1) / D);
        axis.first.push_back(k0);
        axis.offset.push_back(static_cast<int>(axis.weights.size()));
        axis.count.push_back(k1 - k0 + 1);
        axis.maxCount = std::max(axis.maxCount, k1 - k0 + 1);
        int total = 0, largest = 0;
        const std::size_t base = axis.weights.size();
        for (long long k = k0; k <= k1; ++k) {
            const long long overlap = std::min((k + 1) * D, to) - std::max(k * D, from);
            const int w = static_cast<int>((overlap * (1 << WeightBits) + S / 2) / S);
            axis.weights.push_back(static_cast<std::uint16_t>(w));
            total += w;
            if (w > axis.weights[base + largest]) largest = static_cast<int>(k - k0);
        }
        axis.weights[base + largest] =
            static_cast<std::uint16_t>(axis.weights[base + largest] + ((1 << WeightBits) - total));
    }
    return axis;
}

// One source row filtered across: three 8.8 fixed-point channels (b, g, r) per output column.
void FilterRow(const QRgb* row, const AxisWeights& x, std::uint16_t* out) {
    const std::size_t columns = x.first.size();
    for (std::size_t i = 0; i < columns; ++i) {
        const QRgb* p = row + x.first[i];
        const std::uint16_t* w = x.weights.data() + x.offset[i];
        std::uint32_t b = 0, g = 0, r = 0;
        for (int k = 0; k < x.count[i]; ++k) {
            const QRgb v = p[k];
            b += w[k] * (v & 0xFF);
            g += w[k] * ((v >> 8) & 0xFF);
            r += w[k] * ((v >> 16) & 0xFF);
        }
        const std::uint32_t half = 1u << (HorizontalShift - 1);
        out[3 * i + 0] = static_cast<std::uint16_t>((b + half) >> HorizontalShift);
        out[3 * i + 1] = static_cast<std::uint16_t>((g + half) >> HorizontalShift);
        out[3 * i + 2] = static_cast<std::uint16_t>((r + half) >> HorizontalShift);
    }
}

}  // namespace

void ScaleAreaAverageInto(const QImage& source, const QRect& sourceRect, const QSize& fullSize, const QRect& part,
                          QImage& out) {
    const QRect wanted = part.intersected(QRect(QPoint(0, 0), fullSize));
    if (wanted.isEmpty()) {
        out = QImage();
        return;
    }
    if (out.size() != wanted.size() || out.format() != QImage::Format_RGB32)
        out = QImage(wanted.size(), QImage::Format_RGB32);
    if (out.isNull()) return;

    const QRect from = sourceRect.intersected(source.rect());
    if (from.isEmpty()) {  // nothing to draw from
        out.fill(0xFF000000u);
        return;
    }
    const QImage rgb = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);

    const AxisWeights xs = MakeWeights(from.width(), fullSize.width(), wanted.left(), wanted.right() + 1);
    const AxisWeights ys = MakeWeights(from.height(), fullSize.height(), wanted.top(), wanted.bottom() + 1);

    // Rows filtered across are kept in a small ring: neighbouring output rows share source rows
    // (many times over when enlarging), and each is filtered only once.
    const std::size_t rowValues = 3 * static_cast<std::size_t>(wanted.width());
    const int ringSize = ys.maxCount + 1;
    std::vector<std::uint16_t> ring(rowValues * static_cast<std::size_t>(ringSize));
    std::vector<int> ringRow(static_cast<std::size_t>(ringSize), -1);
    std::vector<std::uint32_t> sum(rowValues);

    for (int oy = 0; oy < wanted.height(); ++oy) {
        std::fill(sum.begin(), sum.end(), 0u);
        const std::uint16_t* w = ys.weights.data() + ys.offset[oy];
        for (int k = 0; k < ys.count[oy]; ++k) {
            const int sy = ys.first[oy] + k;
            const int slot = sy % ringSize;
            std::uint16_t* filtered = ring.data() + rowValues * static_cast<std::size_t>(slot);
            if (ringRow[slot] != sy) {
                const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(from.top() + sy)) + from.left();
                FilterRow(row, xs, filtered);
                ringRow[slot] = sy;
            }
            const std::uint32_t weight = w[k];
            for (std::size_t i = 0; i < rowValues; ++i) sum[i] += weight * filtered[i];
        }
        QRgb* outRow = reinterpret_cast<QRgb*>(out.scanLine(oy));
        constexpr int shift = WeightBits + 8;
        constexpr std::uint32_t half = 1u << (shift - 1);
        for (int ox = 0; ox < wanted.width(); ++ox) {
            const std::uint32_t b = (sum[3 * ox + 0] + half) >> shift;
            const std::uint32_t g = (sum[3 * ox + 1] + half) >> shift;
            const std::uint32_t r = (sum[3 * ox + 2] + half) >> shift;
            outRow[ox] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
}

QImage ScaleAreaAverage(const QImage& source, const QRect& sourceRect, const QSize& fullSize, const QRect& part) {
    QImage out;
    ScaleAreaAverageInto(source, sourceRect, fullSize, part, out);
    return out;
}

}  // namespace tesselink
