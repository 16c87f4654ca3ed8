// SPDX-License-Identifier: GPL-3.0-or-later
#include "remap/colour_planes.h"

#include <algorithm>
#include <cstring>

#include "remap/instruction_sets.h"

namespace tesselink {

void PlaneSet::Allocate(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    const std::size_t size = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    // resize() keeps the capacity, so a set rebuilt every paint reuses its memory.
    red_.resize(size);
    green_.resize(size);
    blue_.resize(size);
    present_ = true;
}

void PlaneSet::Free() {
    Bytes().swap(red_);
    Bytes().swap(green_);
    Bytes().swap(blue_);
    width_ = height_ = 0;
    present_ = false;
}

std::uint8_t* PlaneSet::Plane(int channel) {
    return channel == 0 ? red_.data() : channel == 1 ? green_.data() : blue_.data();
}

const std::uint8_t* PlaneSet::Plane(int channel) const {
    return channel == 0 ? red_.data() : channel == 1 ? green_.data() : blue_.data();
}

namespace {

#if defined(TESSELINK_X86_KERNELS)
// 32 pixels a step: one byte shuffle per register gathers each 128-bit half's four blues,
// greens and reds; interleaving the registers collects them, and one permutation puts the
// halves' groups of four in pixel order. Compiled for AVX2 alone, chosen at run time.
TESSELINK_TARGET("avx2")
std::size_t SplitRowAvx2(const std::uint32_t* in, std::size_t count, std::uint8_t* red, std::uint8_t* green,
                         std::uint8_t* blue) {
    // Little-endian words 0xffRRGGBB are the bytes B, G, R, 0xff.
    const __m256i gather = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15,  //
                                            0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        // Per half: the blues, greens, reds and alphas of four pixels, four bytes each.
        const __m256i v0 = _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i)), gather);
        const __m256i v1 =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i + 8)), gather);
        const __m256i v2 =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i + 16)), gather);
        const __m256i v3 =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i + 24)), gather);
        const __m256i bg01 = _mm256_unpacklo_epi32(v0, v1), ra01 = _mm256_unpackhi_epi32(v0, v1);
        const __m256i bg23 = _mm256_unpacklo_epi32(v2, v3), ra23 = _mm256_unpackhi_epi32(v2, v3);
        // Low half: pixels 0-3, 8-11, 16-19, 24-27; high half: 4-7, 12-15, 20-23, 28-31.
        const __m256i b = _mm256_permutevar8x32_epi32(_mm256_unpacklo_epi64(bg01, bg23), order);
        const __m256i g = _mm256_permutevar8x32_epi32(_mm256_unpackhi_epi64(bg01, bg23), order);
        const __m256i r = _mm256_permutevar8x32_epi32(_mm256_unpacklo_epi64(ra01, ra23), order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(blue + i), b);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(green + i), g);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(red + i), r);
    }
    return i;
}
#endif

// Splits `count` 0xffRRGGBB words into three byte rows.
void SplitRow(const std::uint32_t* in, std::size_t count, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue,
              [[maybe_unused]] kernels::KernelSet set) {
    std::size_t i = 0;
#if defined(TESSELINK_X86_KERNELS)
    if (set == kernels::KernelSet::Avx2) i = SplitRowAvx2(in, count, red, green, blue);
    const __m128i low = _mm_set1_epi32(0xFF);
    // Written out by hand: at -O2 loops over arrays of vectors stay loops and spill.
    for (; set != kernels::KernelSet::Portable && i + 16 <= count; i += 16) {
        const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 4));
        const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 8));
        const __m128i v3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 12));
        // Every lane is 0..255, so the signed 32->16 pack cannot saturate.
        const __m128i b = _mm_packus_epi16(_mm_packs_epi32(_mm_and_si128(v0, low), _mm_and_si128(v1, low)),
                                           _mm_packs_epi32(_mm_and_si128(v2, low), _mm_and_si128(v3, low)));
        const __m128i g = _mm_packus_epi16(
            _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(v0, 8), low), _mm_and_si128(_mm_srli_epi32(v1, 8), low)),
            _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(v2, 8), low), _mm_and_si128(_mm_srli_epi32(v3, 8), low)));
        const __m128i r = _mm_packus_epi16(
            _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(v0, 16), low), _mm_and_si128(_mm_srli_epi32(v1, 16), low)),
            _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(v2, 16), low), _mm_and_si128(_mm_srli_epi32(v3, 16), low)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(blue + i), b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(green + i), g);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(red + i), r);
    }
