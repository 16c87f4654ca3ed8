// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Area-averaging scale straight from colour planes into a Format_RGB32 picture, for zooms of
// one half and more, where every output pixel is made from at most three source pixels along
// each axis. The result is, pixel for pixel, what ScaleAreaAverage gives for the same picture.
// The per-axis maps (first source pixel and shares of each output pixel) are worked out once
// per picture size, scaled size and part, and kept: a repaint does no division per pixel.

#include <cstdint>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "remap/colour_planes.h"
#include "remap/remap_kernels.h"

namespace tesselink {

// For each output index of one axis's part: the first source index, how many source pixels it
// takes (1 to 3) and their shares, which add up to 1 << 14.
struct AreaAxisMap {
    int sourceSize = -1;
    int fullSize = -1;
    int start = 0;  // the part's output indices [start, end)
    int end = 0;
    int taps = 0;  // the most source pixels any output of the part takes
    std::vector<int> first;
    std::vector<std::uint8_t> count;
    std::vector<std::int16_t> weights;  // three per output, unused ones 0

    // Makes the map for outputs [start, end) of an axis scaled from sourceSize to fullSize;
    // keeps it when it already is that map. False when some output takes more than three
    // source pixels (a zoom below one half).
    bool Make(int sourceSize, int fullSize, int start, int end);

    // The source pixels [first, last) that outputs [start, end) take a share of: exactly what
    // the map made by Make reads.
    static void SourceSpan(int sourceSize, int fullSize, int start, int end, int& first, int& last);
};

class PlaneScaler {
public:
    // Four neighbouring output columns in the vector form's layout: byte shuffles that pick
    // each output's first two source bytes into 16-bit lanes (and its third into another
    // vector), the matching shares, and where the four's 16 source bytes start.
    struct ColumnQuad {
        std::uint8_t firstTwo[16];
        std::uint8_t third[16];
        std::int16_t firstTwoWeights[8];
        std::int16_t thirdWeights[8];
        std::int32_t base;
    };
    // Two neighbouring quads as one 256-bit register takes them, for the AVX2 form.
    struct ColumnOctet {
        std::uint8_t firstTwo[32];
        std::uint8_t third[32];
        std::int16_t firstTwoWeights[16];
        std::int16_t thirdWeights[16];
        std::int32_t base[2];
    };

    // `planes` hold the source pixels [planesOrigin.x, + planes.Width()) x [planesOrigin.y,
    // + planes.Height()) of a picture of `sourceSize`. That picture scaled to `fullSize` by area
    // averaging is written, for its part `part` (scaled coordinates), into `dest` with the
    // part's top-left at `destTopLeft`; only inside `dest`. False, with nothing written, when
    // the zoom is below one half, the planes miss a source pixel the part needs or `dest` is not
    // Format_RGB32. `set` picks the instruction set (tests compare them): Portable is plain
    // C++, Sse2 filters columns in plain C++, Ssse3 and Avx2 gather them with byte shuffles.
    bool Scale(const PlaneSet& planes, QPoint planesOrigin, QSize sourceSize, QSize fullSize, QRect part, QImage& dest,
               QPoint destTopLeft, kernels::KernelSet set = kernels::BestKernelSet());

private:
    struct Job;  // one call's part, planes and chosen forms

    // The steps of Scale. The part cut to the scaled picture and to what lands inside `dest`;
    // false when nothing does.
    static bool CutPart(Job& job, QSize fullSize, const QImage& dest, QPoint destTopLeft);
    // The per-axis maps of the part; false below a zoom of one half or when the planes miss a
    // source pixel the maps take.
    bool MakeAxisMaps(const Job& job, QSize sourceSize, QSize fullSize);
    // A half of an even size straight from the planes, 2 x 2 blocks (x86 forms only).
    static void HalveRows(const Job& job, QImage& dest);
    // The column filter's form; the column map laid out for the vector forms when it changed.
    void ChooseColumnFilter(Job& job);
    // Each output row from its source rows, filtered through a ring.
    void CombineRows(const Job& job, QImage& dest);
    // A source row filtered horizontally, from the ring, filtered first when not there.
    const std::int16_t* FilteredRow(const Job& job, int sourceRow);
    static std::uint32_t* OutputRow(const Job& job, QImage& dest, int oy);

    AreaAxisMap columns_, rows_;
    std::vector<std::int16_t> ring_;  // horizontally filtered source rows, minus 32768
    std::vector<int> ringRow_;
    // The column map in the vector form's layout, for the column map and planes it was made for.
    struct QuadKey {
        int sourceSize, fullSize, start, end, planesLeft, planesWidth;
        bool operator==(const QuadKey& o) const {
            return sourceSize == o.sourceSize && fullSize == o.fullSize && start == o.start && end == o.end &&
                   planesLeft == o.planesLeft && planesWidth == o.planesWidth;
        }
    };
    std::vector<ColumnQuad> quads_;
    std::vector<ColumnOctet> octets_;
    QuadKey quadsKey_{-1, -1, 0, 0, 0, 0};
    bool quadsUsable_ = false;
};

}  // namespace tesselink
