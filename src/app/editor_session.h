// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One running editor: the document, the main frame with its three panes and the message
// boxes, built in the order the panes must attach to the document.

#include <QList>
#include <QString>

#include <memory>

#include "app/app_settings.h"
#include "app/document_commands.h"
#include "app/qt_file_dialogs.h"
#include "app/qt_message_boxes.h"
#include "document/tesselink_doc.h"
#include "stage/backdrop.h"

namespace tesselink {

class CMainFrame;
class CMapHeadFileView;
class CTesselinkView;
class CRightView;
class ExchangeMenuCommands;
class LiveSourceCommands;
class OutputCommands;
class ShowCommands;
class ToolManager;
class VideoCommands;
class VideoPreview;
class ZoomController;

class EditorSession {
public:
    // The program's own boxes and file dialogs, or the given ones (tests answer from a script).
    explicit EditorSession(MessageBoxes* boxes = nullptr, FileDialogs* dialogs = nullptr);
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // The document's open step for a map named on the command line: no background-picture
    // check, MapFilePath left empty (Save As still proposes the file). On success the file joins
    // the recent maps. False only when the file cannot be read at all: a map file that the
    // reader refuses has been reported, and the editor starts without it; `refused`, if given,
    // tells that case.
    bool OpenStartupMap(const QString& path, bool* refused = nullptr);

    // The panes' first updates, in creation order; once, after any start-up map.
    void InitialUpdate();

    // Saves the settings and lets the document free what it holds; once, at the end.
    void Close();

    CTesselinkDoc& Doc() { return Doc_; }
    // What the picture views show behind the map.
    Backdrop& Stage() { return Backdrop_; }
    DocumentCommands& Commands() { return *Commands_; }
    ExchangeMenuCommands& Exchange() { return *Exchange_; }
    QtMessageBoxes& Boxes() { return Boxes_; }
    CMainFrame& Frame() { return *Frame_; }
    CMapHeadFileView& Editor() { return *Editor_; }
    CTesselinkView& OriginalView() { return *Original_; }
    CRightView& TargetView() { return *Target_; }
    ToolManager& Tools() { return *Tools_; }
    ZoomController& Zoom() { return *Zoom_; }
    const RecentFileList& RecentFiles() const { return Recent_; }
    VideoPreview& Video() { return *Video_; }
    VideoCommands& VideoMenu() { return *VideoCommands_; }
    OutputCommands& Output() { return *Output_; }
    ShowCommands& Shows() { return *Show_; }
    LiveSourceCommands& LiveSources() { return *LiveSources_; }

private:
    // Sets the Original view's first extent again once the frame has its size, as long as
    // nothing else has set one since.
    void FollowFirstLayout();
    // Scrolls each view so that the windows (list indexes) are in it, as far as they fit.
    void ShowWindowsInViews(const QList<int>& windows);

    CTesselinkDoc Doc_;
    // Before the panes: it takes up a change of the map before they draw it.
    Backdrop Backdrop_{Doc_};
    QtMessageBoxes Boxes_;
    QtFileDialogs Dialogs_;
    MessageBoxes* Messages_;
    RecentFileList Recent_;
    std::unique_ptr<DocumentCommands> Commands_;
    std::unique_ptr<CMainFrame> Frame_;
    CMapHeadFileView* Editor_ = nullptr;
    CTesselinkView* Original_ = nullptr;
    CRightView* Target_ = nullptr;
    ToolManager* Tools_ = nullptr;
    ZoomController* Zoom_ = nullptr;
    ExchangeMenuCommands* Exchange_ = nullptr;
    VideoPreview* Video_ = nullptr;
    VideoCommands* VideoCommands_ = nullptr;
    OutputCommands* Output_ = nullptr;
    ShowCommands* Show_ = nullptr;
    LiveSourceCommands* LiveSources_ = nullptr;
    bool Closed_ = false;
};

}  // namespace tesselink
