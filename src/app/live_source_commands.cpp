// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/live_source_commands.h"

#include <QAction>
#include <QSpinBox>
#include <QSettings>
#include <QTimer>

#include "app/action_registry.h"
#include "app/main_frame.h"
#include "app/menu_places.h"
#include "app/open_source_dialog.h"
#include "document/tesselink_doc.h"
#include "picture/no_signal_card.h"
#include "video/library_log.h"
#include "video/live_source.h"
#include "stage/backdrop.h"

namespace tesselink {

LiveSourceCommands::LiveSourceCommands(CTesselinkDoc& doc, Backdrop& backdrop, MessageBoxes& boxes, QObject* parent)
    : QObject(parent), doc_(doc), backdrop_(backdrop), boxes_(boxes), timer_(new QTimer(this)) {
    // A frame waits at most this long after it is ready, as in the player.
    timer_->setInterval(3);
    connect(timer_, &QTimer::timeout, this, &LiveSourceCommands::Tick);
}

LiveSourceCommands::~LiveSourceCommands() = default;

void LiveSourceCommands::AddTo(CMainFrame& frame) {
    frame_ = &frame;
    ActionRegistry& registry = frame.Registry();
    // After the video block's last item ("Use Frame as Background Picture", order 0).
    const auto item = [&registry](const char* id, const char* text, const char* prompt, int order, bool last) {
        ActionDef def(QString::fromUtf8(id), QString::fromUtf8(text));
        def.StatusTip = QString::fromUtf8(prompt);
        def.Place = MenuPlace{MenuIds::File, FileVideoSection, order, false, last};
        return registry.Add(def);
    };
    open_ = item("openSource", "Open So&urce...",
                 "Show a capture device, a stream or part of the desktop behind the map", 10, false);
    close_ =
        item("closeSource", "&Close Source", "Stop the live source and show the background picture again", 11, true);
    if (open_ != nullptr) connect(open_, &QAction::triggered, this, &LiveSourceCommands::OpenSource);
    if (close_ != nullptr) {
        connect(close_, &QAction::triggered, this, [this] { CloseSource(); });
        close_->setEnabled(false);
    }
}

QString LiveSourceCommands::SourceText() const {
    return source_ ? QString::fromStdString(source_->Address().Text) : QString();
}

void LiveSourceCommands::OpenSource() {
    QSettings settings;
    OpenSourceDialog dialog(ListCaptureDevices(), LiveSourceEnvironment::Current(), frame_);
    // A part of the desktop the size of the original area needs no scaling.
    dialog.WidthBox()->setValue(doc_.GetHead().OriginalWidth);
    dialog.HeightBox()->setValue(doc_.GetHead().OriginalHeight);
    dialog.Propose(IsOpen() ? SourceText() : settings.value(LastSourceKey).toString());
    if (dialog.exec() != QDialog::Accepted) return;
    OpenSourceText(QString::fromStdString(dialog.Address().Text));
}

bool LiveSourceCommands::OpenSourceText(const QString& text) {
    LiveSourceAddress address;
    std::string why;
    if (!ParseLiveSourceAddress(text.toStdString(), LiveSourceEnvironment::Current(), address, &why)) {
        boxes_.Show(ApplicationMessage("Cannot open the source: " + why));
        return false;
    }
    // FFmpeg's complaints about a stream (a packet size it cannot tell) are not the user's lines.
    InstallLibraryLog();
    CloseSource(false);
    emit aboutToOpen();
    const MapFileHead& head = doc_.GetHead();
    originalWidth_ = head.OriginalWidth;
    originalHeight_ = head.OriginalHeight;
    source_ = std::make_unique<LiveSource>(std::move(address), originalWidth_, originalHeight_);
    std::string cardWhy;
    if (!BuildNoSignalCard(card_, originalWidth_, originalHeight_, source_->Address().Text, &cardWhy)) card_.Release();
    signal_ = LiveSignal::Waiting;
    cardShown_ = anyFrame_ = false;
    source_->Start();
    QSettings settings;
    settings.setValue(LastSourceKey, text);
    if (close_ != nullptr) close_->setEnabled(true);
    SetStatus(QStringLiteral("Opening %1 ...").arg(SourceText()));
    ShowCard();
    timer_->start();
    emit openChanged(true);
    return true;
}

void LiveSourceCommands::CloseSource(bool backToPicture) {
    if (!source_) return;
    timer_->stop();
    source_.reset();  // ends its thread
    liveFrame_.reset();
    card_.Free();
    shown_.Free();
    cardShown_ = false;
    if (backToPicture) backdrop_.EndVideoFrames();
    if (close_ != nullptr) close_->setEnabled(false);
    SetStatus(QString());
    emit openChanged(false);
}

void LiveSourceCommands::FollowOriginalSize() {
    const MapFileHead& head = doc_.GetHead();
    if (head.OriginalWidth == originalWidth_ && head.OriginalHeight == originalHeight_) return;
    originalWidth_ = head.OriginalWidth;
    originalHeight_ = head.OriginalHeight;
    source_->SetOriginalSize(originalWidth_, originalHeight_);
    if (!BuildNoSignalCard(card_, originalWidth_, originalHeight_, source_->Address().Text)) card_.Release();
    if (cardShown_) ShowCard();
}

void LiveSourceCommands::ShowCard() {
    cardShown_ = true;
    if (!card_.IsPresent()) return;
    // The backdrop swaps the planes it is given: it gets a copy, the card stays for next time.
    shown_ = card_;
    backdrop_.ShowVideoFrame(shown_);
}

void LiveSourceCommands::Tick() {
    if (!source_) return;
    FollowOriginalSize();
    const LiveSourceStatus status = source_->Status();
    if (source_->TakeFrame(liveFrame_)) {
        // A frame made before the original size changed is not the map's.
        if (liveFrame_->Planes.Width() == originalWidth_ && liveFrame_->Planes.Height() == originalHeight_) {
            backdrop_.ShowVideoFrame(liveFrame_->Planes);  // the previous frame's planes come back for reuse
            cardShown_ = false;
            anyFrame_ = true;
        }
    } else if (status.Signal != LiveSignal::Live && !cardShown_ && (status.Signal == LiveSignal::None || !anyFrame_)) {
        ShowCard();
    }
    if (status.Signal != signal_) {
        signal_ = status.Signal;
        // The lineup stays in front of the source, as of a video: say so, and how to see it.
        const QString hidden = backdrop_.LineupShown()
                                   ? QStringLiteral("; the lineup hides it: turn off View > Lineup (Ctrl+L) to see it")
                                   : QString();
        if (signal_ == LiveSignal::Live)
            SetStatus(QStringLiteral("Live: %1%2").arg(SourceText(), hidden));
        else if (signal_ == LiveSignal::None)
            SetStatus(QStringLiteral("No signal from %1; trying again every second").arg(SourceText()));
    }
}

void LiveSourceCommands::SetStatus(const QString& text) {
    if (frame_ != nullptr) frame_->SetStatusPaneText(0, text);
}

}  // namespace tesselink
