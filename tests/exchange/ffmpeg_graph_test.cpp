// SPDX-License-Identifier: GPL-3.0-or-later
// The filter graph run by the ffmpeg program on a still picture, against --render's picture.
#include "exchange/ffmpeg_graph.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "remap/cover.h"
#include "render/render_target.h"
#include "support/random_maps.h"

namespace tesselink {
namespace {

QImage RandomPicture(int w, int h, std::mt19937& random) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
    return image;
}

class FfmpegGraph : public ::testing::Test {
protected:
    void SetUp() override {
        ffmpeg_ = QStandardPaths::findExecutable("ffmpeg");
        if (ffmpeg_.isEmpty()) GTEST_SKIP() << "the ffmpeg program is not installed: the graphs are not run";
    }

    // The picture the graph makes from the PNG at `input`, read back as RGB; null on failure.
    QImage RunGraph(const std::string& graph, const QString& input, int width, int height) {
        QFile script(dir_.filePath("wall.ffmpeg"));
        if (!script.open(QIODevice::WriteOnly)) return QImage();
        script.write(graph.data(), static_cast<qint64>(graph.size()));
        script.close();
        QProcess p;
        p.start(ffmpeg_, {"-nostdin", "-v", "error", "-i", input, "-filter_complex_script", script.fileName(), "-map",
                          "[out]", "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            ADD_FAILURE() << "ffmpeg failed: " << p.readAllStandardError().toStdString() << "\n" << graph;
            return QImage();
        }
        const QByteArray rgb = p.readAllStandardOutput();
        if (rgb.size() != 3LL * width * height) {
            ADD_FAILURE() << "ffmpeg gave " << rgb.size() << " bytes for " << width << " x " << height;
            return QImage();
        }
        QImage out(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const char* at = rgb.constData() + 3 * (static_cast<qsizetype>(y) * width + x);
                out.setPixel(x, y,
                             qRgb(static_cast<uchar>(at[0]), static_cast<uchar>(at[1]), static_cast<uchar>(at[2])));
            }
        return out;
    }

    // Graph and renderer from one picture; the first differing pixel fails the test.
    void ExpectSameAsRender(const Map& map, CoverMode cover, std::mt19937& random) {
        const QImage picture = RandomPicture(map.Head.OriginalWidth, map.Head.OriginalHeight, random);
        const QString path = dir_.filePath("picture.png");
        ASSERT_TRUE(picture.save(path, "png"));
        Picture loaded;
        ASSERT_TRUE(loaded.Load(path.toStdString()));
        const QImage expected = RenderTarget(map, path.toStdString(), loaded, cover);
        ASSERT_FALSE(expected.isNull());
        std::string why;
        const std::string graph = WriteFfmpegGraph(map, cover, &why);
        ASSERT_FALSE(graph.empty()) << why;
        const QImage got = RunGraph(graph, path, map.Head.TargetWidth, map.Head.TargetHeight);
        ASSERT_FALSE(got.isNull());
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x)
                ASSERT_EQ(got.pixel(x, y) & 0xFFFFFF, expected.pixel(x, y) & 0xFFFFFF) << "at " << x << "," << y << "\n"
                                                                                       << graph;
    }

    QString ffmpeg_;
    QTemporaryDir dir_;
};

TEST_F(FfmpegGraph, RandomMapsGiveTheRenderedPicturePixelForPixel) {
    std::mt19937 random(22);
    for (int round = 0; round < 12; ++round) {
        const Map map = testing::RandomValidMap(random, 16, 90, 8);
        for (CoverMode cover : {CoverMode::None, CoverMode::Same, CoverMode::Different}) {
            SCOPED_TRACE("round " + std::to_string(round) + " cover " + std::to_string(static_cast<int>(cover)));
            ExpectSameAsRender(map, cover, random);
            if (HasFatalFailure()) return;
        }
    }
}

TEST_F(FfmpegGraph, EveryModeOverlappingInListOrder) {
    std::mt19937 random(23);
    Map map;
    map.Head.OriginalWidth = 37;
    map.Head.OriginalHeight = 23;
    map.Head.TargetWidth = 41;
    map.Head.TargetHeight = 29;
    for (int mode = 0; mode < MapModeCount; ++mode)
        map.Windows.push_back(MakeWindow(mode, 2 * mode, 13, 7, 3 * mode, mode, mode));
    map.Windows.push_back(MakeWindow(0, 0, 0, 5, 0, 0, 0));  // empty: draws nothing
    ExpectSameAsRender(map, CoverMode::None, random);
    map.Windows.clear();
    ExpectSameAsRender(map, CoverMode::None, random);  // all grey
}

TEST_F(FfmpegGraph, ACoverOfManyTilesInBothDirections) {
    std::mt19937 random(24);
    Map map;
    map.Head.OriginalWidth = 50;
    map.Head.OriginalHeight = 33;
    map.Head.TargetWidth = 47;
    map.Head.TargetHeight = 52;
    map.Windows = {MakeWindow(0, 0, 6, 4, 0, 0, 1), MakeWindow(6, 0, 3, 5, 4, 0, 4), MakeWindow(1, 1, 2, 2, 1, 1, 5)};
    for (CoverMode cover : {CoverMode::Same, CoverMode::Different}) {
        PlaybackWindows tiles;
        ASSERT_EQ(BuildCoverWindows(map.Windows, map.Head, cover, tiles), CoverBuild::Filled);
        ASSERT_GE(tiles.size(), 20 * map.Windows.size());
        ExpectSameAsRender(map, cover, random);
    }
}

TEST(FfmpegGraphText, RefusesWhatNoGraphCanCarry) {
    Map map;
    map.Head.OriginalWidth = map.Head.OriginalHeight = map.Head.TargetWidth = map.Head.TargetHeight = 2000;
    map.Windows = {MakeWindow(0, 0, 10, 10, 0, 0, 0)};
    std::string why;
    EXPECT_TRUE(WriteFfmpegGraph(map, CoverMode::Same, &why).empty());
    EXPECT_EQ(why, "the picture is drawn by 40000 windows; a filter graph holds at most 4096");
    EXPECT_FALSE(WriteFfmpegGraph(map, CoverMode::None, &why).empty());

    map.Windows.clear();
    map.Head.TargetWidth = 0;
    EXPECT_TRUE(WriteFfmpegGraph(map, CoverMode::None, &why).empty());
    EXPECT_EQ(why, "a filter graph needs pictures of at least 1 x 1; the original is 2000 x 2000, the target 0 x 2000");
    map.Head.TargetWidth = 65535;
    EXPECT_TRUE(WriteFfmpegGraph(map, CoverMode::None, &why).empty());
    EXPECT_NE(why.find("is too large to show"), std::string::npos) << why;
}

}  // namespace
}  // namespace tesselink
