// SPDX-License-Identifier: GPL-3.0-or-later
// Picture loading in the four formats, pixel reading, and files that must fail cleanly.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <map>
#include <vector>

#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "picture/picture.h"
#include "picture/picture_cache.h"
#include "support/source_tree.h"

namespace tesselink {
namespace {

class PictureFiles : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const { return dir_.filePath(name).toStdString(); }

    // 5 x 3 picture: column x, row y has colour (40 x, 80 y, 200).
    static QImage Pattern() {
        QImage image(5, 3, QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgb(40 * x, 80 * y, 200));
        return image;
    }

    std::string Save(const QImage& image, const char* name, const char* format) const {
        const std::string path = PathOf(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path), format));
        return path;
    }

    void WriteBytes(const std::string& path, const QByteArray& bytes) const {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QTemporaryDir dir_;
};

std::uint32_t Colour(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}

TEST_F(PictureFiles, LosslessFormatsLoadExactly) {
    for (const char* format : {"bmp", "png"}) {
        Picture picture;
        const std::string path = Save(Pattern(), (std::string("p.") + format).c_str(), format);
        std::string why;
        ASSERT_TRUE(picture.Load(path, &why)) << format << ": " << why;
        EXPECT_TRUE(picture.HasBitmap());
        EXPECT_EQ(picture.Width(), 5);
        EXPECT_EQ(picture.Height(), 3);
        EXPECT_EQ(picture.Image().format(), QImage::Format_RGB32);
        EXPECT_EQ(picture.GetPixel(0, 0), Colour(0, 0, 200));
        EXPECT_EQ(picture.GetPixel(4, 2), Colour(160, 160, 200)) << format;
    }
}

TEST_F(PictureFiles, JpegLoadsWithinCompressionError) {
    QImage flat(16, 16, QImage::Format_RGB32);
    flat.fill(qRgb(200, 40, 90));
    Picture picture;
    ASSERT_TRUE(picture.Load(Save(flat, "p.jpg", "jpg")));
    EXPECT_EQ(picture.Width(), 16);
    const std::uint32_t c = picture.GetPixel(8, 8);
    EXPECT_NEAR(static_cast<int>(c & 0xFF), 200, 4);
    EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 40, 4);
    EXPECT_NEAR(static_cast<int>((c >> 16) & 0xFF), 90, 4);
}

TEST_F(PictureFiles, GifLoads) {
    Picture picture;
    std::string why;
    ASSERT_TRUE(picture.Load(testing::SourceStdPath("tests/data/tiny_3x2.gif"), &why)) << why;
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    EXPECT_EQ(picture.GetPixel(0, 0), Colour(255, 0, 0));
    EXPECT_EQ(picture.GetPixel(1, 0), Colour(0, 255, 0));
    EXPECT_EQ(picture.GetPixel(2, 0), Colour(0, 0, 255));
    EXPECT_EQ(picture.GetPixel(2, 1), Colour(255, 255, 0));
}

