// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte planes of the original picture area and of the target picture.

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "remap/remap_kernels.h"

namespace tesselink {

constexpr std::uint8_t TargetFillValue = 172;

// Plane memory starts on a cache line, so rows whose stride is a multiple of 64 start on one
// too and the movers' aligned stores never split a line.
template <typename T>
struct CacheLineAllocator {
    using value_type = T;
    static constexpr std::align_val_t Alignment{64};
    CacheLineAllocator() = default;
    template <typename U>
    CacheLineAllocator(const CacheLineAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), Alignment)); }
    void deallocate(T* p, std::size_t) { ::operator delete(p, Alignment); }
    template <typename U>
    bool operator==(const CacheLineAllocator<U>&) const {
        return true;
    }
    template <typename U>
    bool operator!=(const CacheLineAllocator<U>&) const {
        return false;
    }
};

// Three 8-bit planes (red, green, blue), row-major, top row first, no padding:
// pixel (x, y) is at index y * Width() + x. All three present with one size, or none.
// Release() only marks the set absent and keeps the memory, so a set rebuilt on every
// paint does not go back to the allocator each time; Free() hands the memory back.
class PlaneSet {
public:
    // Makes the set present at width x height (contents unspecified); reuses memory.
    void Allocate(int width, int height);
    void Release() { present_ = false; }
    void Free();

    bool IsPresent() const { return present_; }
    int Width() const { return present_ ? width_ : 0; }
    int Height() const { return present_ ? height_ : 0; }
    std::size_t PlaneSize() const { return present_ ? static_cast<std::size_t>(width_) * height_ : 0; }

    std::uint8_t* Red() { return red_.data(); }
    std::uint8_t* Green() { return green_.data(); }
    std::uint8_t* Blue() { return blue_.data(); }
    const std::uint8_t* Red() const { return red_.data(); }
    const std::uint8_t* Green() const { return green_.data(); }
    const std::uint8_t* Blue() const { return blue_.data(); }
    // Plane 0 red, 1 green, 2 blue.
    std::uint8_t* Plane(int channel);
    const std::uint8_t* Plane(int channel) const;

private:
    using Bytes = std::vector<std::uint8_t, CacheLineAllocator<std::uint8_t>>;
    Bytes red_, green_, blue_;
    int width_ = 0;
    int height_ = 0;
    bool present_ = false;
};

// The original picture area's planes (OriginalWidth x OriginalHeight when built).
class ColourPlanes : public PlaneSet {};
// The target picture's planes (TargetWidth x TargetHeight).
class TargetPlanes : public PlaneSet {};

inline void ReleaseColourPlanes(ColourPlanes& planes) { planes.Release(); }
inline void ReleaseTargetPlanes(TargetPlanes& planes) { planes.Release(); }

// Decoded picture pixels as 32-bit words 0xffRRGGBB (QImage::Format_RGB32), row stride in words.
struct PixelSource {
    const std::uint32_t* Pixels = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t StrideWords = 0;
};

// Replaces `planes` with originalWidth x originalHeight planes read from `source` from picture
// pixel (originX, originY) on. Pixels outside the source read as the invalid colour and land
// as 255 in all three planes. Without a source (the picture file is missing) the planes are all 0.
// `set` picks the instruction set of the split (Ssse3 runs as Sse2); tests compare them.
void BuildColourPlanes(ColourPlanes& planes, const PixelSource* source, int originX, int originY, int originalWidth,
                       int originalHeight, kernels::KernelSet set = kernels::BestKernelSet());

// Where the planes come from for a picture of its own size pictureWidth x pictureHeight:
// the centred crop at the picture's resolution, or (smaller in either direction) the whole
// picture stretched to the original size, origin (0, 0).
struct ColourPlaneSource {
    bool StretchBackground = false;
    int OriginX = 0;
    int OriginY = 0;
};
ColourPlaneSource ChooseColourPlaneSource(int pictureWidth, int pictureHeight, int originalWidth, int originalHeight);

}  // namespace tesselink
