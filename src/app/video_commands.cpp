// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/video_commands.h"

#include <QAction>
#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSettings>
#include <QToolBar>

#include "app/action_registry.h"
#include "app/main_frame.h"
#include "app/menu_places.h"
#include "app/video_transport_bar.h"
#include "document/tesselink_doc.h"
#include "stage/video_preview.h"
#include "map/safe_write.h"
#include "views/window_editing_view.h"
#include "stage/backdrop.h"

namespace tesselink {

VideoCommands::VideoCommands(CTesselinkDoc& doc, Backdrop& backdrop, VideoPreview& preview, MessageBoxes& boxes,
                             FileDialogs& dialogs, QObject* parent)
    : QObject(parent), doc_(doc), backdrop_(backdrop), preview_(preview), boxes_(boxes), dialogs_(dialogs) {}

void VideoCommands::AddTo(CMainFrame& frame, const QList<WindowEditingView*>& views) {
    frame_ = &frame;
    // In the File menu, in a block of their own before Exit.
    ActionRegistry& registry = frame.Registry();
    const auto item = [&registry](const char* id, const char* text, const char* prompt, bool last) {
        ActionDef def(QString::fromUtf8(id), QString::fromUtf8(text));
        def.StatusTip = QString::fromUtf8(prompt);
        def.Place = MenuPlace{MenuIds::File, FileVideoSection, 0, false, last};
        return registry.Add(def);
    };
    open_ = item("openVideo", "Open &Video...", "Play a video behind the map instead of the background picture", false);
    close_ = item("closeVideo", "Close V&ideo", "Show the background picture again", false);
    still_ = item("frameAsPicture", "Use &Frame as Background Picture",
                  "Write the current frame as PNG and use it as the background picture", true);
    if (open_ != nullptr) connect(open_, &QAction::triggered, this, &VideoCommands::OpenVideo);
    if (close_ != nullptr) connect(close_, &QAction::triggered, this, &VideoCommands::CloseVideo);
    if (still_ != nullptr) connect(still_, &QAction::triggered, this, &VideoCommands::UseFrameAsPicture);

    toolBar_ = new QToolBar(QStringLiteral("Video"), &frame);
    toolBar_->setObjectName("VideoTransport");
    toolBar_->setMovable(false);
    toolBar_->toggleViewAction()->setVisible(false);
    bar_ = new VideoTransportBar(preview_, toolBar_);
    toolBar_->addWidget(bar_);
    frame.addToolBar(Qt::BottomToolBarArea, toolBar_);

    for (WindowEditingView* view : views)
        view->SetTransportKeyHandler([this](const QKeyEvent& key) { return TransportKey(key); });

    connect(&preview_, &VideoPreview::openChanged, this, &VideoCommands::UpdateState);
    connect(&preview_, &VideoPreview::frameShown, this, &VideoCommands::UpdateState);
    connect(&preview_, &VideoPreview::statisticsChanged, &frame, [this](const QString& text) {
        if (!text.isEmpty()) frame_->SetStatusPaneText(0, QStringLiteral("Video: ") + text);
    });
    connect(&preview_, &VideoPreview::failed, this, [this](const QString& why) {
        boxes_.Show(ApplicationMessage("The video stopped: " + preview_.Path() + ": " + why.toStdString()));
    });
    UpdateState();
}

void VideoCommands::UpdateState() {
    const bool open = preview_.IsOpen();
    if (close_ != nullptr) close_->setEnabled(open);
    if (still_ != nullptr) still_->setEnabled(open && preview_.CurrentFrame() >= 0);
    if (toolBar_ != nullptr && toolBar_->isVisibleTo(frame_) != open) toolBar_->setVisible(open);
}

void VideoCommands::OpenVideo() {
    QSettings settings;
    const std::string last = settings.value(LastVideoKey).toString().toStdString();
    const std::string path = dialogs_.AskOpenPath({VideoFileFilter, "", last});
    if (path.empty()) return;
    OpenVideoFile(QString::fromStdString(path));
}

bool VideoCommands::OpenVideoFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::string why;
    if (!preview_.Open(absolute.toStdString(), &why)) {
        boxes_.Show(ApplicationMessage("Cannot use the video " + absolute.toStdString() + ": " + why));
        return false;
    }
    QSettings settings;
    settings.setValue(LastVideoKey, absolute);
    // The lineup stays in front of the video: say so, and how to see the video.
    if (backdrop_.LineupShown() && frame_ != nullptr)
        frame_->SetStatusPaneText(0, QString::fromUtf8(LineupHidesVideoText));
    return true;
}

void VideoCommands::CloseVideo() { preview_.Close(); }

bool VideoCommands::UseFrameAsPicture() {
    if (!preview_.IsOpen() || preview_.CurrentFrame() < 0) return false;
    preview_.Pause();
    const long long index = preview_.CurrentFrame();
    const QFileInfo video(QString::fromStdString(preview_.Path()));
    const QString proposed = video.absolutePath() + "/" + video.completeBaseName() +
                             QStringLiteral("_frame%1.png").arg(index, 6, 10, QLatin1Char('0'));
    const std::string path = dialogs_.AskSavePath({"PNG(*.png)", "png", proposed.toStdString()});
    if (path.empty()) return false;

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QImage frame;
    std::string why;
    QByteArray bytes;
    bool made = preview_.GrabFullFrame(frame, &why);
    if (made) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        made = frame.save(&buffer, "PNG");
        if (!made) why = "the PNG could not be made";
    }
    FileWriteResult written;
    if (made) written = WriteFileSafely(path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    QGuiApplication::restoreOverrideCursor();
    if (!made) {
        boxes_.Show(ApplicationMessage("The frame was not saved: " + why));
        return false;
    }
    if (!written) {
        boxes_.Show(ApplicationMessage("The frame was not saved.\n" + written.Error));
        return false;
    }
    // As "......" and "OK" would: the panel's field and the backdrop's picture.
    const QString absolute = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    if (pictureSink_) pictureSink_(absolute);
    backdrop_.SetBackgroundPicturePath(absolute.toStdString());
    if (frame_ != nullptr)
        frame_->SetStatusPaneText(0, QStringLiteral("Frame %1 is the background picture: %2").arg(index).arg(absolute));
    return true;
}

bool VideoCommands::TransportKey(const QKeyEvent& key) {
    if (!preview_.IsOpen()) return false;
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (key.key()) {
    case Qt::Key_Space:
        if (!key.isAutoRepeat()) preview_.TogglePlay();
        return true;
    case Qt::Key_Comma: preview_.StepBack(); return true;
    case Qt::Key_Period: preview_.StepForward(); return true;
    default: return false;
    }
}

}  // namespace tesselink