TEST_F(PictureFiles, OutsideThePictureReadsInvalidColour) {
    Picture picture;
    EXPECT_EQ(picture.GetPixel(0, 0), 0xFFFFFFFFu);  // empty
    ASSERT_TRUE(picture.Load(Save(Pattern(), "p.png", "png")));
    EXPECT_EQ(picture.GetPixel(-1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(picture.GetPixel(5, 0), 0xFFFFFFFFu);
    EXPECT_EQ(picture.GetPixel(0, 3), 0xFFFFFFFFu);
}

TEST_F(PictureFiles, MissingCorruptAndUnsupportedFilesFailAndLeaveItEmpty) {
    Picture picture;
    ASSERT_TRUE(picture.Load(Save(Pattern(), "good.png", "png")));
    std::string why;
    EXPECT_FALSE(picture.Load(PathOf("nothing-here.png"), &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(picture.HasBitmap());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);

    QByteArray noise;
    std::srand(4);
    for (int i = 0; i < 3000; ++i) noise.append(static_cast<char>(std::rand()));
    WriteBytes(PathOf("noise.png"), noise);
    ASSERT_TRUE(picture.Load(Save(Pattern(), "good.png", "png")));
    why.clear();
    EXPECT_FALSE(picture.Load(PathOf("noise.png"), &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(picture.HasBitmap());

    WriteBytes(PathOf("notes.gif"), "This is not a picture at all.\n");
    EXPECT_FALSE(picture.Load(PathOf("notes.gif")));
    EXPECT_EQ(picture.Width(), 0);

    // A PNG signature followed by garbage.
    WriteBytes(PathOf("broken.png"), QByteArray("\x89PNG\r\n\x1a\n", 8) + noise.left(200));
    EXPECT_FALSE(picture.Load(PathOf("broken.png")));
    EXPECT_FALSE(picture.HasBitmap());
}

// Every cut of a file in any of the four formats is refused as truncated, in one line, with no
// decoder warning reaching the terminal; the whole files still load.
TEST_F(PictureFiles, TruncatedFilesAreReportedAsTruncated) {
    const std::string truncated = "the file is truncated: the picture data ends early";
    QImage big(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) big.setPixel(x, y, qRgb(x & 255, y, (x * y) & 255));
    std::map<std::string, QByteArray> files;
    for (const char* format : {"png", "jpg", "bmp"}) {  // Qt cannot write gif; the committed one is tiny
        QFile file(QString::fromStdString(Save(big, (std::string("big.") + format).c_str(), format)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        files[format] = file.readAll();
    }
    QFile gif(testing::SourcePath("tests/data/tiny_3x2.gif"));
    ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
    files["gif"] = gif.readAll();

    static QStringList leaked;
    leaked.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { leaked.append(m); });
    for (const auto& [format, bytes] : files) {
        std::vector<int> cuts = {static_cast<int>(bytes.size() / 2), static_cast<int>(bytes.size() - 3)};
        for (int cut = format == "jpg" ? 2 : 6; cut <= std::min<int>(128, bytes.size() - 1); cut += 3)
            cuts.push_back(cut);
        for (const int cut : cuts) {
            const std::string path = PathOf("cut.") + format;
            WriteBytes(path, bytes.left(cut));
            Picture picture;
            std::string why;
            EXPECT_FALSE(picture.Load(path, &why)) << format << " cut at " << cut;
            EXPECT_EQ(why, truncated) << format << " cut at " << cut;
            EXPECT_FALSE(picture.HasBitmap());
        }
        WriteBytes(PathOf("whole.") + format, bytes);
        Picture picture;
        std::string why;
        EXPECT_TRUE(picture.Load(PathOf("whole.") + format, &why)) << format << ": " << why;
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(leaked.isEmpty()) << leaked.join("\n").toStdString();
}

// What cannot be read at all says why in the system's words; a FIFO is refused without blocking.
TEST_F(PictureFiles, UnreadablePathsSayWhy) {
    Picture picture;
    std::string why;
    EXPECT_FALSE(picture.Load(PathOf("absent.png"), &why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(picture.Load(dir_.path().toStdString(), &why));
    EXPECT_EQ(why, "is a folder");
    ASSERT_EQ(mkfifo(PathOf("pipe.png").c_str(), 0600), 0);
    EXPECT_FALSE(picture.Load(PathOf("pipe.png"), &why));
    EXPECT_EQ(why, "is not a regular file");
    EXPECT_FALSE(picture.Load("/dev/null", &why));
    EXPECT_EQ(why, "is not a regular file");
    ASSERT_EQ(::symlink("loop.png", PathOf("loop.png").c_str()), 0);
    EXPECT_FALSE(picture.Load(PathOf("loop.png"), &why));
    EXPECT_EQ(why, "Too many levels of symbolic links");
    QString deep = dir_.path();  // more than PATH_MAX (4096) bytes, each part a legal name
    while (deep.size() <= 4200) deep += "/" + QString(200, 'd');
    EXPECT_FALSE(picture.Load((deep + "/p.png").toStdString(), &why));
    EXPECT_EQ(why, "File name too long");
    WriteBytes(PathOf("notes.gif"), "This is not a picture at all.\n");
    EXPECT_FALSE(picture.Load(PathOf("notes.gif"), &why));
    EXPECT_EQ(why, "not a bmp, jpg, png or gif picture");
}

// The editor's box for a picture that cannot be used names what is wrong with it.
TEST_F(PictureFiles, TheBoxLineNamesWhyAPictureCannotBeUsed) {
    EXPECT_EQ(UnusablePictureLine(PathOf("absent.png")), "can't find " + PathOf("absent.png"));
    ASSERT_EQ(mkfifo(PathOf("pipe.png").c_str(), 0600), 0);
    EXPECT_EQ(UnusablePictureLine(PathOf("pipe.png")),
              "Cannot use the picture " + PathOf("pipe.png") + ": is not a regular file");
    EXPECT_EQ(UnusablePictureLine(dir_.path().toStdString()),
              "Cannot use the picture " + dir_.path().toStdString() + ": is a folder");
}

std::uint32_t Crc32(const QByteArray& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char ch : bytes) {
        crc ^= static_cast<std::uint8_t>(ch);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray BigEndian(std::uint32_t v) {
    QByteArray b;
    for (int shift = 24; shift >= 0; shift -= 8) b.append(static_cast<char>((v >> shift) & 0xFF));
    return b;
}

TEST_F(PictureFiles, OverLargePicturesAreRefusedFromTheirHeader) {
    // A PNG whose header claims 100000 x 100000 pixels (no pixel data follows).
    QByteArray ihdr =
        QByteArray("IHDR") + BigEndian(100000) + BigEndian(100000) + QByteArray("\x08\x02\x00\x00\x00", 5);
    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + BigEndian(13) + ihdr + BigEndian(Crc32(ihdr));
    WriteBytes(PathOf("huge.png"), png);
    Picture picture;
    std::string why;
    EXPECT_FALSE(picture.Load(PathOf("huge.png"), &why));
    EXPECT_NE(why.find("100000 x 100000"), std::string::npos) << why;
    EXPECT_FALSE(picture.HasBitmap());

    // A BMP header claiming 100000 x 100000 at 24 bits.
    QByteArray bmp(54, '\0');
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 54 + 64);
    put32(10, 54);
    put32(14, 40);
    put32(18, 100000);
    put32(22, 100000);
    bmp[26] = 1;
    bmp[28] = 24;
    WriteBytes(PathOf("huge.bmp"), bmp + QByteArray(64, '\x7f'));
    why.clear();
    EXPECT_FALSE(picture.Load(PathOf("huge.bmp"), &why));
    EXPECT_NE(why.find("100000 x 100000"), std::string::npos) << why;

    // A JPEG whose frame header claims 65000 x 65000, after an application segment.
    QByteArray jpeg("\xFF\xD8\xFF\xE0\x00\x06JFIF\xFF\xC0\x00\x11\x08\xFD\xE8\xFD\xE8\x03", 20);
    WriteBytes(PathOf("huge.jpg"), jpeg + QByteArray(40, '\x01'));
    why.clear();
    EXPECT_FALSE(picture.Load(PathOf("huge.jpg"), &why));
    EXPECT_NE(why.find("65000 x 65000"), std::string::npos) << why;

    // A GIF whose screen is 65535 x 65535.
    WriteBytes(PathOf("huge.gif"), QByteArray("GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00", 13) + QByteArray(20, '\0'));
    why.clear();
    EXPECT_FALSE(picture.Load(PathOf("huge.gif"), &why));
    EXPECT_NE(why.find("65535 x 65535"), std::string::npos) << why;
    EXPECT_FALSE(picture.HasBitmap());
}

TEST_F(PictureFiles, ColourPlanesFromPixelsEqualReadingEachPixel) {
    QImage image(37, 23, QImage::Format_ARGB32);  // converted to 32-bit RGB on load
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) image.setPixel(x, y, qRgb((x * 7) & 255, (y * 11) & 255, (x * y) & 255));
    Picture picture;
    ASSERT_TRUE(picture.Load(Save(image, "p.png", "png")));
    const PixelSource pixels = picture.Pixels();
    ColourPlanes planes;
    BuildColourPlanes(planes, &pixels, 5, -2, 40, 20);
    std::size_t i = 0;
    for (int y = -2; y < 18; ++y)
        for (int x = 5; x < 45; ++x, ++i) {
            const std::uint32_t c = picture.GetPixel(x, y);
            ASSERT_EQ(planes.Red()[i], c & 0xFF) << x << "," << y;
            ASSERT_EQ(planes.Green()[i], (c >> 8) & 0xFF) << x << "," << y;
            ASSERT_EQ(planes.Blue()[i], (c >> 16) & 0xFF) << x << "," << y;
        }
}

TEST(Picture, CreateBlankIsBlackAndExactSize) {
    Picture picture;
    ASSERT_TRUE(picture.CreateBlank(7, 2));
    EXPECT_EQ(picture.Width(), 7);
    EXPECT_EQ(picture.Height(), 2);
    EXPECT_EQ(picture.GetPixel(6, 1), 0u);
    EXPECT_FALSE(picture.CreateBlank(0, 5));
    EXPECT_FALSE(picture.HasBitmap());
    picture.Destroy();
    EXPECT_EQ(picture.Width(), 0);
}

TEST_F(PictureFiles, CacheDecodesAgainOnlyWhenPathOrFileChanges) {
    const std::string a = Save(Pattern(), "a.png", "png");
    PictureCache cache;
    EXPECT_EQ(cache.Get(a).Width(), 5);
    EXPECT_TRUE(cache.Reloaded());
    EXPECT_EQ(cache.Get(a).Width(), 5);
    EXPECT_FALSE(cache.Reloaded());

    Save(QImage(9, 4, QImage::Format_RGB32), "a.png", "png");  // a different file under the same name
    EXPECT_EQ(cache.Get(a).Width(), 9);
    EXPECT_TRUE(cache.Reloaded());

    EXPECT_EQ(cache.Get(PathOf("gone.png")).Width(), 0);
    EXPECT_TRUE(cache.Reloaded());
    EXPECT_FALSE(cache.LastError().empty());
}

}  // namespace
}  // namespace tesselink
