// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document_commands.h"

#include <QFileInfo>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include "app/app_settings.h"
#include "document/tesselink_doc.h"
#include "map/map_file.h"
#include "picture/picture.h"
#include "stage/backdrop.h"

namespace tesselink {

DroppedFileKind KindOfDroppedFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("map")) return DroppedFileKind::Map;
    for (const char* picture : {"bmp", "jpg", "jpeg", "png", "gif"})
        if (suffix == QLatin1String(picture)) return DroppedFileKind::Picture;
    for (const char* video : {"mp4", "m4v", "mkv", "mov", "avi", "webm", "mpg", "mpeg", "ts", "mts", "m2ts", "wmv",
                              "flv", "ogv", "y4m", "nut"})
        if (suffix == QLatin1String(video)) return DroppedFileKind::Video;
    return DroppedFileKind::Other;
}

DocumentCommands::DocumentCommands(CTesselinkDoc& doc, const Backdrop& backdrop, MessageBoxes& boxes,
                                   FileDialogs& dialogs, RecentFileList& recent, QObject* parent)
    : QObject(parent), doc_(doc), backdrop_(backdrop), boxes_(boxes), dialogs_(dialogs), recent_(recent) {}

bool DocumentCommands::MayCloseWindow() {
    // A second close while the question is up (the window manager again) waits for the answer.
    if (asking_) return false;
    asking_ = true;
    const bool ok = MaybeSave();
    asking_ = false;
    return ok;
}

// ---- the question before changes are lost ----

bool DocumentCommands::MaybeSave() {
    if (!doc_.IsModified()) return true;
    switch (boxes_.Show(ApplicationMessage(SaveChangesQuestion, MessageButtons::YesNoCancel))) {
    case MessageAnswer::Yes: return Save();
    case MessageAnswer::No: return true;
    default: return false;
    }
}

// ---- New and Open ----

void DocumentCommands::New() {
    if (!MaybeSave()) return;
    Map fresh;  // 640 x 480 both sides, no windows
    fresh.Head.CoverOption = doc_.GetHead().CoverOption;
    doc_.SetMapFilePath(std::string());
    sourcePath_.clear();
    // The zoom first, so that the views set their extents once, for 1.0.
    if (zoomReset_) zoomReset_();
    doc_.ReplaceMap(fresh);
}

bool DocumentCommands::PictureReadyForOpen() {
    const std::string& picture = backdrop_.BackgroundPicturePath();
    if (picture.empty()) {
        boxes_.Show(PlainMessage("", "Please Select BackGround Picture ", MessageOwner::OriginalView));
        return false;
    }
    if (!PictureFileProblem(picture).empty()) {
        boxes_.Show(PlainMessage("", UnusablePictureLine(picture) + "\nplease Select background picture",
                                 MessageOwner::OriginalView));
        return false;
    }
    return true;
}

void DocumentCommands::Open() {
    if (!PictureReadyForOpen() || !MaybeSave()) return;
    // The dialog starts in the folder of the map on screen, if it came from a file.
    const std::string folder = sourcePath_.empty()
                                   ? std::string()
                                   : QFileInfo(QString::fromStdString(sourcePath_)).absolutePath().toStdString() + "/";
    const std::string path = dialogs_.AskOpenPath({MapFileFilter, MapFileSuffix, folder});
    if (path.empty()) return;
    OpenMapFile(QString::fromStdString(path));
}

bool DocumentCommands::OpenMapFile(const QString& path) {
    // A file the document cannot take changes nothing, its path included; we say why.
    const DocumentOpenResult opened = doc_.OnOpenDocument(path.toStdString());
    if (!opened) {
        boxes_.Show(opened.Message);
        return false;
    }
    doc_.SetMapFilePath(path.toStdString());
    Remember(path);
    return true;
}

void DocumentCommands::OpenRecent(const QString& path) {
    const std::string problem = MapFileReadProblem(path.toStdString());
    if (FileIsGone(path)) {
        boxes_.Show(ApplicationMessage("Cannot open " + path.toStdString() +
                                       ": the file no longer exists.\nIt is removed from the recent maps."));
        recent_.Remove(path);
        StoreRecent();
        return;
    }
    // Something else in its place, or no permission, may change back: the entry stays.
    if (!problem.empty()) {
        boxes_.Show(ApplicationMessage("Cannot open " + path.toStdString() + ": " + problem));
        return;
    }
    if (!PictureReadyForOpen() || !MaybeSave()) return;
    OpenMapFile(path);
}

void DocumentCommands::OpenDropped(const QString& path) {
    switch (KindOfDroppedFile(path)) {
    case DroppedFileKind::Map:
        if (!PictureReadyForOpen() || !MaybeSave()) return;
        OpenMapFile(path);
        break;
    case DroppedFileKind::Picture:
        if (pictureSink_) pictureSink_(QFileInfo(path).absoluteFilePath());
        break;
    case DroppedFileKind::Video:
        if (videoSink_) videoSink_(QFileInfo(path).absoluteFilePath());
        break;
    case DroppedFileKind::Other: break;
    }
}

// ---- Save and Save As ----

bool DocumentCommands::Save() {
    const std::string path = doc_.MapFilePath();
    if (path.empty()) return SaveAs();
    switch (boxes_.Show(ApplicationMessage("are you sure recovery Original file ", MessageButtons::YesNoCancel))) {
    case MessageAnswer::Yes: return SaveTo(path);
    case MessageAnswer::No: return SaveAs();
    default: return false;
    }
}

bool DocumentCommands::SaveAs() {
    const std::string proposed = doc_.MapFilePath().empty() ? sourcePath_ : doc_.MapFilePath();
    const std::string path = dialogs_.AskSavePath({MapFileFilter, MapFileSuffix, proposed});
    if (path.empty()) return false;
    return SaveTo(path);
}

bool DocumentCommands::SaveTo(const std::string& path) {
    const MapWriteResult written = doc_.OnSaveDocument(path);
    if (!written) {
        // The writer leaves any old file whole; the map stays modified and keeps its old path.
        boxes_.Show(ApplicationMessage("The map was not saved.\n" + written.Error));
        return false;
    }
    doc_.SetMapFilePath(path);
    Remember(QString::fromStdString(path));
    return true;
}

// ---- recent maps ----

void DocumentCommands::Remember(const QString& path) {
    sourcePath_ = path.toStdString();
    recent_.Add(path);
    StoreRecent();
}

void DocumentCommands::StoreRecent() {
    QSettings settings;
    recent_.Save(settings);
    emit recentFilesChanged(recent_.Files());
}

// ---- dropped files ----

QString DocumentCommands::UsableDroppedFile(const QMimeData* data) const {
    if (data == nullptr || !data->hasUrls()) return QString();
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        const DroppedFileKind kind = KindOfDroppedFile(path);
        if (kind == DroppedFileKind::Video && !videoSink_) continue;
        if (kind != DroppedFileKind::Other) return path;
    }
    return QString();
}

}  // namespace tesselink
