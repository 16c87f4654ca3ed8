// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the editor finds its default background picture "tesselink.jpg".

#include <QString>
#include <QStringList>

namespace tesselink {

// Beside the program (the build tree), the data folder of the prefix it was installed under
// (a package may use another prefix than the build was configured with), the configured one.
QStringList DefaultPictureFolders();

// The first "tesselink.jpg" that is a file in `folders`, or empty.
QString FindDefaultPicture(const QStringList& folders);

}  // namespace tesselink
