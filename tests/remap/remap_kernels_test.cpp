// The SIMD movers against the portable ones and against plain index arithmetic.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "remap/remap_kernels.h"

namespace tesselink::kernels {
namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t n, std::mt19937& random) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(random());
    return v;
}

TEST(ReverseBytes, EveryLengthAroundTheVectorWidth) {
    std::mt19937 random(5);
    for (std::size_t n = 0; n <= 100; ++n) {
        const auto src = RandomBytes(n, random);
        std::vector<std::uint8_t> fast(n + 2, 0x5A), portable(n + 2, 0x5A);
        ReverseBytes(src.data(), fast.data() + 1, n);
        ReverseBytesPortable(src.data(), portable.data() + 1, n);
        for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(fast[1 + i], src[n - 1 - i]) << n;
        EXPECT_EQ(fast, portable) << n;
#if defined(__SSE2__)
        // The SSE2-only form too, whichever form this processor runs by default.
        std::vector<std::uint8_t> sse2(n + 2, 0x5A);
        ReverseBytesSse2(src.data(), sse2.data() + 1, n);
        EXPECT_EQ(sse2, portable) << n;
#endif
        EXPECT_EQ(fast.front(), 0x5A);  // no write before or after the row
        EXPECT_EQ(fast.back(), 0x5A);
    }
}

TEST(Transpose, OddSizesAndNegativeStrides) {
    std::mt19937 random(6);
    for (const auto& size : std::vector<std::pair<int, int>>{{1, 1}, {15, 17}, {16, 16}, {32, 48}, {65, 33}, {100, 3}, {3, 100}}) {
        const int w = size.first, h = size.second;
        const int srcStride = w + 5, dstStride = h + 3;
        const auto src = RandomBytes(static_cast<std::size_t>(srcStride) * h, random);
        for (int flip = 0; flip < 4; ++flip) {
            // flip bit 0: read the source bottom row first; bit 1: write the destination bottom row first.
            const std::uint8_t* s = (flip & 1) ? src.data() + (h - 1) * srcStride : src.data();
            const std::ptrdiff_t ss = (flip & 1) ? -srcStride : srcStride;
            std::vector<std::uint8_t> fast(static_cast<std::size_t>(dstStride) * w, 0x77), portable = fast;
            std::uint8_t* df = (flip & 2) ? fast.data() + (w - 1) * dstStride : fast.data();
            std::uint8_t* dp = (flip & 2) ? portable.data() + (w - 1) * dstStride : portable.data();
            const std::ptrdiff_t ds = (flip & 2) ? -dstStride : dstStride;
            Transpose(s, ss, df, ds, w, h);
            TransposePortable(s, ss, dp, ds, w, h);
            for (int x = 0; x < w; ++x)
                for (int y = 0; y < h; ++y) ASSERT_EQ(df[x * ds + y], s[y * ss + x]) << w << "x" << h << " flip " << flip;
            EXPECT_EQ(fast, portable);
            for (int x = 0; x < w; ++x)  // the padding bytes of each destination row stay untouched
                for (int y = h; y < dstStride; ++y) ASSERT_EQ(fast[x * dstStride + y], 0x77);
        }
    }
}

}  // namespace
}  // namespace tesselink::kernels
