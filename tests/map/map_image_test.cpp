// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "map/map_image.h"

using namespace tesselink;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Image(const Map& map) {
    Bytes bytes(static_cast<std::size_t>(BuildMapImage(map, nullptr, 0)));
    EXPECT_EQ(BuildMapImage(map, bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size()));
    return bytes;
}

Map OneQuarterTurnWindowMap() {
    Map map;
    map.Windows.push_back(MakeWindow(10, 20, 100, 50, 200, 300, 1));
    map.Head.WindowCount = 1;
    return map;
}

const Bytes OneQuarterTurnWindowBytes = {0x23, 0x4d, 0x61, 0x70, 0x05, 0xb2, 0x01, 0x00, 0x02, 0x80,
                                         0x01, 0xe0, 0x02, 0x80, 0x01, 0xe0, 0x00, 0x0a, 0x00, 0x14,
                                         0x00, 0x64, 0x00, 0x32, 0x00, 0xc8, 0x01, 0x2c, 0x01, 0x00};
const Bytes EmptyDefaultBytes = {0x23, 0x4d, 0x61, 0x70, 0x04, 0x07, 0x00, 0x00,
                                 0x02, 0x80, 0x01, 0xe0, 0x02, 0x80, 0x01, 0xe0};

void PutU16(Bytes& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

// A head of the given sizes with the given window entries, written byte by byte.
Bytes HandMade(int ow, int oh, int tw, int th, const std::vector<std::vector<int>>& entries) {
    Bytes b(16 + 14 * entries.size(), 0);
    b[0] = '#', b[1] = 'M', b[2] = 'a', b[3] = 'p';
    b[6] = static_cast<std::uint8_t>(entries.size());
    PutU16(b, 8, ow), PutU16(b, 10, oh), PutU16(b, 12, tw), PutU16(b, 14, th);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];  // ox, oy, w, h, tx, ty, mode[, reserved]
        const std::size_t at = 16 + 14 * i;
        for (int f = 0; f < 6; ++f) PutU16(b, at + 2 * f, e[f]);
        b[at + 12] = static_cast<std::uint8_t>(e[6]);
        if (e.size() > 7) b[at + 13] = static_cast<std::uint8_t>(e[7]);
    }
    return b;
}

MapLoadResult Parse(Map& map, const Bytes& b) { return ParseMapImage(map, b.data(), static_cast<long long>(b.size())); }

// A document with something in it, to see that refusals leave it alone.
Map Populated() {
    Map map;
    map.Head.OriginalWidth = 800;
    map.Head.CoverOption = 6;
    map.Windows.push_back(MakeWindow(1, 2, 3, 4, 5, 6, 5));
    map.Head.WindowCount = 1;
    return map;
}

}  // namespace

TEST(MapImageWrite, KnownMapsByteForByte) {
    EXPECT_EQ(Image(OneQuarterTurnWindowMap()), OneQuarterTurnWindowBytes);
    EXPECT_EQ(Image(Map{}), EmptyDefaultBytes);
}

TEST(MapImageWrite, SizeQueriesAndSmallBuffers) {
    const Map map = OneQuarterTurnWindowMap();
    EXPECT_EQ(BuildMapImage(map, nullptr, 0), 30);
    EXPECT_EQ(BuildMapImage(map, nullptr, 5), 30);
    Bytes buffer(30, 0xEE);
    EXPECT_EQ(BuildMapImage(map, buffer.data(), 0), 0);
    EXPECT_EQ(BuildMapImage(map, buffer.data(), -3), -3);
    EXPECT_EQ(BuildMapImage(map, buffer.data(), 29), 0) << "too small: nothing written";
    EXPECT_EQ(buffer, Bytes(30, 0xEE));
}

TEST(MapImageWrite, ReservedByteIsNeverWrittenAndChecksumCoversEverything) {
    Map map;
    for (int i = 0; i < 5; ++i) {
        PlaybackWindow w = MakeWindow(i, i, 1, 1, i, i, i);
        w.Reserved = static_cast<std::uint8_t>(0xA0 + i);
        map.Windows.push_back(w);
    }
    map.Head.WindowCount = 5;
    map.Head.CoverOption = 6;
    const Bytes b = Image(map);
    ASSERT_EQ(b.size(), 16u + 14u * 5u);
    unsigned sum = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i != 4 && i != 5) sum += b[i];
        if (i >= 16 && (i - 16) % 14 == 13) {
            EXPECT_EQ(b[i], 0) << "offset " << i;
        }
    }
    EXPECT_EQ((b[4] << 8) | b[5], static_cast<int>(sum & 0xFFFF));
}

