// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program keeps its settings, and the recent-file list kept there.

#include <QSettings>
#include <QString>
#include <QStringList>

namespace tesselink {

constexpr const char* SettingsOrganisation = "Local AppWizard-Generated Applications";
constexpr const char* SettingsApplication = "Tesselink";
constexpr int RecentFileCount = 4;

// Names the organisation and application so that a default QSettings finds the program's key,
// and clears a stale lock on it (below).
void UseProgramSettingsKey();

// Removes the lock file of the default QSettings when no process holds it. QSettings waits 30 s
// before breaking a lock whose owner it cannot tell is gone: one left empty by a process killed
// while writing it, or one naming a process id that another copy of the program has since taken.
// A lock a running process holds is left alone.
void RemoveStaleSettingsLock();

// True when nothing is left at `path`: the file, or a folder on its way, was removed or renamed.
// Something else in its place (a folder, a FIFO) or a file that may not be read is not gone.
bool FileIsGone(const QString& path);

// The most recently opened or saved maps, newest first, at most four, as "&File" shows them
// under "Open &Recent".
class RecentFileList {
public:
    explicit RecentFileList(int capacity = RecentFileCount);

    // Reads "Recent File List/File1".."FileN"; blank entries are skipped.
    void Load(QSettings& settings);
    // Writes the entries back, removing slots that are now empty.
    void Save(QSettings& settings) const;

    // Puts `path` first; an entry for the same file moves up instead of appearing twice.
    void Add(const QString& path);
    // Drops every entry for the same file as `path`.
    void Remove(const QString& path);

    const QStringList& Files() const { return Files_; }

private:
    int Capacity_;
    QStringList Files_;
};

}  // namespace tesselink
