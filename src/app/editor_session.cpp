#include "app/editor_session.h"

#include <QSettings>
#include <QUndoStack>

#include "app/main_frame.h"
#include "editor/map_head_file_view.h"
#include "views/original_view.h"
#include "views/target_view.h"

namespace tesselink {

EditorSession::EditorSession() : Frame_(std::make_unique<CMainFrame>()) {
    QSettings settings;
    Recent_.Load(settings);

    Editor_ = new CMapHeadFileView(Doc_);
    Original_ = new CTesselinkView(Doc_, Boxes_);
    Target_ = new CRightView(Doc_, Boxes_);
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
    Doc_.SetMessageBoxes(&Boxes_);
    Dialogs_.SetOwner(frame);
    Editor_->SetMessageBoxes(&Boxes_);
    Editor_->SetFileDialogs(&Dialogs_);

    Frame_->CreateEditMenu(&Doc_.UndoStack());
    QObject::connect(&Doc_, &CTesselinkDoc::modifiedChanged, frame, &QWidget::setWindowModified);
}

EditorSession::~EditorSession() {
    Close();
    // The panes go with the frame, before the document does.
    Frame_.reset();
    Doc_.SetMessageBoxes(nullptr);
}

bool EditorSession::OpenStartupMap(const QString& path) {
    if (!Doc_.OnOpenDocument(path.toStdString())) return false;
    Recent_.Add(path);
    QSettings settings;
    Recent_.Save(settings);
    return true;
}

void EditorSession::InitialUpdate() {
    Editor_->OnInitialUpdate();
    Original_->OnInitialUpdate();
    Target_->OnInitialUpdate();
}

void EditorSession::Close() {
    if (Closed_) return;
    Closed_ = true;
    QSettings settings;
    Recent_.Save(settings);
    Doc_.OnCloseDocument();
}

}  // namespace tesselink
