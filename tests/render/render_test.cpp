// SPDX-License-Identifier: GPL-3.0-or-later
// The headless renderer: output against an independent per-pixel formula, and its failures.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <random>
#include <string>

#include "map/map_file.h"
#include "render/render_command.h"
#include "support/source_tree.h"
#include "support/test_files.h"

namespace tesselink {
namespace {

// Source column and row of window w's pixel at target (x, y), by undoing the mode's placement;
// false when (x, y) is outside the window's place.
bool SourceOf(const PlaybackWindow& w, int x, int y, int& c, int& r) {
    const int u = x - w.TargetStartX, v = y - w.TargetStartY;
    if (u < 0 || v < 0 || u >= w.PlacedWidth || v >= w.PlacedHeight) return false;
    const int W = w.Width, H = w.Height;
    switch (w.MapMode) {
    case 0:
        c = u;
        r = v;
        return true;
    case 1:
        c = v;
        r = H - 1 - u;
        return true;
    case 2:
        c = W - 1 - v;
        r = u;
        return true;
    case 3:
        c = u;
        r = H - 1 - v;
        return true;
    case 4:
        c = W - 1 - u;
        r = v;
        return true;
    case 5:
        c = W - 1 - u;
        r = H - 1 - v;
        return true;
    default: return false;
    }
}

// The windows that draw the target: the map's own, or its block repeated over both pictures.
PlaybackWindows Drawn(const Map& map, int cover) {
    if (cover < 0) return map.Windows;
    int c = 0, d = 0, b = 0, e = 0;
    for (const PlaybackWindow& w : map.Windows) {
        c = std::max(c, w.OriginalStartX + w.Width);
        d = std::max(d, w.OriginalStartY + w.Height);
        b = std::max(b, w.TargetStartX + w.PlacedWidth);
        e = std::max(e, w.TargetStartY + w.PlacedHeight);
    }
    PlaybackWindows out;
    if (!c || !d || !b || !e) return out;
    const MapFileHead& h = map.Head;
    const int sourceColumns = h.OriginalWidth / c, sourceRows = h.OriginalHeight / d;
    const int targetColumns = h.TargetWidth / b, targetRows = h.TargetHeight / e;
    // Source tile (column j, row i) goes to target tile (j, i), or (i, j) in the other direction.
    for (int i = 0; i < sourceRows; ++i)
        for (int j = 0; j < sourceColumns; ++j) {
            const int tc = cover == 0 ? j : i, tr = cover == 0 ? i : j;
            if (tc >= targetColumns || tr >= targetRows) continue;
            for (PlaybackWindow w : map.Windows) {
                w.OriginalStartX = static_cast<std::uint16_t>(w.OriginalStartX + j * c);
                w.OriginalStartY = static_cast<std::uint16_t>(w.OriginalStartY + i * d);
                w.TargetStartX = static_cast<std::uint16_t>(w.TargetStartX + tc * b);
                w.TargetStartY = static_cast<std::uint16_t>(w.TargetStartY + tr * e);
                out.push_back(w);
            }
        }
    return out;
}

// What the target pixel (x, y) must be: the last drawn window covering it, read from the picture
// at the crop origin; grey 172 where none does.
QRgb ExpectedPixel(const Map& map, const PlaybackWindows& drawn, const QImage& picture, int x, int y) {
    const int ox = (picture.width() - map.Head.OriginalWidth) / 2;
    const int oy = (picture.height() - map.Head.OriginalHeight) / 2;
    for (auto it = drawn.rbegin(); it != drawn.rend(); ++it) {
        int c = 0, r = 0;
        if (SourceOf(*it, x, y, c, r)) return picture.pixel(ox + it->OriginalStartX + c, oy + it->OriginalStartY + r);
    }
    return qRgb(172, 172, 172);
}

class Render : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

    int Run(const std::string& map, const std::string& picture, const std::string& output,
            const char* cover = nullptr) {
        QStringList args = {"--render", QString::fromStdString(map),   "--picture", QString::fromStdString(picture),
                            "--output", QString::fromStdString(output)};
        if (cover) args << "--cover" << cover;
        return RunRenderCommand(args);
    }

