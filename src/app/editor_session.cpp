#include "app/editor_session.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QUndoStack>

#include "app/command_table.h"
#include "app/main_frame.h"
#include "editor/map_head_file_view.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace tesselink {

namespace {

// Calls `onResize` after each resize of the watched widget while it returns true.
class ResizeFollower : public QObject {
public:
    ResizeFollower(QWidget* watched, std::function<bool()> onResize)
        : QObject(watched), OnResize_(std::move(onResize)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize && !OnResize_()) {
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    std::function<bool()> OnResize_;
};

}  // namespace

EditorSession::EditorSession(MessageBoxes* boxes, FileDialogs* dialogs)
    : Messages_(boxes != nullptr ? boxes : &Boxes_), Frame_(std::make_unique<CMainFrame>()) {
    QSettings settings;
    Recent_.Load(settings);

    Editor_ = new CMapHeadFileView(Doc_);
    Original_ = new CTesselinkView(Doc_, *Messages_);
    Target_ = new CRightView(Doc_, *Messages_);
    Editor_->SetDefaultPictureFolders(Original_->DefaultPictureFolders());
    Frame_->CreateClient(Editor_, Original_, Target_);

    CMainFrame* frame = Frame_.get();
    const auto toStatusBar = [frame](int pane, const QString& text) { frame->SetStatusPaneText(pane, text); };
    Original_->SetStatusSink(toStatusBar);
    Target_->SetStatusSink(toStatusBar);

    Boxes_.SetMainWindow(frame);
    Boxes_.SetOwner(MessageOwner::MainWindow, frame);
    Boxes_.SetOwner(MessageOwner::EditorPanel, Editor_);
    Boxes_.SetOwner(MessageOwner::OriginalView, Original_);
    Boxes_.SetOwner(MessageOwner::TargetView, Target_);
    Dialogs_.SetOwner(frame);
    Doc_.SetMessageBoxes(Messages_);
    Editor_->SetMessageBoxes(Messages_);
    Editor_->SetFileDialogs(dialogs != nullptr ? dialogs : &Dialogs_);

    Frame_->CreateEditMenu(&Doc_.UndoStack());
    QObject::connect(&Doc_, &CTesselinkDoc::modifiedChanged, frame, &QWidget::setWindowModified);

    // The File commands.
    Commands_ = std::make_unique<DocumentCommands>(Doc_, *Messages_, dialogs != nullptr ? *dialogs : Dialogs_, Recent_);
    DocumentCommands* commands = Commands_.get();
    QObject::connect(frame->Action(CommandFileNew), &QAction::triggered, commands, &DocumentCommands::New);
    QObject::connect(frame->Action(CommandFileOpen), &QAction::triggered, commands, &DocumentCommands::Open);
    QObject::connect(frame->Action(CommandFileSave), &QAction::triggered, commands, &DocumentCommands::Save);
    QObject::connect(frame->Action(CommandFileSaveAs), &QAction::triggered, commands, &DocumentCommands::SaveAs);
    QObject::connect(frame, &CMainFrame::RecentFileChosen, commands, &DocumentCommands::OpenRecent);
    QObject::connect(commands, &DocumentCommands::recentFilesChanged, frame, &CMainFrame::SetRecentFiles);
    frame->SetRecentFiles(Recent_.Files());
    CMapHeadFileView* editor = Editor_;
    Commands_->SetPictureSink([editor](const QString& path) { editor->PicturePathEdit()->setText(path); });
    Commands_->WatchWindow(frame);
    // A file dropped on the read-only picture field goes to the window, which knows what to do with it.
    Editor_->PicturePathEdit()->setAcceptDrops(false);

    // The zoom commands and the drawing modes.
    QObject::connect(frame->Action(CommandMagnification), &QAction::triggered, &Doc_, &CTesselinkDoc::Magnification);
    QObject::connect(frame->Action(CommandMinify), &QAction::triggered, &Doc_, &CTesselinkDoc::minify);
    for (const int command : DrawingModeCommands()) {
        const DrawingMode mode = DrawingModeOf(command);
        QObject::connect(frame->Action(command), &QAction::triggered, &Doc_,
                         [this, mode] { Doc_.SetAddWindowMode(mode.Armed, mode.MapMode); });
    }
}

EditorSession::~EditorSession() {
    Close();
    Commands_.reset();
    // The panes go with the frame, before the document does.
    Frame_.reset();
    Doc_.SetMessageBoxes(nullptr);
}

bool EditorSession::OpenStartupMap(const QString& path, bool* refused) {
    if (refused) *refused = false;
    if (!Doc_.OnOpenDocument(path.toStdString())) {
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
    Editor_->OnInitialUpdate();
    Original_->OnInitialUpdate();
    Target_->OnInitialUpdate();
    FollowFirstLayout();
}

void EditorSession::FollowFirstLayout() {
    CTesselinkView* view = Original_;
    new ResizeFollower(view->viewport(), [view, extent = view->ScrollExtent()]() mutable {
        if (view->ScrollExtent() != extent) return false;  // a zoom or a map has set its own
        view->SetScrollExtent(QSize(view->viewport()->width() - 100, 1000));
        extent = view->ScrollExtent();
        return true;
    });
}

void EditorSession::Close() {
    if (Closed_) return;
    Closed_ = true;
    QSettings settings;
    Recent_.Save(settings);
    Doc_.OnCloseDocument();
}

}  // namespace tesselink
