// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The video commands of the File menu (Open Video..., Close Video, Use Frame as
// Background Picture), the transport bar under the views, the transport keys of
// the picture views (Space, comma, period) and the playback figures in the
// message pane.

#include <functional>
#include <string>

#include <QList>
#include <QObject>
#include <QString>

#include "map/file_dialogs.h"
#include "map/message_boxes.h"

class QAction;
class QKeyEvent;
class QToolBar;
class QWidget;

namespace tesselink {

class CMainFrame;
class Backdrop;
class CTesselinkDoc;
class VideoPreview;
class VideoTransportBar;
class WindowEditingView;

// The filter of the video file dialog.
constexpr const char* VideoFileFilter =
    "Video(*.mp4;*.mkv;*.mov;*.avi;*.webm;*.m4v;*.mpg;*.mpeg;*.ts;*.wmv;*.flv;*"
    ".ogv;*.y4m;*.nut)";
// The setting that remembers the last video opened.
constexpr const char* LastVideoKey = "Video/LastPath";

// The message pane's line when a video is opened while View > Lineup is on.
constexpr const char* LineupHidesVideoText = "The lineup hides the video: turn off View > Lineup (Ctrl+L) to see it.";

class VideoCommands : public QObject {
    Q_OBJECT
public:
    VideoCommands(CTesselinkDoc& doc, Backdrop& backdrop, VideoPreview& preview, MessageBoxes& boxes,
                  FileDialogs& dialogs, QObject* parent = nullptr);

    // The three items in the File menu before "E&xit", the transport bar at the
    // bottom of the frame, the keys of `views`, the figures in status pane 0.
    // Called once.
    void AddTo(CMainFrame& frame, const QList<WindowEditingView*>& views);
    // Where a still goes besides the backdrop: the editor panel's picture field.
    void SetPictureSink(std::function<void(const QString&)> sink) { pictureSink_ = std::move(sink); }

    // Asks for a video, starting at the last one opened.
    void OpenVideo();
    // Opens `path` behind the map (paused on its first frame); a file that is no
    // usable video is reported and changes nothing. True when opened; the path is
    // remembered in the settings.
    bool OpenVideoFile(const QString& path);
    void CloseVideo();
    // Asks where (beside the video first), writes the current frame there as PNG
    // at the video's size, and applies it as the background picture. True when
    // written and applied.
    bool UseFrameAsPicture();

    QAction* OpenAction() const { return open_; }
    QAction* CloseAction() const { return close_; }
    QAction* StillAction() const { return still_; }
    VideoTransportBar* TransportBar() const { return bar_; }
    QToolBar* TransportToolBar() const { return toolBar_; }

private:
    // Space, comma and period in a picture view while a video is open (the view
    // offers none while a drag runs); true when taken.
    bool TransportKey(const QKeyEvent& key);
    void UpdateState();

    CTesselinkDoc& doc_;
    Backdrop& backdrop_;
    VideoPreview& preview_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    std::function<void(const QString&)> pictureSink_;
    CMainFrame* frame_ = nullptr;
    QAction* open_ = nullptr;
    QAction* close_ = nullptr;
    QAction* still_ = nullptr;
    VideoTransportBar* bar_ = nullptr;
    QToolBar* toolBar_ = nullptr;
};

}  // namespace tesselink
