// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/cabling_path.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace tesselink {
namespace {

// A head pointing from `from` to `to`, its tip at 60 % of the way, so that the middle of each
// step's line stays open and the head never covers the next window's centre.
QPolygonF ArrowHead(const QPointF& from, const QPointF& to) {
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length < 1e-9) return {};
    const QPointF unit = d / length;
    const QPointF normal(-unit.y(), unit.x());
    const double size = std::min(10.0, length / 4);
    const QPointF tip = from + d * 0.6;
    const QPointF back = tip - unit * size;
    return QPolygonF({tip, back + normal * (size * 0.6), back - normal * (size * 0.6)});
}

}  // namespace

void DrawCablingPath(QPainter& painter, const std::vector<QPointF>& centres) {
    if (centres.empty()) return;
    painter.save();
    // Plain pixels: the line is the same on every run and in every picture.
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (centres.size() > 1) {
        QPainterPath path(centres[0]);
        for (std::size_t i = 1; i < centres.size(); ++i) path.lineTo(centres[i]);
        const int core = 2 * CablingLineHalfWidth + 1;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(
            QPen(CablingEdgeColour, core + 2 * CablingEdgeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
        painter.setPen(QPen(CablingLineColour, core, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
        painter.setPen(QPen(CablingEdgeColour, 1));
        painter.setBrush(CablingLineColour);
        for (std::size_t i = 1; i < centres.size(); ++i) {
            const QPolygonF head = ArrowHead(centres[i - 1], centres[i]);
            if (!head.isEmpty()) painter.drawPolygon(head);
        }
    }
    // The first window: a light ring with a dark dot, where the cable comes in.
    painter.setPen(QPen(CablingEdgeColour, 2));
    painter.setBrush(CablingLineColour);
    painter.drawEllipse(centres[0], 9.0, 9.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(CablingEdgeColour);
    painter.drawEllipse(centres[0], 3.5, 3.5);
    painter.restore();
}

}  // namespace tesselink