#endif
    for (; i < count; ++i) {
        const std::uint32_t p = in[i];
        red[i] = static_cast<std::uint8_t>(p >> 16);
        green[i] = static_cast<std::uint8_t>(p >> 8);
        blue[i] = static_cast<std::uint8_t>(p);
    }
}

}  // namespace

void BuildColourPlanes(ColourPlanes& planes, const PixelSource* source, int originX, int originY, int originalWidth,
                       int originalHeight, kernels::KernelSet set) {
    if (!kernels::KernelSetAvailable(set)) set = kernels::BestKernelSet();
    ReleaseColourPlanes(planes);
    planes.Allocate(originalWidth, originalHeight);
    const std::size_t width = static_cast<std::size_t>(planes.Width());
    const std::size_t height = static_cast<std::size_t>(planes.Height());
    const std::size_t size = planes.PlaneSize();
    if (size == 0) return;
    if (source == nullptr) {
        for (int c = 0; c < 3; ++c) std::memset(planes.Plane(c), 0, size);
        return;
    }

    // Pixels outside the source read as 0xFFFFFFFF: white in every plane. Columns inside the
    // source are the same span on every row, so that span is found once.
    const long long pictureWidth = source->Pixels ? std::max(source->Width, 0) : 0;
    const long long pictureHeight = source->Pixels ? std::max(source->Height, 0) : 0;
    const long long firstX = std::clamp<long long>(-static_cast<long long>(originX), 0, static_cast<long long>(width));
    const long long endX = std::clamp<long long>(pictureWidth - originX, firstX, static_cast<long long>(width));

    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* red = planes.Red() + y * width;
        std::uint8_t* green = planes.Green() + y * width;
        std::uint8_t* blue = planes.Blue() + y * width;
        const long long sy = static_cast<long long>(originY) + static_cast<long long>(y);
        if (sy < 0 || sy >= pictureHeight || firstX == endX) {
            std::memset(red, 0xFF, width);
            std::memset(green, 0xFF, width);
            std::memset(blue, 0xFF, width);
            continue;
        }
        std::memset(red, 0xFF, static_cast<std::size_t>(firstX));
        std::memset(green, 0xFF, static_cast<std::size_t>(firstX));
        std::memset(blue, 0xFF, static_cast<std::size_t>(firstX));
        const std::uint32_t* row = source->Pixels + sy * source->StrideWords + (originX + firstX);
        SplitRow(row, static_cast<std::size_t>(endX - firstX), red + firstX, green + firstX, blue + firstX, set);
        const std::size_t tail = width - static_cast<std::size_t>(endX);
        std::memset(red + endX, 0xFF, tail);
        std::memset(green + endX, 0xFF, tail);
        std::memset(blue + endX, 0xFF, tail);
    }
}

ColourPlaneSource ChooseColourPlaneSource(int pictureWidth, int pictureHeight, int originalWidth, int originalHeight) {
    ColourPlaneSource choice;
    if (pictureWidth < originalWidth || pictureHeight < originalHeight) {
        choice.StretchBackground = true;
        return choice;
    }
    choice.OriginX = (pictureWidth - originalWidth) / 2;
    choice.OriginY = (pictureHeight - originalHeight) / 2;
    return choice;
}

}  // namespace tesselink
