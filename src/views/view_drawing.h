// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing pieces the two picture views share: labels, title, window outlines.

#include <cstdint>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include "views/view_rect.h"

class QPainter;

namespace tesselink {

// RGB(199,237,208): the views' background.
constexpr std::uint32_t ViewBackgroundRgb = 0xC7EDD0;
// RGB(172,172,172): a missing picture or an uncovered target area.
constexpr std::uint32_t MissingPictureRgb = 0xACACAC;
// RGB(0,255,0): the selected window's outline.
constexpr std::uint32_t SelectedOutlineRgb = 0x00FF00;

// A 0x00BBGGRR colour (red in the low byte) as 0xRRGGBB.
constexpr std::uint32_t BgrToRgb(std::uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// `text` with its top-left at (x, y), black on opaque white, in the default font.
void DrawLabel(QPainter& painter, int x, int y, const QString& text);

// A view's title font, made once for its text: matching and measuring a font on every paint
// cost more than drawing the title.
class TitleStyle {
public:
    const QFont& FontFor(const QString& text);

private:
    QString text_;
    QFont font_;
    bool made_ = false;
};

// The view's title at (x, y): sans-serif, 30 pixels high.
void DrawTitle(QPainter& painter, TitleStyle& style, int x, int y, const QString& text);

// The four corner labels of the picture rectangle `p` (content coordinates) for a picture of
// width x height pixels; the left ones shifted `leftShift` pixels further left.
void DrawCornerLabels(QPainter& painter, const ViewRect& p, int width, int height, int leftShift);

// A window's outline: the selected one with a 2-pixel green pen centred on the rectangle's
// border, the others as a 1-pixel frame just inside it in `colourBgr` (0x00BBGGRR). Written
// straight into the view's Format_RGB32 picture (coordinates of the picture): through the
// painter, four calls per outline cost more than their pixels with hundreds of windows, and a
// cover may have millions.
void DrawWindowOutline(QImage& image, const ViewRect& rect, bool selected, std::uint32_t colourBgr);

// "(x:%d,y:%d,w:%d,h:%d)"
QString WindowRectText(int x, int y, int w, int h);

// Fills `area` less `hole` with `colour`: at most four plain rectangles, which the raster
// engine fills far faster than the same area through a clip region.
void FillAround(QPainter& painter, const QRect& area, const QRect& hole, const QColor& colour);

}  // namespace tesselink