    void ExpectImageMatches(const QImage& out, const Map& map, const QImage& picture, int cover) {
        ASSERT_EQ(out.width(), map.Head.TargetWidth);
        ASSERT_EQ(out.height(), map.Head.TargetHeight);
        const PlaybackWindows drawn = Drawn(map, cover);
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x)
                ASSERT_EQ(out.pixel(x, y) & 0xFFFFFF, ExpectedPixel(map, drawn, picture, x, y) & 0xFFFFFF)
                    << "at " << x << "," << y << " cover " << cover;
    }

    QTemporaryDir dir_;
};

Map RandomMap(std::mt19937& random) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    Map map;
    map.Head.OriginalWidth = static_cast<std::uint16_t>(pick(40, 120));
    map.Head.OriginalHeight = static_cast<std::uint16_t>(pick(40, 120));
    map.Head.TargetWidth = static_cast<std::uint16_t>(pick(40, 130));
    map.Head.TargetHeight = static_cast<std::uint16_t>(pick(40, 130));
    const int count = pick(1, 7);
    for (int k = 0; k < count; ++k) {
        const int mode = pick(0, 5);
        const int limit =
            std::min({map.Head.OriginalWidth, map.Head.OriginalHeight, map.Head.TargetWidth, map.Head.TargetHeight}) /
            2;
        const int w = pick(1, limit), h = pick(1, limit);
        PlaybackWindow win =
            MakeWindow(pick(0, map.Head.OriginalWidth - w), pick(0, map.Head.OriginalHeight - h), w, h, 0, 0, mode);
        win.TargetStartX = static_cast<std::uint16_t>(pick(0, map.Head.TargetWidth - win.PlacedWidth));
        win.TargetStartY = static_cast<std::uint16_t>(pick(0, map.Head.TargetHeight - win.PlacedHeight));
        map.Windows.push_back(win);
    }
    map.Head.WindowCount = static_cast<std::uint8_t>(count);
    return map;
}

using testing::NoisePicture;

TEST_F(Render, RandomMapsMatchThePerPixelFormulaWithAndWithoutCover) {
    std::mt19937 random(2024);
    for (int round = 0; round < 24; ++round) {
        const Map map = RandomMap(random);
        // A picture at least the original size, so the planes are its centred crop.
        const QImage picture =
            NoisePicture(map.Head.OriginalWidth + round % 5, map.Head.OriginalHeight + round % 3, random);
        ASSERT_TRUE(picture.save(dir_.filePath("picture.png"), "png"));
        ASSERT_TRUE(WriteMapFile(map, Path("random.map")));
        for (int cover : {-1, 0, 1}) {
            const char* name = cover < 0 ? "none" : cover == 0 ? "same" : "different";
            SCOPED_TRACE(std::to_string(round) + " " + name);
            ASSERT_EQ(Run(Path("random.map"), Path("picture.png"), Path("out.png"), name), 0);
            QImage out(dir_.filePath("out.png"));
            ExpectImageMatches(out, map, picture, cover);
        }
    }
}

TEST_F(Render, FollowsTheMapsCoverOptionWithoutTheFlag) {
    std::mt19937 random(5);
    Map map;
    map.Windows = {MakeWindow(0, 0, 20, 10, 0, 0, 1), MakeWindow(20, 0, 10, 10, 10, 0, 4)};
    map.Head.WindowCount = 2;
    map.Head.OriginalWidth = 95;
    map.Head.OriginalHeight = 47;
    map.Head.TargetWidth = 83;
    map.Head.TargetHeight = 101;
    const QImage picture = NoisePicture(95, 47, random);
    ASSERT_TRUE(picture.save(dir_.filePath("p.png"), "png"));
    for (std::uint8_t option : {0, 2, 6, 4}) {
        map.Head.CoverOption = option;
        ASSERT_TRUE(WriteMapFile(map, Path("m.map")));
        ASSERT_EQ(Run(Path("m.map"), Path("p.png"), Path("o.png")), 0);
        const int cover = (option & 2) ? ((option & 4) ? 1 : 0) : -1;
        ExpectImageMatches(QImage(dir_.filePath("o.png")), map, picture, cover);
    }
}

