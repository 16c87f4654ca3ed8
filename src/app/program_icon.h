// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's icon and the toolbar icons, drawn from the SVG files in the resources.

#include <QIcon>
#include <QString>

namespace tesselink {

// Makes the resources of the ui library reachable (a static library's resources need this).
void InitUiResources();

QIcon ProgramIcon();

// An icon drawn from the SVG at `resourcePath`, crisp at the toolbar's sizes.
QIcon SvgIcon(const QString& resourcePath);

}  // namespace tesselink
