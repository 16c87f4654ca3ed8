// SPDX-License-Identifier: GPL-3.0-or-later
// The "No signal" card: its size, its plain background, the title and the missing source's name
// drawn on it, and the sizes it refuses.
#include <gtest/gtest.h>

#include "picture/no_signal_card.h"

namespace tesselink {
namespace {

constexpr std::uint8_t BackRed = (NoSignalCardBackground >> 16) & 0xff;
constexpr std::uint8_t BackGreen = (NoSignalCardBackground >> 8) & 0xff;
constexpr std::uint8_t BackBlue = NoSignalCardBackground & 0xff;

bool IsBackground(const ColourPlanes& planes, int x, int y) {
    const std::size_t i = static_cast<std::size_t>(y) * planes.Width() + x;
    return planes.Red()[i] == BackRed && planes.Green()[i] == BackGreen && planes.Blue()[i] == BackBlue;
}

// Pixels brighter than the background in rows [top, bottom), and the columns they span.
struct Ink {
    int count = 0;
    int left = 1 << 30;
    int right = -1;
};
Ink InkIn(const ColourPlanes& planes, int top, int bottom) {
    Ink ink;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < planes.Width(); ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * planes.Width() + x;
            if (planes.Green()[i] > BackGreen + 60) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
        }
    }
    return ink;
}

TEST(NoSignalCardTest, APlainCardWithTheTitleAboveTheSourceName) {
    ColourPlanes planes;
    std::string why;
    ASSERT_TRUE(BuildNoSignalCard(planes, 640, 360, "udp://127.0.0.1:5000", &why)) << why;
    ASSERT_EQ(planes.Width(), 640);
    ASSERT_EQ(planes.Height(), 360);
    // The edges stay plain, so the map's windows show the card's colour to their borders.
    for (int x = 0; x < 640; ++x) {
        EXPECT_TRUE(IsBackground(planes, x, 0));
        EXPECT_TRUE(IsBackground(planes, x, 359));
    }
    for (int y = 0; y < 360; ++y) EXPECT_TRUE(IsBackground(planes, 0, y));

    // The title is in the upper middle, the name below it, both centred.
    const Ink title = InkIn(planes, 100, 180);
    const Ink name = InkIn(planes, 195, 260);
    EXPECT_GT(title.count, 500);
    EXPECT_GT(name.count, 100);
    EXPECT_NEAR((title.left + title.right) / 2.0, 320, 12);
    EXPECT_NEAR((name.left + name.right) / 2.0, 320, 12);
    EXPECT_LT(name.right - name.left, title.right - title.left + 200);

    // Another source changes the name, not the title.
    ColourPlanes other;
    ASSERT_TRUE(BuildNoSignalCard(other, 640, 360, "srt://10.0.0.9:9000", &why)) << why;
    const std::size_t titleRows = static_cast<std::size_t>(640) * 180;
    EXPECT_TRUE(std::equal(planes.Green(), planes.Green() + titleRows, other.Green()));
    EXPECT_FALSE(std::equal(planes.Green(), planes.Green() + planes.PlaneSize(), other.Green()));
}

TEST(NoSignalCardTest, ALongNameIsCutToFitAndSmallCardsArePlain) {
    ColourPlanes planes;
    std::string why;
    ASSERT_TRUE(BuildNoSignalCard(planes, 400, 300, "rtsp://camera.local/" + std::string(2000, 'x'), &why)) << why;
    const Ink name = InkIn(planes, 170, 240);
    EXPECT_GT(name.count, 50);
    EXPECT_GT(name.left, 400 * 0.04);
    EXPECT_LT(name.right, 400 * 0.96);

    // Too small for words: the plain card all the same.
    for (const auto& [w, h] : {std::pair(1, 1), std::pair(7, 3), std::pair(3000, 8)}) {
        ASSERT_TRUE(BuildNoSignalCard(planes, w, h, "udp://127.0.0.1:5000", &why)) << w << " x " << h << ": " << why;
        ASSERT_EQ(planes.Width(), w);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) ASSERT_TRUE(IsBackground(planes, x, y)) << x << "," << y;
        }
    }
}

TEST(NoSignalCardTest, RefusesEmptyAndOversizedAreas) {
    ColourPlanes planes;
    std::string why;
    ASSERT_TRUE(BuildNoSignalCard(planes, 16, 16, "v4l2:/dev/video0", &why));
    EXPECT_FALSE(BuildNoSignalCard(planes, 0, 100, "v4l2:/dev/video0", &why));
    EXPECT_NE(why.find("empty"), std::string::npos) << why;
    EXPECT_FALSE(planes.IsPresent());
    EXPECT_FALSE(BuildNoSignalCard(planes, 100, -1, "v4l2:/dev/video0", &why));
    EXPECT_FALSE(BuildNoSignalCard(planes, 20000, 20000, "v4l2:/dev/video0", &why));
    EXPECT_NE(why.find("larger"), std::string::npos) << why;
    EXPECT_TRUE(NoSignalCardImage(20000, 20000, "x").isNull());
}

}  // namespace
}  // namespace tesselink