TEST_F(Render, SmallerPictureIsStretchedToTheOriginalSize) {
    QImage flat(30, 20, QImage::Format_RGB32);
    flat.fill(qRgb(12, 34, 56));
    ASSERT_TRUE(flat.save(dir_.filePath("small.png"), "png"));
    Map map;
    map.Windows = {MakeWindow(0, 0, 640, 480, 0, 0, 5)};
    map.Head.WindowCount = 1;
    ASSERT_TRUE(WriteMapFile(map, Path("whole.map")));
    ASSERT_EQ(Run(Path("whole.map"), Path("small.png"), Path("out.png")), 0);
    const QImage out(dir_.filePath("out.png"));
    ASSERT_EQ(out.size(), QSize(640, 480));
    for (QPoint p : {QPoint(0, 0), QPoint(639, 479), QPoint(320, 17)}) EXPECT_EQ(out.pixel(p), qRgb(12, 34, 56));
}

TEST_F(Render, ExampleMapsRenderFromTheDefaultPicture) {
    const QString root = testing::SourceDir();
    const QImage card(root + "/res/tesselink.jpg");
    ASSERT_EQ(card.size(), QSize(640, 480));
    for (const char* name : {"wall_2x2.map", "mirrored_strip.map", "cover_block.map"}) {
        SCOPED_TRACE(name);
        const std::string mapPath = (root + "/examples/" + name).toStdString();
        Map map;
        ASSERT_TRUE(ReadMapFile(map, mapPath));
        ASSERT_EQ(Run(mapPath, (root + "/res/tesselink.jpg").toStdString(), Path("example.png")), 0);
        const int cover = (map.Head.CoverOption & 2) ? ((map.Head.CoverOption & 4) ? 1 : 0) : -1;
        ExpectImageMatches(QImage(dir_.filePath("example.png")), map, card.convertToFormat(QImage::Format_RGB32),
                           cover);
    }
}

// Three 1 x 1 windows over 2000 x 2000 pictures: 12 million cover windows. The cover is drawn
// all the same, the block repeated: the original copied, or transposed in the other direction.
TEST_F(Render, ACoverOfMillionsOfTilesIsDrawn) {
    QImage picture(2000, 2000, QImage::Format_RGB32);
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 2000; ++x) picture.setPixel(x, y, qRgb(x & 255, y & 255, (x * 7 + y) & 255));
    ASSERT_TRUE(picture.save(dir_.filePath("p.png"), "png"));
    Map map;
    map.Head.OriginalWidth = map.Head.OriginalHeight = map.Head.TargetWidth = map.Head.TargetHeight = 2000;
    map.Windows = {MakeWindow(0, 0, 1, 1, 0, 0, 2), MakeWindow(0, 0, 1, 1, 0, 0, 4), MakeWindow(0, 0, 1, 1, 0, 0, 0)};
    map.Head.WindowCount = 3;
    ASSERT_TRUE(WriteMapFile(map, Path("dots.map")));

    ASSERT_EQ(Run(Path("dots.map"), Path("p.png"), Path("same.png"), "same"), 0);
    ASSERT_EQ(Run(Path("dots.map"), Path("p.png"), Path("different.png"), "different"), 0);
    const QImage same(dir_.filePath("same.png")), different(dir_.filePath("different.png"));
    ASSERT_EQ(same.size(), QSize(2000, 2000));
    ASSERT_EQ(different.size(), QSize(2000, 2000));
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 2000; ++x) {
            ASSERT_EQ(same.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
            ASSERT_EQ(different.pixel(x, y), picture.pixel(y, x)) << x << "," << y;
        }
}

