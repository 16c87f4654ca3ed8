// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

static void InitTesselinkResources() { Q_INIT_RESOURCE(tesselink); }

namespace tesselink {

void InitUiResources() {
    static const bool done = (InitTesselinkResources(), true);
    (void)done;
}

QIcon SvgIcon(const QString& resourcePath) {
    InitUiResources();
    QSvgRenderer renderer(resourcePath);
    QIcon icon;
    if (!renderer.isValid()) return icon;
    // Rendered here rather than left to an icon-engine plugin that may be missing.
    for (const int side : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon ProgramIcon() { return SvgIcon(":/icons/tesselink.svg"); }

}  // namespace tesselink
