// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor_session.h"

#include <algorithm>

#include <QAction>
#include <QFileInfo>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QSettings>
#include <QUndoStack>

#include "app/command_table.h"
#include "app/default_picture.h"
#include "app/exchange_menu_commands.h"
#include "app/layout_commands.h"
#include "app/output_commands.h"
#include "app/main_frame.h"
#include "app/show_commands.h"
#include "app/live_source_commands.h"
#include "app/video_commands.h"
#include "app/view_zoom_commands.h"
#include "stage/video_preview.h"
#include "editor/map_head_file_view.h"
#include "editor/problem_list_dock.h"
#include "views/original_view.h"
#include "tools/draw_window_tool.h"
#include "tools/pick_move_tool.h"
#include "tools/tool_manager.h"
#include "views/target_view.h"
#include "views/zoom_controller.h"

namespace tesselink {

EditorSession::EditorSession(MessageBoxes* boxes, FileDialogs* dialogs)
    : Messages_(boxes != nullptr ? boxes : &Boxes_), Frame_(std::make_unique<CMainFrame>()) {
    QSettings settings;
    Recent_.Load(settings);

    Editor_ = new CMapHeadFileView(Doc_, Backdrop_);
    Original_ = new CTesselinkView(Doc_, Backdrop_, Messages_);
    Target_ = new CRightView(Doc_, Backdrop_);
    Frame_->CreateClient(Editor_, Original_, Target_);
    CMainFrame* frame = Frame_.get();

    // The tools, one a toolbar button, in the toolbar's order; picking is active at first.
    Tools_ = new ToolManager(frame);
    for (const int command : DrawingModeCommands()) {
        const DrawingMode mode = DrawingModeOf(command);
        if (mode.Armed != 0)
            Tools_->Register(new DrawWindowTool(command, mode.MapMode, Doc_, Messages_));
        else
            Tools_->Register(new PickMoveTool(command, Doc_, Messages_));
    }
    Tools_->ActivateById(InitialDrawingModeCommand);
    Original_->SetToolManager(Tools_);
    Target_->SetToolManager(Tools_);
    Frame_->AddToolButtons(*Tools_);

    // Each view's status text goes to its pane.
    QObject::connect(Original_, &PictureScrollView::statusChanged, frame,
                     [frame](const QString& text) { frame->SetStatusPaneText(1, text); });
    QObject::connect(Target_, &PictureScrollView::statusChanged, frame,
                     [frame](const QString& text) { frame->SetStatusPaneText(2, text); });

    Boxes_.SetMainWindow(frame);
    Boxes_.SetOwner(MessageOwner::MainWindow, frame);
    Boxes_.SetOwner(MessageOwner::EditorPanel, Editor_);
    Boxes_.SetOwner(MessageOwner::OriginalView, Original_);
    Boxes_.SetOwner(MessageOwner::TargetView, Target_);
    Dialogs_.SetOwner(frame);
    Editor_->SetMessageBoxes(Messages_);
    Editor_->SetFileDialogs(dialogs != nullptr ? dialogs : &Dialogs_);

    Frame_->CreateEditMenu(&Doc_.UndoStack());
    // View > Problems: what is probably wrong with the layout; a row's windows get selected.
    auto* problems = new ProblemListDock(frame);
    problems->setObjectName("ProblemsDock");
    problems->Watch(Doc_);
    Frame_->AddDock(problems, Qt::BottomDockWidgetArea, QStringLiteral("&Problems"));
    QObject::connect(problems, &ProblemListDock::windowsActivated, &Doc_, [this](const QList<int>& windows) {
        Doc_.SetSelection(std::vector<int>(windows.begin(), windows.end()));
        ShowWindowsInViews(windows);
    });
    // An uncovered region's row shows that part of the target.
    QObject::connect(problems, &ProblemListDock::targetAreaActivated, Target_, [this](const QRect& area) {
        Target_->ScrollPictureRectIntoView(ViewRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    });
    // Select All, Duplicate, Make Array, a mode for the selection; snapping and the grid.
    auto* layout = new LayoutCommands(Doc_, Tools_->Snap(), *Messages_, frame);
    layout->Register(frame->Registry(), frame);
    QObject::connect(&Doc_, &CTesselinkDoc::modifiedChanged, frame, &QWidget::setWindowModified);

    // The File commands.
    Commands_ = std::make_unique<DocumentCommands>(Doc_, Backdrop_, *Messages_,
                                                   dialogs != nullptr ? *dialogs : Dialogs_, Recent_);
    DocumentCommands* commands = Commands_.get();
    QObject::connect(frame->Action(CommandFileNew), &QAction::triggered, commands, &DocumentCommands::New);
    QObject::connect(frame->Action(CommandFileOpen), &QAction::triggered, commands, &DocumentCommands::Open);
    QObject::connect(frame->Action(CommandFileSave), &QAction::triggered, commands, &DocumentCommands::Save);
    QObject::connect(frame->Action(CommandFileSaveAs), &QAction::triggered, commands, &DocumentCommands::SaveAs);
    QObject::connect(frame, &CMainFrame::RecentFileChosen, commands, &DocumentCommands::OpenRecent);
    QObject::connect(commands, &DocumentCommands::recentFilesChanged, frame, &CMainFrame::SetRecentFiles);
    frame->SetRecentFiles(Recent_.Files());
    CMapHeadFileView* editor = Editor_;
    Commands_->SetPictureSink([editor](const QString& path) { editor->ProposePicturePath(path); });
    // Unsaved changes are asked about before the frame closes; dropped files open.
    frame->SetCloseGuard([commands] { return commands->MayCloseWindow(); });
    frame->SetDropFilter([commands](const QMimeData* data) { return commands->UsableDroppedFile(data); });
    QObject::connect(frame, &CMainFrame::fileDropped, commands, &DocumentCommands::OpenDropped);

    // Import and export in other formats, and View > Lineup.
    Exchange_ = new ExchangeMenuCommands(Doc_, Backdrop_, *Messages_, dialogs != nullptr ? *dialogs : Dialogs_, frame);
    Exchange_->SetSourcePath([commands] { return commands->SourcePath(); });
    Exchange_->Register(frame->Registry());
    // View > Cabling Order: the line through the windows in the Target view.
    QObject::connect(Exchange_->CablingAction(), &QAction::toggled, Target_, &CRightView::SetCablingShown);
    // What an export wrote goes to the message pane.
    QObject::connect(Exchange_, &ExchangeMenuCommands::wrote, frame,
                     [frame](const QString& text) { frame->SetStatusPaneText(0, text); });
    // A large picture decoding on the worker thread: a busy cursor and the message pane say so.
    QObject::connect(&Backdrop_, &Backdrop::changed, frame, [this, frame](const BackdropChange& change) {
        if (change.What != BackdropChange::Kind::Loading) return;
        if (Backdrop_.PictureLoading()) {
            QGuiApplication::setOverrideCursor(Qt::BusyCursor);
            frame->SetStatusPaneText(0, QStringLiteral("Loading the picture %1 ...")
                                            .arg(QString::fromStdString(Backdrop_.BackgroundPicturePath())));
        } else {
            QGuiApplication::restoreOverrideCursor();
            frame->SetStatusPaneText(0, QStringLiteral("Ready"));
        }
    });
    // Back from another program, perhaps the one that changed the picture: it is looked at again.
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &Backdrop_, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) Backdrop_.SyncBackground();
    });

    // The zoom commands, on the views' zooms; the panel's radio buttons choose the area.
    Zoom_ = new ZoomController(*Original_, *Target_, frame);
    ZoomController* zoom = Zoom_;
    QObject::connect(frame->Action(CommandMagnification), &QAction::triggered, zoom, &ZoomController::Magnification);
    QObject::connect(frame->Action(CommandMinify), &QAction::triggered, zoom, &ZoomController::minify);
    QObject::connect(&Editor_->Head(), &HeadForm::zoomAreaChosen, zoom, &ZoomController::SetArea);
    QObject::connect(zoom, &ZoomController::areaChanged, &Editor_->Head(), &HeadForm::ShowZoomArea);
    Commands_->SetZoomReset([zoom] { zoom->ResetBoth(); });
    // View > Zoom In, Zoom Out and Fit.
    (new ViewZoomCommands(*zoom, frame))->Register(frame->Registry());

    // A video behind the map: File > Open Video..., the transport bar, dropped videos.
    Video_ = new VideoPreview(Doc_, Backdrop_, frame);
    VideoCommands_ =
        new VideoCommands(Doc_, Backdrop_, *Video_, *Messages_, dialogs != nullptr ? *dialogs : Dialogs_, frame);
    VideoCommands_->AddTo(*frame, {Original_, Target_});
    VideoCommands_->SetPictureSink([editor](const QString& path) { editor->ProposePicturePath(path); });
    Commands_->SetVideoSink([this](const QString& path) { VideoCommands_->OpenVideoFile(path); });

    // A live source behind the map: File > Open Source..., Close Source. It and a video take
    // each other's place.
    LiveSources_ = new LiveSourceCommands(Doc_, Backdrop_, *Messages_, frame);
    LiveSources_->AddTo(*frame);
    QObject::connect(LiveSources_, &LiveSourceCommands::aboutToOpen, Video_, &VideoPreview::Close);
    QObject::connect(Video_, &VideoPreview::openChanged, LiveSources_, [this](bool open) {
        if (open) LiveSources_->CloseSource(false);
    });

    // View > Output: the target full screen on a chosen screen, following every change.
    Output_ = new OutputCommands(Doc_, Backdrop_, *Messages_, frame);
    Output_->Register(frame->Registry());
    QObject::connect(Output_, &OutputCommands::statusMessage, frame,
                     [frame](const QString& text) { frame->SetStatusPaneText(0, text); });

    // File > Open Show...: a show's maps to pick from; View > Output then shows all its outputs.
    Show_ = new ShowCommands(*Commands_, *Messages_, dialogs != nullptr ? *dialogs : Dialogs_, frame);
    Show_->Register(frame->Registry());
    QObject::connect(Show_, &ShowCommands::showOpened, Output_, &OutputCommands::SetShow);
}

