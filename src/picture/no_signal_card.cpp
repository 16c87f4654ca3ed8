// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/no_signal_card.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

#include "picture/picture.h"

namespace tesselink {
namespace {

bool Fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

QFont FontOfHeight(double pixels, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    font.setBold(bold);
    return font;
}

}  // namespace

QImage NoSignalCardImage(int originalWidth, int originalHeight, const std::string& source, std::string* why) {
    if (originalWidth <= 0 || originalHeight <= 0) {
        Fail(why, "the original area is empty");
        return QImage();
    }
    if (static_cast<long long>(originalWidth) * originalHeight > Picture::MaxPixels) {
        Fail(why, "the original area is larger than a picture can be");
        return QImage();
    }
    QImage card(originalWidth, originalHeight, QImage::Format_RGB32);
    if (card.isNull()) {
        Fail(why, "not enough memory for the \"No signal\" card");
        return QImage();
    }
    card.fill(QColor::fromRgb(NoSignalCardBackground));

    // The title takes a sixth of the height, less when the card is narrow; the source's name a
    // third of that below it.
    const QString title = QStringLiteral("No signal");
    const double usable = originalWidth * 0.9;
    double titlePixels = originalHeight / 6.0;
    const double titleWidth = QFontMetricsF(FontOfHeight(titlePixels, true)).horizontalAdvance(title);
    if (titleWidth > usable) titlePixels *= usable / titleWidth;
    if (titlePixels < 4) return card;  // too small to read; the plain card is all there is

    QPainter painter(&card);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(QColor::fromRgb(NoSignalCardInk));
    const QFont titleFont = FontOfHeight(titlePixels, true);
    const double titleHeight = QFontMetricsF(titleFont).height();
    const double namePixels = std::max(titlePixels / 3.0, 1.0);
    const QFont nameFont = FontOfHeight(namePixels, false);
    const QFontMetricsF nameMetrics(nameFont);
    const bool withName = !source.empty() && namePixels >= 4;
    const double block = titleHeight + (withName ? nameMetrics.height() * 1.5 : 0);
    const double top = (originalHeight - block) / 2;

    painter.setFont(titleFont);
    painter.drawText(QRectF(0, top, originalWidth, titleHeight), Qt::AlignCenter, title);
    if (withName) {
        const QString name =
            nameMetrics.elidedText(QString::fromStdString(source), Qt::ElideMiddle, usable, Qt::TextSingleLine);
        painter.setFont(nameFont);
        painter.drawText(QRectF(0, top + titleHeight + nameMetrics.height() * 0.5, originalWidth, nameMetrics.height()),
                         Qt::AlignCenter | Qt::TextSingleLine, name);
    }
    return card;
}

bool BuildNoSignalCard(ColourPlanes& planes, int originalWidth, int originalHeight, const std::string& source,
                       std::string* why) {
    const QImage card = NoSignalCardImage(originalWidth, originalHeight, source, why);
    if (card.isNull()) {
        planes.Release();
        return false;
    }
    const PixelSource pixels{reinterpret_cast<const std::uint32_t*>(card.constBits()), card.width(), card.height(),
                             card.bytesPerLine() / 4};
    BuildColourPlanes(planes, &pixels, 0, 0, originalWidth, originalHeight);
    if (!planes.IsPresent()) return Fail(why, "not enough memory for the \"No signal\" card");
    return true;
}

}  // namespace tesselink
