// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The File commands: New, Open, Save, Save As, the recent maps and files dropped on the main
// window, with one question before unsaved changes are lost (also when the window closes).

#include <functional>
#include <string>

#include <QObject>
#include <QString>
#include <QStringList>

#include "map/file_dialogs.h"
#include "map/message_boxes.h"

class QMimeData;

namespace tesselink {

class Backdrop;
class CTesselinkDoc;
class RecentFileList;

// The filter and default extension of every map file dialog.
constexpr const char* MapFileFilter = "Tesse Link(*.map)";
constexpr const char* MapFileSuffix = "map";

// The question before unsaved changes would be lost.
constexpr const char* SaveChangesQuestion = "The map has changed. Save the changes?";

// What a dropped file is to the program.
enum class DroppedFileKind { Other, Map, Picture, Video };
DroppedFileKind KindOfDroppedFile(const QString& path);

class DocumentCommands : public QObject {
    Q_OBJECT
public:
    DocumentCommands(CTesselinkDoc& doc, const Backdrop& backdrop, MessageBoxes& boxes, FileDialogs& dialogs,
                     RecentFileList& recent, QObject* parent = nullptr);

    // Where a dropped picture goes: the editor panel's picture field.
    void SetPictureSink(std::function<void(const QString&)> sink) { pictureSink_ = std::move(sink); }
    // Where a dropped video goes: the preview behind the map. Without one, videos are not taken.
    void SetVideoSink(std::function<void(const QString&)> sink) { videoSink_ = std::move(sink); }
    // What New calls to set both views' zoom back to 1.0 (the zooms are the views').
    void SetZoomReset(std::function<void()> reset) { zoomReset_ = std::move(reset); }

    // Before the main window closes: MaybeSave, asked once however often the window manager
    // asks again meanwhile. True when the window may close.
    bool MayCloseWindow();

    // The file the map on screen was last read from or written to; Save As proposes it. A map
    // opened at start-up is remembered here although MapFilePath stays empty.
    void SetSourcePath(const std::string& path) { sourcePath_ = path; }
    const std::string& SourcePath() const { return sourcePath_; }

    // Reads `path` as Open does once the file is chosen: on success MapFilePath is the path and
    // the file heads the recent maps.
    bool OpenMapFile(const QString& path);

    // With unsaved changes, asks whether to save them: true when the caller may go on
    // (saved, or the user let them go); false when the user cancelled or the save failed.
    bool MaybeSave();

    // The first map or picture file (or video, when videos are taken) a drag carries, or empty
    // when it carries none.
    QString UsableDroppedFile(const QMimeData* data) const;

public slots:
    void New();
    void Open();
    // True when the map was written.
    bool Save();
    bool SaveAs();
    void OpenRecent(const QString& path);
    // A file dropped on the main window: a map opens as with Open, a picture goes to the
    // editor panel's picture field.
    void OpenDropped(const QString& path);

signals:
    void recentFilesChanged(const QStringList& files);

private:
    // The background-picture checks that come before a map is opened.
    bool PictureReadyForOpen();
    bool SaveTo(const std::string& path);
    void Remember(const QString& path);
    void StoreRecent();

    CTesselinkDoc& doc_;
    const Backdrop& backdrop_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    RecentFileList& recent_;
    std::function<void(const QString&)> pictureSink_;
    std::function<void(const QString&)> videoSink_;
    std::function<void()> zoomReset_;
    std::string sourcePath_;
    bool asking_ = false;
};

}  // namespace tesselink
