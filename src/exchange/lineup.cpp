// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/lineup.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "exchange/cabling_path.h"
#include "layout/array_places.h"
#include "picture/colour_plane_refresh.h"
#include "render/render_target.h"

namespace tesselink {
namespace {

const QColor Background(40, 40, 40);
const QColor Grid(58, 58, 58);
const QColor Border(240, 240, 240);

bool Fail(std::string* why, std::string text) {
    if (why) *why = std::move(text);
    return false;
}

bool UsableSize(const char* which, int width, int height, std::string* why) {
    if (width == 0 || height == 0)
        return Fail(why,
                    std::string("the ") + which + " size is " + std::to_string(width) + " x " + std::to_string(height));
    const std::string tooLarge = AreaTooLargeText(which, width, height);
    return tooLarge.empty() || Fail(why, tooLarge);
}

// Black or white, whichever reads better on `fill`.
QColor TextColour(const QColor& fill) {
    const double luma = 0.299 * fill.red() + 0.587 * fill.green() + 0.114 * fill.blue();
    return luma > 140 ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

QFont FontOfHeight(int pixels, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, pixels));
    font.setBold(bold);
    return font;
}

// Draws `text` centred in `box` when it fits; false when it does not.
bool DrawFitting(QPainter& painter, const QRectF& box, const QString& text, int pixels, bool bold) {
    const QFont font = FontOfHeight(pixels, bold);
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text) > box.width() || metrics.height() > box.height()) return false;
    painter.setFont(font);
    painter.drawText(box, Qt::AlignCenter, text);
    return true;
}

// "F" and an arrow pointing up, side by side, in `quarter`.
void DrawUpMark(QPainter& painter, const QRectF& quarter, const QColor& ink) {
    const double size = std::min(quarter.width() / 2.0, quarter.height()) * 0.8;
    if (size < 6) return;
    const QFont font = FontOfHeight(static_cast<int>(size), true);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double capital = metrics.capHeight();
    const QPointF at(quarter.left() + quarter.width() * 0.1, quarter.center().y() + capital / 2);
    painter.drawText(at, QStringLiteral("F"));
    // The arrow: as tall as the capital, a shaft under a triangular head.
    const double left = at.x() + metrics.horizontalAdvance(QStringLiteral("F")) + size * 0.15;
    const double width = size * 0.5, top = at.y() - capital, bottom = at.y();
    const double mid = left + width / 2, head = top + capital * 0.45;
    painter.setRenderHint(QPainter::Antialiasing, true);  // the caller's save() restores it
    QPainterPath arrow;
    arrow.moveTo(mid, top);
    arrow.lineTo(left + width, head);
    arrow.lineTo(mid + width * 0.16, head);
    arrow.lineTo(mid + width * 0.16, bottom);
    arrow.lineTo(mid - width * 0.16, bottom);
    arrow.lineTo(mid - width * 0.16, head);
    arrow.lineTo(left, head);
    arrow.closeSubpath();
    painter.fillPath(arrow, ink);
}

// Row and column in the array the window belongs to, or its place on the target.
QString PlaceText(const PlaybackWindow& w, const GridPlace& place) {
    if (place.Row >= 0) return QStringLiteral("row %1, col %2").arg(place.Row + 1).arg(place.Column + 1);
    return QStringLiteral("%1,%2").arg(w.TargetStartX).arg(w.TargetStartY);
}

void DrawWindow(QPainter& painter, const PlaybackWindow& w, int index, const GridPlace& place) {
    const QColor fill = QColor::fromRgb(LineupColour(index));
    const QColor ink = TextColour(fill);
    const QRect area(w.OriginalStartX, w.OriginalStartY, w.Width, w.Height);
    painter.fillRect(area, fill);
    painter.setPen(Border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));  // one pixel inside the window
    if (w.Width < 8 || w.Height < 8) return;

    painter.setPen(ink);
    const QRectF inner = QRectF(area).adjusted(1, 1, -1, -1);
    const QString number = QString::number(index + 1);
    const QString size = QStringLiteral("%1 x %2").arg(w.Width).arg(w.Height);
    // The number as large as a third of the window's height allows, or its width, its size a third of that.
    int numberPixels = static_cast<int>(std::min(inner.height() / 3.0, inner.width() / (0.7 * number.size() + 0.3)));
    while (numberPixels >= 6) {
        const QFontMetricsF metrics(FontOfHeight(numberPixels, true));
        if (metrics.horizontalAdvance(number) <= inner.width() * 0.9) break;
        --numberPixels;
    }
    if (numberPixels >= 6) {
        const double numberHeight = QFontMetricsF(FontOfHeight(numberPixels, true)).height();
        const QRectF numberBox(inner.left(), inner.center().y() - numberHeight / 2, inner.width(), numberHeight);
        DrawFitting(painter, numberBox, number, numberPixels, true);
        const int sizePixels = std::max(6, numberPixels / 3);
        const double sizeHeight = QFontMetricsF(FontOfHeight(sizePixels, false)).height();
        const QRectF sizeBox(inner.left(), numberBox.bottom(), inner.width(),
                             std::min(sizeHeight, inner.bottom() - numberBox.bottom()));
        DrawFitting(painter, sizeBox, size, sizePixels, false);
        const QRectF placeBox(inner.left(), sizeBox.bottom(), inner.width(),
                              std::min(sizeHeight, inner.bottom() - sizeBox.bottom()));
        DrawFitting(painter, placeBox, PlaceText(w, place), sizePixels, false);
    }
    DrawUpMark(painter, QRectF(inner.topLeft(), QSizeF(inner.width() / 2, inner.height() / 2)), ink);
}

}  // namespace

