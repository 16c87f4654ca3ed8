// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/default_picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef TESSELINK_DATA_DIR
#define TESSELINK_DATA_DIR "/usr/local/share/tesselink"
#endif

namespace tesselink {

QStringList DefaultPictureFolders() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder, programFolder + QStringLiteral("/../share/tesselink"), QStringLiteral(TESSELINK_DATA_DIR)};
}

QString FindDefaultPicture(const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QStringLiteral("tesselink.jpg"));
        if (QFileInfo(path).isFile()) return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    }
    return QString();
}

}  // namespace tesselink
