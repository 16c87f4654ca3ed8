// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/plane_scale.h"

#include <algorithm>
#include <cstring>

#include "picture/plane_scale_forms.h"
#include "remap/remap_kernels.h"

namespace tesselink {

using namespace plane_scale;

namespace {

void FilterRowPortable(const std::uint8_t* row, const AreaAxisMap& map, int firstColumn, int width, std::int16_t* out) {
    for (int i = 0; i < width; ++i) {
        const std::uint8_t* p = row + (map.first[i] - firstColumn);
        const std::int16_t* w = map.weights.data() + 3 * i;
        std::int32_t sum = 0;
        for (int t = 0; t < map.count[i]; ++t) sum += w[t] * p[t];
        out[i] = static_cast<std::int16_t>(((sum + (1 << (HorizontalShift - 1))) >> HorizontalShift) - FilteredBias);
    }
}

// Output row from up to three filtered rows (unused ones have share 0), into Format_RGB32 words.
void CombineRowPortable(const std::int16_t* const rows[3], const std::int16_t* w, std::size_t planeStride, int width,
                        std::uint32_t* out) {
    for (int i = 0; i < width; ++i) {
        std::uint32_t channel[3];
        for (int c = 0; c < 3; ++c) {
            const std::size_t at = c * planeStride + static_cast<std::size_t>(i);
            const std::int32_t sum = w[0] * rows[0][at] + w[1] * rows[1][at] + w[2] * rows[2][at];
            channel[c] = static_cast<std::uint32_t>((sum + VerticalRounding) >> VerticalShift);
        }
        out[i] = 0xFF000000u | (channel[0] << 16) | (channel[1] << 8) | channel[2];
    }
}

// Whether the planes, starting at `origin` with `size` pixels, hold every source pixel the map uses.
bool Covers(const AreaAxisMap& map, int origin, int size) {
    if (map.first.empty()) return true;
    const std::size_t last = map.first.size() - 1;
    return map.first.front() >= origin && map.first[last] + map.count[last] <= origin + size;
}

}  // namespace

void AreaAxisMap::SourceSpan(int source, int full, int from, int to, int& first, int& last) {
    first = last = 0;
    if (source <= 0 || full <= 0 || from >= to) return;
    // As in Make: output d takes source pixels d * S / D to ((d + 1) * S - 1) / D.
    const long long S = source, D = full;
    first = static_cast<int>(from * S / D);
    last = static_cast<int>((to * S - 1) / D + 1);
}

bool AreaAxisMap::Make(int source, int full, int from, int to) {
    if (source == sourceSize && full == fullSize && from == start && to == end) return taps <= 3;
    sourceSize = source;
    fullSize = full;
    start = from;
    end = to;
    taps = 0;
    first.clear();
    count.clear();
    weights.clear();
    const long long S = source, D = full;
    if (S <= 0 || D <= 0) return true;
    for (long long d = from; d < to; ++d) {
        // Output d spans [d * S, (d + 1) * S), source k spans [k * D, (k + 1) * D).
        const long long lo = d * S, hi = (d + 1) * S;
        const int k0 = static_cast<int>(lo / D);
        const int n = static_cast<int>((hi - 1) / D) - k0 + 1;
        taps = std::max(taps, n);
        if (n > 3) return false;
        std::int16_t w[3] = {0, 0, 0};
        int total = 0, largest = 0;
        for (int t = 0; t < n; ++t) {
            const long long k = k0 + t;
            const long long overlap = std::min((k + 1) * D, hi) - std::max(k * D, lo);
            w[t] = static_cast<std::int16_t>((overlap * (1 << WeightBits) + S / 2) / S);
            total += w[t];
            if (w[t] > w[largest]) largest = t;
        }
        w[largest] = static_cast<std::int16_t>(w[largest] + ((1 << WeightBits) - total));
        first.push_back(k0);
        count.push_back(static_cast<std::uint8_t>(n));
        weights.insert(weights.end(), w, w + 3);
    }
    return true;
}

// One call of Scale: what its first steps work out for the later ones.
struct PlaneScaler::Job {
    const PlaneSet& planes;
    QPoint planesOrigin;
    kernels::KernelSet set;
    QRect part;    // scaled coordinates, cut to what lands inside the destination
    QRect onDest;  // where the part lands
    int width = 0;
    std::size_t planeStride = 0;  // of the filtered rows: the width padded to whole vector steps
    bool vector = false;          // the column filter runs in a vector form
    bool avx2 = false;            // ... and that form is AVX2
};

bool PlaneScaler::Scale(const PlaneSet& planes, QPoint planesOrigin, QSize sourceSize, QSize fullSize, QRect part,
                        QImage& dest, QPoint destTopLeft, kernels::KernelSet set) {
    if (!kernels::KernelSetAvailable(set)) set = kernels::BestKernelSet();
    if (!planes.IsPresent() || dest.format() != QImage::Format_RGB32) return false;
    Job job{planes, planesOrigin, set, part, QRect()};
    if (!CutPart(job, fullSize, dest, destTopLeft)) return true;
    if (!MakeAxisMaps(job, sourceSize, fullSize)) return false;
#if defined(TESSELINK_X86_KERNELS)
    // A half of an even size: each output takes a 2 x 2 block with shares of a quarter each,
    // which the arithmetic turns into (a + b + c + d + 2) / 4 exactly.
    if (set != kernels::KernelSet::Portable && sourceSize.width() == 2 * fullSize.width() &&
        sourceSize.height() == 2 * fullSize.height()) {
        HalveRows(job, dest);
        return true;
    }
#endif
    ChooseColumnFilter(job);
    CombineRows(job, dest);
    return true;
}

bool PlaneScaler::CutPart(Job& job, QSize fullSize, const QImage& dest, QPoint destTopLeft) {
    QRect& part = job.part;
    part &= QRect(QPoint(0, 0), fullSize);
    job.onDest = QRect(destTopLeft, part.size()) & dest.rect();
    if (part.isEmpty() || job.onDest.isEmpty()) return false;
    part = QRect(part.topLeft() + (job.onDest.topLeft() - destTopLeft), job.onDest.size());
    job.width = part.width();
    job.planeStride = static_cast<std::size_t>((job.width + Block - 1) / Block * Block);
    return true;
}

bool PlaneScaler::MakeAxisMaps(const Job& job, QSize sourceSize, QSize fullSize) {
    const QRect& part = job.part;
    if (!columns_.Make(sourceSize.width(), fullSize.width(), part.left(), part.right() + 1) ||
        !rows_.Make(sourceSize.height(), fullSize.height(), part.top(), part.bottom() + 1))
        return false;
    return Covers(columns_, job.planesOrigin.x(), job.planes.Width()) &&
           Covers(rows_, job.planesOrigin.y(), job.planes.Height());
}

std::uint32_t* PlaneScaler::OutputRow(const Job& job, QImage& dest, int oy) {
    return reinterpret_cast<std::uint32_t*>(dest.scanLine(job.onDest.top() + oy)) + job.onDest.left();
}

void PlaneScaler::HalveRows([[maybe_unused]] const Job& job, [[maybe_unused]] QImage& dest) {
#if defined(TESSELINK_X86_KERNELS)
    const PlaneSet& planes = job.planes;
    const std::size_t planeWidth = static_cast<std::size_t>(planes.Width());
    const std::size_t firstColumn = static_cast<std::size_t>(2 * job.part.left() - job.planesOrigin.x());
    const std::size_t room = planeWidth - firstColumn;
    for (int oy = 0; oy < job.part.height(); ++oy) {
        const std::size_t at =
            static_cast<std::size_t>(2 * (job.part.top() + oy) - job.planesOrigin.y()) * planeWidth + firstColumn;
        const RowStarts rows{{planes.Plane(0) + at, planes.Plane(1) + at, planes.Plane(2) + at}};
        HalveRow(job.set == kernels::KernelSet::Avx2, rows, planeWidth, room, job.width, OutputRow(job, dest, oy));
    }
#endif
}

void PlaneScaler::ChooseColumnFilter([[maybe_unused]] Job& job) {
#if defined(TESSELINK_X86_KERNELS)
    const int planeWidth = job.planes.Width();
    const int originX = job.planesOrigin.x();
    const int width = job.width;
    bool vector = (job.set == kernels::KernelSet::Ssse3 || job.set == kernels::KernelSet::Avx2) && planeWidth >= 16;
    const QuadKey key{columns_.sourceSize, columns_.fullSize, columns_.start, columns_.end, originX, planeWidth};
    if (vector && key == quadsKey_) {
        vector = quadsUsable_;
    } else if (vector) {
        quadsKey_ = key;
        // Outputs past the part's width (up to the padding) take nothing and give 0.
        const int quadCount = static_cast<int>(job.planeStride) / 4;
        quads_.resize(static_cast<std::size_t>(quadCount));
        for (int q = 0; q < quadCount && vector; ++q) {
            ColumnQuad quad;
            std::memset(quad.firstTwo, 0x80, sizeof quad.firstTwo);  // a set top bit shuffles in 0
            std::memset(quad.third, 0x80, sizeof quad.third);
            std::memset(quad.firstTwoWeights, 0, sizeof quad.firstTwoWeights);
            std::memset(quad.thirdWeights, 0, sizeof quad.thirdWeights);
            const int lead = std::min(4 * q, width - 1);
            quad.base = std::clamp(columns_.first[lead] - originX, 0, planeWidth - 16);
            for (int j = 0; j < 4 && 4 * q + j < width; ++j) {
                const int i = 4 * q + j;
                const int offset = columns_.first[i] - originX - quad.base;
                const std::int16_t* w = columns_.weights.data() + 3 * i;
                if (offset < 0 || offset + columns_.count[i] > 16) {
                    vector = false;  // cannot happen at a half or more; keep to the plain form
                    break;
                }
                quad.firstTwo[4 * j] = static_cast<std::uint8_t>(offset);
                if (columns_.count[i] > 1) quad.firstTwo[4 * j + 2] = static_cast<std::uint8_t>(offset + 1);
                if (columns_.count[i] > 2) quad.third[4 * j] = static_cast<std::uint8_t>(offset + 2);
                quad.firstTwoWeights[2 * j] = w[0];
                quad.firstTwoWeights[2 * j + 1] = w[1];
                quad.thirdWeights[2 * j] = w[2];
            }
            quads_[static_cast<std::size_t>(q)] = quad;
        }
        quadsUsable_ = vector;
        octets_.resize(quads_.size() / 2);
        for (std::size_t o = 0; o < octets_.size(); ++o) {
            const ColumnQuad* pair[2] = {&quads_[2 * o], &quads_[2 * o + 1]};
            for (int h = 0; h < 2; ++h) {
                std::memcpy(octets_[o].firstTwo + 16 * h, pair[h]->firstTwo, 16);
                std::memcpy(octets_[o].third + 16 * h, pair[h]->third, 16);
                std::memcpy(octets_[o].firstTwoWeights + 8 * h, pair[h]->firstTwoWeights, 16);
                std::memcpy(octets_[o].thirdWeights + 8 * h, pair[h]->thirdWeights, 16);
                octets_[o].base[h] = pair[h]->base;
            }
        }
    }
    job.vector = vector;
    job.avx2 = vector && job.set == kernels::KernelSet::Avx2;
#endif
}

const std::int16_t* PlaneScaler::FilteredRow(const Job& job, int sourceRow) {
    const int ringSize = static_cast<int>(ringRow_.size());
    const int slot = sourceRow % ringSize;
    std::int16_t* out = ring_.data() + static_cast<std::size_t>(slot) * 3 * job.planeStride;
    if (ringRow_[slot] == sourceRow) return out;
    const std::size_t rowStart = static_cast<std::size_t>(sourceRow - job.planesOrigin.y()) * job.planes.Width();
    const int padded = static_cast<int>(job.planeStride);
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* row = job.planes.Plane(c) + rowStart;
        std::int16_t* o = out + c * job.planeStride;
#if defined(TESSELINK_X86_KERNELS)
        if (job.avx2) {
            FilterRowAvx2(row, octets_.data(), padded / 8, columns_.taps > 2, o);
            continue;
        }
        if (job.vector) {
            FilterRowSsse3(row, quads_.data(), padded / 4, columns_.taps > 2, o);
            continue;
        }
#endif
        FilterRowPortable(row, columns_, job.planesOrigin.x(), job.width, o);
    }
    ringRow_[slot] = sourceRow;
    return out;
}

void PlaneScaler::CombineRows(const Job& job, QImage& dest) {
    // Filtered source rows in a ring: neighbouring output rows share source rows, and each
    // is filtered once.
    const int ringSize = rows_.taps + 1;
    ring_.resize(static_cast<std::size_t>(ringSize) * 3 * job.planeStride);
    ringRow_.assign(static_cast<std::size_t>(ringSize), -1);
    for (int oy = 0; oy < job.part.height(); ++oy) {
        const int count = rows_.count[oy];
        const std::int16_t* rows[3];
        for (int t = 0; t < 3; ++t) rows[t] = FilteredRow(job, rows_.first[oy] + std::min(t, count - 1));
        const std::int16_t* w = rows_.weights.data() + 3 * oy;
        std::uint32_t* out = OutputRow(job, dest, oy);
#if defined(TESSELINK_X86_KERNELS)
        if (job.set != kernels::KernelSet::Portable) {
            CombineRow(job.set == kernels::KernelSet::Avx2, rows, w, count, job.planeStride, job.width, out);
            continue;
        }
#endif
        CombineRowPortable(rows, w, job.planeStride, job.width, out);
    }
}

}  // namespace tesselink