TEST(MapImageRead, QuarterTurnWindowReadsBackWithDerivedPlacedSize) {
    Map map;
    ASSERT_TRUE(Parse(map, OneQuarterTurnWindowBytes));
    EXPECT_EQ(map.Head, OneQuarterTurnWindowMap().Head);
    ASSERT_EQ(map.Windows.size(), 1u);
    EXPECT_EQ(map.Windows[0].PlacedWidth, 50);
    EXPECT_EQ(map.Windows[0].PlacedHeight, 100);
    EXPECT_EQ(map.Windows[0], OneQuarterTurnWindowMap().Windows[0]);
}

TEST(MapImageRead, RandomMapsSurviveWriteThenRead) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Map map;
        map.Head.OriginalWidth = static_cast<std::uint16_t>(1 + rng() % 2000);
        map.Head.OriginalHeight = static_cast<std::uint16_t>(1 + rng() % 2000);
        map.Head.TargetWidth = static_cast<std::uint16_t>(1 + rng() % 2000);
        map.Head.TargetHeight = static_cast<std::uint16_t>(1 + rng() % 2000);
        map.Head.CoverOption = static_cast<std::uint8_t>((rng() % 4) * 2);
        const int n = static_cast<int>(rng() % 20);
        const int side = std::min(
            {+map.Head.OriginalWidth, +map.Head.OriginalHeight, +map.Head.TargetWidth, +map.Head.TargetHeight});
        for (int i = 0; i < n; ++i) {
            const int s = static_cast<int>(rng() % side);
            map.Windows.push_back(MakeWindow(0, 0, s, side - s, 0, 0, static_cast<int>(rng() % 6)));
        }
        map.Head.WindowCount = static_cast<std::uint8_t>(n);
        Map back;
        ASSERT_TRUE(Parse(back, Image(map)));
        EXPECT_EQ(back.Head, map.Head);
        EXPECT_EQ(back.Windows, map.Windows);
    }
}

TEST(MapImageRead, LenientWhereFilesInTheFieldNeedIt) {
    Bytes wrongChecksum = OneQuarterTurnWindowBytes;
    wrongChecksum[4] ^= 0xFF;
    Map a;
    EXPECT_TRUE(Parse(a, wrongChecksum));
    EXPECT_EQ(a.Windows.size(), 1u);

    Bytes trailing = OneQuarterTurnWindowBytes;
    trailing.insert(trailing.end(), {1, 2, 3, 4, 5});
    Map b;
    EXPECT_TRUE(Parse(b, trailing));
    EXPECT_EQ(b.Windows, OneQuarterTurnWindowMap().Windows);

    // The 2000 limit is tested per window: no windows, no test.
    Map c;
    const MapLoadResult r = Parse(c, HandMade(3000, 3000, 3000, 3000, {}));
    EXPECT_TRUE(r);
    EXPECT_TRUE(r.Message.empty());
    EXPECT_EQ(c.Head.OriginalWidth, 3000);
    EXPECT_EQ(c.Head.TargetHeight, 3000);

    // A mode above 5 is kept; its footprint is 0 x 0 so it passes the target tests.
    Map d;
    ASSERT_TRUE(Parse(d, HandMade(640, 480, 640, 480, {{0, 0, 10, 10, 640, 480, 9}})));
    EXPECT_EQ(d.Windows[0].MapMode, 9);
    EXPECT_EQ(d.Windows[0].PlacedWidth, 0);
}

TEST(MapImageRead, ReservedByteIsReadIntoTheWindow) {
    Map map;
    ASSERT_TRUE(Parse(map, HandMade(640, 480, 640, 480, {{0, 0, 1, 1, 0, 0, 0, 0x5A}})));
    EXPECT_EQ(map.Windows[0].Reserved, 0x5A);
    EXPECT_EQ(Image(map)[16 + 13], 0);
}

TEST(MapImageRead, AppendsToTheListItIsGiven) {
    Map map = Populated();
    ASSERT_TRUE(Parse(map, OneQuarterTurnWindowBytes));
    ASSERT_EQ(map.Windows.size(), 2u);
    EXPECT_EQ(map.Windows[1], OneQuarterTurnWindowMap().Windows[0]);
    EXPECT_EQ(map.Head.WindowCount, 1) << "the head is the file's";
}

