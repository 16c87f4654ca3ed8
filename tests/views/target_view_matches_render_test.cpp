// SPDX-License-Identifier: GPL-3.0-or-later
// The Target view at zoom 1 shows, pixel for pixel, the picture `tesselink --render` writes: the two
// are built by different code (the view remaps the target pixels on screen in bands, through
// clipped windows or the cover block; the renderer builds the whole target at once).
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include <random>
#include <string>
#include <vector>

#include "picture/picture.h"
#include "remap/cover.h"
#include "render/render_target.h"
#include "support/random_maps.h"
#include "support/test_files.h"
#include "view_test_support.h"
#include "views/target_view.h"

namespace tesselink {
namespace {

// The one place this test uses the Target view: a fresh document and view showing `map` over
// the picture at `picturePath`, painted at zoom 1 with nothing selected. Returns the viewport and
// where the picture lies in it.
struct TargetViewPaint {
    QImage viewport;
    ViewRect picture;
};

TargetViewPaint PaintTargetView(const Map& map, const QString& picturePath) {
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    CRightView view(doc, backdrop);
    testing::FixViewport(view, map.Head.TargetWidth + 400, map.Head.TargetHeight + 200);
    backdrop.SetBackgroundPicturePath(picturePath.toStdString());
    doc.ReplaceMap(map);
    return {view.RenderViewport(), view.PictureRect()};
}

// Odd sizes throughout; targets wide enough that the view builds them in several bands.
Map RandomMap(std::mt19937& random, bool tiled) {
    return testing::RandomRemapMap(random, {61, 301, 901, 1999, 121, 301, 7, true}, tiled);
}

QRgb OutlineColour(int index) {
    const std::uint32_t bgr = WindowColour(index);
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// The rendered picture with what the view draws over it: a one-pixel outline just inside each
// place, in the window's colour, first those of the cover tiles `cover` (empty when there is no
// cover or it cannot be listed), then those of the map's own windows.
QImage WithOutlines(QImage picture, const Map& map, const PlaybackWindows& cover) {
    const auto outline = [&picture](const PlaybackWindow& w, QRgb colour) {
        const int left = w.TargetStartX, top = w.TargetStartY;
        const int right = left + w.PlacedWidth - 1, bottom = top + w.PlacedHeight - 1;
        for (int x = left; x <= right; ++x) {
            picture.setPixel(x, top, colour);
            picture.setPixel(x, bottom, colour);
        }
        for (int y = top; y <= bottom; ++y) {
            picture.setPixel(left, y, colour);
            picture.setPixel(right, y, colour);
        }
    };
    for (std::size_t i = 0; i < cover.size(); ++i) outline(cover[i], OutlineColour(static_cast<int>(i)));
    for (std::size_t i = 0; i < map.Windows.size(); ++i) outline(map.Windows[i], OutlineColour(static_cast<int>(i)));
    return picture;
}

TEST(TargetViewAtZoomOne, ShowsTheRenderedPictureOnRandomMapsWithAndWithoutCover) {
    QTemporaryDir dir;
    std::mt19937 random(16);
    int tiledCovers = 0;
    for (int round = 0; round < 6; ++round) {
        const Map base = RandomMap(random, round % 3 != 0);
        // Odd sizes, larger than the original picture in even rounds (a centred crop), smaller in
        // odd ones (stretched).
        const int grow = round % 2 == 0 ? 40 : -30;
        const QString picturePath = dir.filePath(QStringLiteral("picture%1.png").arg(round));
        ASSERT_TRUE(testing::NoisePicture(base.Head.OriginalWidth + grow, base.Head.OriginalHeight + grow + 2, random)
                        .save(picturePath, "PNG"));
        Picture picture;
        std::string why;
        ASSERT_TRUE(picture.Load(picturePath.toStdString(), &why)) << why;

        const std::pair<std::uint8_t, CoverMode> covers[] = {
            {0, CoverMode::None},
            {CoverFullScreen, CoverMode::Same},
            {CoverFullScreen | CoverDifferentDirection, CoverMode::Different}};
        for (const auto& [option, mode] : covers) {
            Map map = base;
            map.Head.CoverOption = option;
            const QImage rendered = RenderTarget(map, picturePath.toStdString(), picture, mode, &why);
            ASSERT_FALSE(rendered.isNull()) << why;
            PlaybackWindows cover;
            if (mode != CoverMode::None) BuildCoverWindows(map.Windows, map.Head, mode, cover);
            if (cover.size() > map.Windows.size()) ++tiledCovers;
            const QImage expected = WithOutlines(rendered, map, cover);

            const TargetViewPaint paint = PaintTargetView(map, picturePath);
            const ViewRect& p = paint.picture;
            ASSERT_EQ(p.Width(), map.Head.TargetWidth);
            ASSERT_EQ(p.Height(), map.Head.TargetHeight);
            ASSERT_TRUE(p.left >= 0 && p.top >= 0 && p.right <= paint.viewport.width() &&
                        p.bottom <= paint.viewport.height());
            int wrong = 0;
            for (int y = 0; y < p.Height(); ++y)
                for (int x = 0; x < p.Width(); ++x) {
                    const QRgb shown = paint.viewport.pixel(p.left + x, p.top + y);
                    if (shown == expected.pixel(x, y)) continue;
                    if (++wrong <= 3)
                        ADD_FAILURE() << "round " << round << " cover option " << static_cast<int>(option) << " at "
                                      << x << "," << y << ": view " << std::hex << shown << ", render "
                                      << expected.pixel(x, y);
                }
            EXPECT_EQ(wrong, 0) << "round " << round << " cover option " << static_cast<int>(option) << ", target "
                                << map.Head.TargetWidth << " x " << map.Head.TargetHeight;
        }
    }
    EXPECT_GE(tiledCovers, 4) << "the maps must give covers of more than one tile";
}

}  // namespace
}  // namespace tesselink
