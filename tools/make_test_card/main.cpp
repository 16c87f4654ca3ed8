// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the default background picture: a 640 x 480 test card whose every part stays
// recognisable after a turn or a mirror. Usage: make_test_card OUT.jpg
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <cstdio>

namespace {

constexpr int Width = 640;
constexpr int Height = 480;
constexpr int Columns = 8;
constexpr int Rows = 6;
constexpr int CellWidth = Width / Columns;               // 80
constexpr int BarHeight = 48;                            // colour bars along the bottom edge
constexpr int CellHeight = (Height - BarHeight) / Rows;  // 72

QColor CellColour(int row, int column) {
    // Hue runs across, lightness down: neighbours differ, and no two cells are alike.
    const int hue = column * 360 / Columns;
    const int lightness = 200 - row * 18;
    return QColor::fromHsl(hue, 150, lightness);
}

void DrawCell(QPainter& p, int row, int column) {
    const QRect cell(column * CellWidth, row * CellHeight, CellWidth, CellHeight);
    p.fillRect(cell, CellColour(row, column));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(cell.adjusted(0, 0, -1, -1));

    // Label: row letter and column number, e.g. "C5".
    const QString label = QString(QChar('A' + row)) + QString::number(column + 1);
    QFont font("DejaVu Sans");
    font.setPixelSize(26);
    font.setBold(true);
    p.setFont(font);
    p.setPen(row < 3 ? Qt::black : Qt::white);
    p.drawText(cell.adjusted(0, 14, 0, 0), Qt::AlignHCenter | Qt::AlignVCenter, label);

    // An "F" in the top-left corner and an upward arrow in the top-right corner show which
    // way the cell was turned or mirrored.
    QFont small("DejaVu Sans");
    small.setPixelSize(16);
    small.setBold(true);
    p.setFont(small);
    p.setPen(Qt::black);
    p.drawText(QRect(cell.left() + 4, cell.top() + 2, 16, 18), Qt::AlignLeft | Qt::AlignTop, "F");
    const int ax = cell.right() - 12, ay = cell.top() + 4;
    p.setBrush(Qt::red);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygon({QPoint(ax, ay), QPoint(ax + 7, ay + 9), QPoint(ax + 2, ay + 9), QPoint(ax + 2, ay + 18),
                            QPoint(ax - 2, ay + 18), QPoint(ax - 2, ay + 9), QPoint(ax - 7, ay + 9)}));
    // A dark corner mark at the top-left pixel block.
    p.setBrush(Qt::black);
    p.drawRect(cell.left() + 1, cell.top() + 1, 3, 3);
    p.setBrush(Qt::NoBrush);
}

void DrawBars(QPainter& p) {
    const QColor bars[] = {Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue, Qt::black};
    const int top = Rows * CellHeight;
    for (int i = 0; i < 8; ++i) p.fillRect(i * CellWidth, top, CellWidth, BarHeight * 2 / 3, bars[i]);
    // A grey ramp from dark at the left to light at the right under the bars.
    const int rampTop = top + BarHeight * 2 / 3;
    for (int x = 0; x < Width; ++x) {
        const int v = x * 255 / (Width - 1);
        p.fillRect(x, rampTop, 1, Height - rampTop, QColor(v, v, v));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_test_card OUT.jpg\n");
        return 2;
    }
    QImage card(Width, Height, QImage::Format_RGB32);
    card.fill(Qt::white);
    {
        QPainter p(&card);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        for (int row = 0; row < Rows; ++row)
            for (int column = 0; column < Columns; ++column) DrawCell(p, row, column);
        DrawBars(p);
    }
    if (!card.save(QString::fromLocal8Bit(argv[1]), "JPEG", 90)) {
        std::fprintf(stderr, "make_test_card: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
