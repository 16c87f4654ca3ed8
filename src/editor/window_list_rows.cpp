// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/window_list_rows.h"

namespace tesselink {

namespace {
QString Pair(int a, int b) { return QStringLiteral("(%1,%2)").arg(a).arg(b); }
}  // namespace

const std::array<WindowListColumn, WindowListColumnCount>& WindowListColumns() {
    static const std::array<WindowListColumn, WindowListColumnCount> columns = {{
        {"No", 30},
        {"MapMode", 130},
        {"initial position ", 83},
        {"Size", 62},
        {"Destination Location ", 115},
    }};
    return columns;
}

std::array<QString, WindowListColumnCount> WindowRowTexts(int index, const PlaybackWindow& window) {
    const char* mode = MapModeText(window.MapMode);
    // A mode no editor writes (a file may hold one) is shown by its number.
    return {QString::number(index + 1), mode ? QString::fromUtf8(mode) : QStringLiteral("Mode %1").arg(window.MapMode),
            Pair(window.OriginalStartX, window.OriginalStartY), Pair(window.Width, window.Height),
            Pair(window.TargetStartX, window.TargetStartY)};
}

}  // namespace tesselink
