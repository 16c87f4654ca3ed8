// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <sys/stat.h>

#include <cerrno>

namespace tesselink {

namespace {
const char* const RecentGroup = "Recent File List";

QString SlotKey(int slot) { return QStringLiteral("File%1").arg(slot + 1); }

// Two spellings of one file count as the same entry.
QString Canonical(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}
}  // namespace

void UseProgramSettingsKey() {
    QCoreApplication::setOrganizationName(SettingsOrganisation);
    QCoreApplication::setApplicationName(SettingsApplication);
    RemoveStaleSettingsLock();
}

void RemoveStaleSettingsLock() {
    const QString path = QSettings().fileName() + QStringLiteral(".lock");
    if (!QFileInfo::exists(path)) return;
    QLockFile lock(path);
    // tryLock itself breaks a lock whose process is gone; what it leaves, removeStaleLockFile
    // removes only when it can take the file's own system lock, which a holder keeps while alive.
    if (lock.tryLock(0))
        lock.unlock();
    else if (lock.error() == QLockFile::LockFailedError)
        lock.removeStaleLockFile();
}

bool FileIsGone(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

RecentFileList::RecentFileList(int capacity) : Capacity_(capacity < 1 ? 1 : capacity) {}

void RecentFileList::Load(QSettings& settings) {
    Files_.clear();
    settings.beginGroup(RecentGroup);
    for (int slot = 0; slot < Capacity_; ++slot) {
        const QString path = settings.value(SlotKey(slot)).toString();
        if (!path.trimmed().isEmpty() && !Files_.contains(path)) Files_.append(path);
    }
    settings.endGroup();
}

void RecentFileList::Save(QSettings& settings) const {
    settings.beginGroup(RecentGroup);
    for (int slot = 0; slot < Capacity_; ++slot) {
        if (slot < Files_.size())
            settings.setValue(SlotKey(slot), Files_[slot]);
        else
            settings.remove(SlotKey(slot));
    }
    settings.endGroup();
}

void RecentFileList::Add(const QString& path) {
    if (path.trimmed().isEmpty()) return;
    const QString full = Canonical(path);
    for (int i = Files_.size() - 1; i >= 0; --i)
        if (Canonical(Files_[i]) == full) Files_.removeAt(i);
    Files_.prepend(full);
    while (Files_.size() > Capacity_) Files_.removeLast();
}

void RecentFileList::Remove(const QString& path) {
    const QString full = Canonical(path);
    for (int i = Files_.size() - 1; i >= 0; --i)
        if (Files_[i] == path || Canonical(Files_[i]) == full) Files_.removeAt(i);
}

}  // namespace tesselink
