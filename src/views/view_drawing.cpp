// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/view_drawing.h"

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

namespace tesselink {

void DrawLabel(QPainter& painter, int x, int y, const QString& text) {
    const QFontMetrics metrics(painter.font());
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    painter.fillRect(box, Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

namespace {

// Titles are placed for a face whose average character is 20 pixels wide; the letters are
// spaced out to that width so the placement centres them whatever face is installed.
QFont MakeTitleFont(const QString& text) {
    QFont font(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(30);
    font.setWeight(QFont::Light);
    if (!text.isEmpty()) {
        const int advance = QFontMetrics(font).horizontalAdvance(text);
        const qreal extra = (20.0 * text.size() - advance) / text.size();
        if (extra > 0) font.setLetterSpacing(QFont::AbsoluteSpacing, extra);
    }
    return font;
}

}  // namespace

const QFont& TitleStyle::FontFor(const QString& text) {
    if (!made_ || text != text_) {
        text_ = text;
        font_ = MakeTitleFont(text);
        made_ = true;
    }
    return font_;
}

void DrawTitle(QPainter& painter, TitleStyle& style, int x, int y, const QString& text) {
    painter.save();
    painter.setFont(style.FontFor(text));
    DrawLabel(painter, x, y, text);
    painter.restore();
}

void DrawCornerLabels(QPainter& painter, const ViewRect& p, int width, int height, int leftShift) {
    DrawLabel(painter, p.left - leftShift, p.top - 20, QStringLiteral("(0,0)"));
    DrawLabel(painter, p.left - leftShift, p.bottom + 5, QStringLiteral("(0,%1)").arg(height));
    DrawLabel(painter, p.right + 10, p.top - 20, QStringLiteral("(%1,0)").arg(width));
    DrawLabel(painter, p.right + 10, p.bottom + 5, QStringLiteral("(%1,%2)").arg(width).arg(height));
}

namespace {

// Fills x, y, w, h (any sign, any size) inside `image` only.
void FillPixels(QImage& image, long long x, long long y, long long w, long long h, QRgb colour) {
    const long long left = std::max(0LL, x), right = std::min<long long>(image.width(), x + w);
    const long long top = std::max(0LL, y), bottom = std::min<long long>(image.height(), y + h);
    if (left >= right || top >= bottom) return;
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (long long row = top; row < bottom; ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(bits + row * stride);
        std::fill(line + left, line + right, colour);
    }
}

}  // namespace

void DrawWindowOutline(QImage& image, const ViewRect& rect, bool selected, std::uint32_t colourBgr) {
    const ViewRect r = rect.Normalized();
    if (selected) {
        // Two pixels straddling the border: the line just outside and the line just inside.
        const QRgb green = 0xFF000000u | SelectedOutlineRgb;
        const long long w = r.Width();
        const long long h = r.Height();
        FillPixels(image, r.left - 1LL, r.top - 1LL, w + 2, 2, green);
        FillPixels(image, r.left - 1LL, r.bottom - 1LL, w + 2, 2, green);
        FillPixels(image, r.left - 1LL, r.top - 1LL, 2, h + 2, green);
        FillPixels(image, r.right - 1LL, r.top - 1LL, 2, h + 2, green);
        return;
    }
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const QRgb colour = 0xFF000000u | BgrToRgb(colourBgr);
    FillPixels(image, r.left, r.top, r.Width(), 1, colour);
    FillPixels(image, r.left, r.bottom - 1LL, r.Width(), 1, colour);
    FillPixels(image, r.left, r.top, 1, r.Height(), colour);
    FillPixels(image, r.right - 1LL, r.top, 1, r.Height(), colour);
}

QString WindowRectText(int x, int y, int w, int h) {
    return QStringLiteral("(x:%1,y:%2,w:%3,h:%4)").arg(x).arg(y).arg(w).arg(h);
}

void FillAround(QPainter& painter, const QRect& area, const QRect& hole, const QColor& colour) {
    const QRect inside = area & hole;
    if (inside.isEmpty()) {
        painter.fillRect(area, colour);
        return;
    }
    // Whole rows above and below the hole, then the two sides beside it.
    painter.fillRect(QRect(area.left(), area.top(), area.width(), inside.top() - area.top()), colour);
    painter.fillRect(QRect(area.left(), inside.bottom() + 1, area.width(), area.bottom() - inside.bottom()), colour);
    painter.fillRect(QRect(area.left(), inside.top(), inside.left() - area.left(), inside.height()), colour);
    painter.fillRect(QRect(inside.right() + 1, inside.top(), area.right() - inside.right(), inside.height()), colour);
}

}  // namespace tesselink