EditorSession::~EditorSession() {
    Close();
    Commands_.reset();
    // The panes go with the frame, before the document does.
    Frame_.reset();
}

bool EditorSession::OpenStartupMap(const QString& path, bool* refused) {
    if (refused) *refused = false;
    const DocumentOpenResult opened = Doc_.OnOpenDocument(path.toStdString());
    if (!opened) {
        Messages_->Show(opened.Message);
        const QFileInfo file(path);
        const bool readable = file.isFile() && file.isReadable();
        if (refused) *refused = readable;
        return readable;
    }
    Commands_->SetSourcePath(path.toStdString());
    Recent_.Add(path);
    QSettings settings;
    Recent_.Save(settings);
    Frame_->SetRecentFiles(Recent_.Files());
    return true;
}

void EditorSession::InitialUpdate() {
    // The default picture, found once: the backdrop shows it, the panel proposes it for "OK".
    const QString picture = FindDefaultPicture(DefaultPictureFolders());
    if (!picture.isEmpty()) {
        Backdrop_.SetBackgroundPicturePath(picture.toStdString());
        Editor_->ProposePicturePath(picture);
    }
    Original_->OnInitialUpdate();
    Target_->OnInitialUpdate();
    FollowFirstLayout();
    Output_->Restore();
}

void EditorSession::ShowWindowsInViews(const QList<int>& windows) {
    const PlaybackWindows& all = Doc_.GetPlaybackWindows();
    ViewRect original{0, 0, 0, 0}, target{0, 0, 0, 0};
    bool any = false;
    for (const int i : windows) {
        if (i < 0 || i >= static_cast<int>(all.size())) continue;
        const PlaybackWindow& w = all[static_cast<std::size_t>(i)];
        const ViewRect o{w.OriginalStartX, w.OriginalStartY, w.OriginalStartX + w.Width, w.OriginalStartY + w.Height};
        const ViewRect t{w.TargetStartX, w.TargetStartY, w.TargetStartX + w.PlacedWidth,
                         w.TargetStartY + w.PlacedHeight};
        const auto unite = [any](ViewRect& into, const ViewRect& r) {
            into = any ? ViewRect{std::min(into.left, r.left), std::min(into.top, r.top), std::max(into.right, r.right),
                                  std::max(into.bottom, r.bottom)}
                       : r;
        };
        unite(original, o);
        unite(target, t);
        any = true;
    }
    if (!any) return;
    Original_->ScrollPictureRectIntoView(original);
    Target_->ScrollPictureRectIntoView(target);
}

void EditorSession::FollowFirstLayout() {
    CTesselinkView* view = Original_;
    auto* follow = new QObject(view);
    QObject::connect(view, &PictureScrollView::viewportResized, follow,
                     [view, follow, extent = view->ScrollExtent()]() mutable {
                         if (view->ScrollExtent() != extent) {
                             follow->deleteLater();  // a zoom or a map has set its own
                             return;
                         }
                         view->SetScrollExtent(QSize(view->viewport()->width() - 100, 1000));
                         extent = view->ScrollExtent();
                     });
}

void EditorSession::Close() {
    if (Closed_) return;
    Closed_ = true;
    QSettings settings;
    Recent_.Save(settings);
    Output_->Close();
    LiveSources_->CloseSource(false);
    Video_->Close();
    Backdrop_.Free();
    Doc_.OnCloseDocument();
}

}  // namespace tesselink
