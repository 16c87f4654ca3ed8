// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeps a test's settings (the recent-file list, the last folders) out of the user's own: while
// this lives, the program's QSettings read and write a temporary folder.

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include "app/app_settings.h"

namespace tesselink::testing {

class IsolatedSettings {
public:
    IsolatedSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
        UseProgramSettingsKey();
    }
    // A path inside the settings folder, for a file that must not exist elsewhere.
    QString FilePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

}  // namespace tesselink::testing