std::uint32_t LineupColour(int index) {
    // Mid saturation and value leave room for black or white text on every hue.
    const double hue = std::fmod(index * 137.50776, 360.0);
    const double value = index % 2 ? 0.72 : 0.92;
    return QColor::fromHsvF(hue / 360.0, 0.62, value).rgb() & 0xFFFFFFu;
}

QImage OriginalLineup(const Map& map, std::string* why) {
    const MapFileHead& h = map.Head;
    if (!UsableSize("original", h.OriginalWidth, h.OriginalHeight, why)) return QImage();
    QImage image(h.OriginalWidth, h.OriginalHeight, QImage::Format_RGB32);
    if (image.isNull()) {
        Fail(why, "not enough memory for the lineup");
        return image;
    }
    image.fill(Background);
    QPainter painter(&image);
    painter.setPen(Grid);
    for (int x = 0; x < image.width(); x += 10) painter.drawLine(x, 0, x, image.height() - 1);
    for (int y = 0; y < image.height(); y += 10) painter.drawLine(0, y, image.width() - 1, y);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const std::vector<GridPlace> places = DeriveArrayPlaces(map.Windows);
    for (std::size_t i = 0; i < map.Windows.size(); ++i) {
        // Nothing of a window's label reaches past its own rectangle.
        painter.save();
        painter.setClipRect(QRect(map.Windows[i].OriginalStartX, map.Windows[i].OriginalStartY, map.Windows[i].Width,
                                  map.Windows[i].Height));
        DrawWindow(painter, map.Windows[i], static_cast<int>(i), places[i]);
        painter.restore();
    }
    return image;
}

QImage OriginalLineup(const Map& map, bool cabling, std::string* why) {
    QImage image = OriginalLineup(map, why);
    if (cabling && !image.isNull()) {
        std::vector<QPointF> centres;
        for (const PlaybackWindow& w : map.Windows)
            centres.push_back(WindowCentre(w.OriginalStartX, w.OriginalStartY, w.Width, w.Height));
        QPainter painter(&image);
        DrawCablingPath(painter, centres);
    }
    return image;
}

QImage TargetLineup(const Map& map, CoverMode coverMode, bool cabling, std::string* why) {
    QImage image = TargetLineup(map, coverMode, why);
    if (cabling && !image.isNull()) {
        std::vector<QPointF> centres;
        for (const PlaybackWindow& w : map.Windows)
            centres.push_back(WindowCentre(w.TargetStartX, w.TargetStartY, w.PlacedWidth, w.PlacedHeight));
        QPainter painter(&image);
        DrawCablingPath(painter, centres);
    }
    return image;
}

QImage TargetLineup(const Map& map, CoverMode coverMode, std::string* why) {
    const MapFileHead& h = map.Head;
    if (!UsableSize("target", h.TargetWidth, h.TargetHeight, why)) return QImage();
    const QImage original = OriginalLineup(map, why);
    if (original.isNull()) return original;
    // The picture is exactly the original size, so --render would take its crop at (0, 0).
    ColourPlanes planes;
    const PixelSource source{reinterpret_cast<const std::uint32_t*>(original.constBits()), original.width(),
                             original.height(), original.bytesPerLine() / 4};
    BuildColourPlanes(planes, &source, 0, 0, h.OriginalWidth, h.OriginalHeight);
    if (!planes.IsPresent()) {
        Fail(why, "not enough memory for the colour planes");
        return QImage();
    }
    return RenderTargetFromPlanes(map, planes, coverMode, why);
}

}  // namespace tesselink