TEST_F(Render, FailuresGiveNonZeroAndLeaveNoFile) {
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(dir_.filePath("p.png"), "png"));
    Map good;
    good.Windows = {MakeWindow(0, 0, 10, 10, 0, 0, 0)};
    good.Head.WindowCount = 1;
    good.Head.OriginalWidth = good.Head.OriginalHeight = 64;
    ASSERT_TRUE(WriteMapFile(good, Path("good.map")));

    QFile bad(dir_.filePath("bad.map"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("#Mop this is not a map");
    bad.close();
    EXPECT_NE(Run(Path("bad.map"), Path("p.png"), Path("o1.png")), 0);
    EXPECT_NE(Run(Path("absent.map"), Path("p.png"), Path("o1.png")), 0);
    EXPECT_FALSE(QFile::exists(dir_.filePath("o1.png")));

    // A window that does not fit: the reader's own message, non-zero.
    Map unfit = good;
    unfit.Windows[0].TargetStartX = 635;
    std::vector<std::uint8_t> image(BuildMapImage(unfit, nullptr, 0));
    BuildMapImage(unfit, image.data(), static_cast<int>(image.size()));
    QFile raw(dir_.filePath("unfit.map"));
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
    raw.close();
    EXPECT_NE(Run(Path("unfit.map"), Path("p.png"), Path("o2.png")), 0);
    EXPECT_FALSE(QFile::exists(dir_.filePath("o2.png")));

    EXPECT_NE(Run(Path("good.map"), Path("missing.png"), Path("o3.png")), 0);
    EXPECT_NE(Run(Path("good.map"), Path("bad.map"), Path("o3.png")), 0);  // not a picture
    EXPECT_FALSE(QFile::exists(dir_.filePath("o3.png")));

    // Unwritable output: a missing folder, and a folder in place of the file.
    EXPECT_NE(Run(Path("good.map"), Path("p.png"), Path("no-such-folder/o4.png")), 0);
    EXPECT_FALSE(QDir(dir_.path()).exists("no-such-folder"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("taken.png"));
    EXPECT_NE(Run(Path("good.map"), Path("p.png"), Path("taken.png")), 0);
    EXPECT_EQ(QDir(dir_.path()).entryList({"*.png"}, QDir::Files), QStringList({"p.png"}));

    // A map without windows may carry any head size; one too large to render is refused.
    Map huge;
    huge.Head.TargetWidth = huge.Head.TargetHeight = 65535;
    ASSERT_TRUE(WriteMapFile(huge, Path("huge.map")));
    EXPECT_NE(Run(Path("huge.map"), Path("p.png"), Path("o6.png")), 0);
    EXPECT_FALSE(QFile::exists(dir_.filePath("o6.png")));

    // Usage mistakes.
    EXPECT_NE(RunRenderCommand({"--render", QString::fromStdString(Path("good.map"))}), 0);
    EXPECT_NE(Run(Path("good.map"), Path("p.png"), Path("o5.png"), "sideways"), 0);
    EXPECT_NE(RunRenderCommand({"--render", "a", "--picture", "b", "--output", "c", "--extra", "d"}), 0);
    EXPECT_FALSE(QFile::exists(dir_.filePath("o5.png")));
}

TEST_F(Render, ExistingOutputIsReplacedWhole) {
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir_.filePath("p.png"), "png"));
    Map map;
    map.Head.OriginalWidth = map.Head.OriginalHeight = 64;
    map.Head.TargetWidth = 5;
    map.Head.TargetHeight = 4;
    ASSERT_TRUE(WriteMapFile(map, Path("empty.map")));  // no windows: the target is all grey
    QFile old(dir_.filePath("o.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    ASSERT_EQ(Run(Path("empty.map"), Path("p.png"), Path("o.png")), 0);
    const QImage out(dir_.filePath("o.png"));
    ASSERT_EQ(out.size(), QSize(5, 4));
    EXPECT_EQ(out.pixel(4, 3), qRgb(172, 172, 172));
}

TEST_F(Render, TheProgramRendersTheReadmeExample) {
    const QString root = testing::SourceDir();
    QProcess process;
    process.start(TESSELINK_EXECUTABLE, {"--render", root + "/examples/cover_block.map", "--picture",
                                         root + "/res/tesselink.jpg", "--output", dir_.filePath("cover.png")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QImage(dir_.filePath("cover.png")).size(), QSize(640, 480));

    process.start(TESSELINK_EXECUTABLE, {"--render", root + "/examples/none.map", "--picture",
                                         root + "/res/tesselink.jpg", "--output", dir_.filePath("x.png")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_NE(process.exitCode(), 0);
    const QString message = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(message.startsWith("tesselink: ")) << message.toStdString();
    EXPECT_EQ(message.count('\n'), 1) << message.toStdString();
    EXPECT_FALSE(QFile::exists(dir_.filePath("x.png")));
}

}  // namespace
}  // namespace tesselink
