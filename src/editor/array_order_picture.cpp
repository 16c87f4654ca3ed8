// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/array_order_picture.h"

#include <QPainter>
#include <QPainterPath>

#include <vector>

namespace tesselink {

QImage ArrayOrderPicture(ArrayOrder order, QSize size) {
    constexpr int Rows = 3;
    constexpr int Columns = 4;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double cw = (size.width() - 1) / static_cast<double>(Columns);
    const double ch = (size.height() - 1) / static_cast<double>(Rows);
    const auto centre = [&](const ArrayCell& cell) {
        return QPointF((cell.Column + 0.5) * cw + 0.5, (cell.Row + 0.5) * ch + 0.5);
    };
    painter.setPen(QPen(QColor(170, 170, 170), 1));
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c) painter.drawRect(QRectF(c * cw + 0.5, r * ch + 0.5, cw, ch));
    const std::vector<ArrayCell> cells = ArrayCellOrder(Rows, Columns, order);
    painter.setBrush(QColor(255, 200, 0));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(cells[0].Column * cw + 1, cells[0].Row * ch + 1, cw - 1, ch - 1));
    QPainterPath path(centre(cells[0]));
    for (std::size_t i = 1; i < cells.size(); ++i) path.lineTo(centre(cells[i]));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 90, 200), 1.5));
    painter.drawPath(path);
    painter.setBrush(QColor(0, 90, 200));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre(cells.back()), 2.0, 2.0);
    return image;
}

}  // namespace tesselink