TEST(MapImageRead, SilentRefusals) {
    const Map before = Populated();
    Bytes lowerCase = OneQuarterTurnWindowBytes;
    lowerCase[1] = 'm';
    Bytes upperCase = OneQuarterTurnWindowBytes;
    upperCase[3] = 'P';
    const Bytes shortHead(OneQuarterTurnWindowBytes.begin(), OneQuarterTurnWindowBytes.begin() + 15);
    const Bytes magicOnly = {'#', 'M', 'a'};
    for (const Bytes& b : {lowerCase, upperCase, shortHead, magicOnly, Bytes{}}) {
        Map map = before;
        const MapLoadResult r = Parse(map, b);
        EXPECT_FALSE(r);
        EXPECT_TRUE(r.Message.empty()) << "refused without a message";
        EXPECT_EQ(map.Head, before.Head);
        EXPECT_EQ(map.Windows, before.Windows);
    }
    Map map = before;
    EXPECT_FALSE(ParseMapImage(map, nullptr, 30));
    EXPECT_FALSE(ParseMapImage(map, OneQuarterTurnWindowBytes.data(), 0));
    EXPECT_FALSE(ParseMapImage(map, OneQuarterTurnWindowBytes.data(), -1));
    EXPECT_EQ(map.Windows, before.Windows);
}

TEST(MapImageRead, HeadSizeAbove2000WithAWindowIsRefused) {
    for (int field = 0; field < 4; ++field) {
        int sizes[4] = {640, 480, 640, 480};
        sizes[field] = 2001;
        Map map = Populated();
        const MapLoadResult r = Parse(map, HandMade(sizes[0], sizes[1], sizes[2], sizes[3], {{0, 0, 10, 10, 0, 0, 0}}));
        EXPECT_FALSE(r);
        EXPECT_EQ(r.Refusal, MapRefusal::HeadTooLarge);
        EXPECT_EQ(r.Message, "High and Width can't more than 2000");
        EXPECT_EQ(r.Window, 0);
        EXPECT_EQ(map.Windows, Populated().Windows);
        EXPECT_EQ(map.Head, Populated().Head);
    }
    Map exactly;
    EXPECT_TRUE(Parse(exactly, HandMade(2000, 2000, 2000, 2000, {{0, 0, 2000, 2000, 0, 0, 0}})));
}

TEST(MapImageRead, WindowsOutsideTheHeadAreRefusedWithTheFirstFailingTest) {
    struct Case {
        std::vector<int> entry;
        const char* message;  // nullptr: loads
    } cases[] = {
        {{540, 0, 100, 10, 0, 0, 0}, nullptr},
        {{541, 0, 100, 10, 0, 0, 0}, "The paywindow's Original Width beyond Screen"},
        {{0, 471, 10, 10, 0, 0, 0}, "The paywindow's Original Heigh beyond Screen"},
        {{0, 471, 10, 10, 631, 0, 0}, "The paywindow's Original Heigh beyond Screen"},
        {{0, 0, 10, 10, 631, 0, 0}, "The paywindow's Target Width beyond Screen"},
        {{0, 0, 10, 10, 0, 471, 0}, "The paywindow's Target Heigh beyond Screen"},
        {{0, 0, 40, 10, 0, 441, 1}, "The paywindow's Target Heigh beyond Screen"},
        {{65535, 0, 2, 1, 0, 0, 0}, "The paywindow's Original Width beyond Screen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message ? c.message : "fits");
        Map map = Populated();
        const MapLoadResult r = Parse(map, HandMade(640, 480, 640, 480, {{0, 0, 1, 1, 0, 0, 0}, c.entry}));
        if (!c.message) {
            EXPECT_TRUE(r);
            continue;
        }
        EXPECT_FALSE(r);
        EXPECT_EQ(r.Refusal, MapRefusal::WindowOutside);
        EXPECT_EQ(r.Message, c.message);
        EXPECT_EQ(r.Window, 1) << "the second entry is the one refused";
        EXPECT_EQ(map.Windows, Populated().Windows) << "the good first window was not stored either";
        EXPECT_EQ(map.Head, Populated().Head);
    }
}

TEST(MapImageRead, FileEndingInsideItsEntriesIsRefused) {
    Bytes full = HandMade(640, 480, 640, 480, {{0, 0, 1, 1, 0, 0, 0}, {0, 0, 2, 2, 0, 0, 0}});
    for (std::size_t cut = 16; cut < full.size(); ++cut) {
        Map map = Populated();
        const Bytes truncated(full.begin(), full.begin() + static_cast<long>(cut));
        const MapLoadResult r = Parse(map, truncated);
        EXPECT_FALSE(r) << cut;
        EXPECT_EQ(r.Refusal, MapRefusal::Incomplete) << cut;
        EXPECT_EQ(r.Window, cut < 30 ? 0 : 1) << cut;
        EXPECT_NE(r.Message.find("incomplete"), std::string::npos);
        EXPECT_EQ(map.Windows, Populated().Windows);
        EXPECT_EQ(map.Head, Populated().Head);
    }
    Map map;
    EXPECT_TRUE(Parse(map, full));
}
