// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File > Open Source... and Close Source: a live source behind the map. While it is open its
// newest frame is handed to the backdrop as a video frame every few milliseconds, so that both
// views and the output window show it; while it sends nothing, the "No signal" card stands in.

#include <functional>
#include <memory>
#include <string>

#include <QObject>
#include <QString>

#include "map/message_boxes.h"
#include "remap/colour_planes.h"
#include "video/live_source_watch.h"

class QAction;
class QTimer;
class QWidget;

namespace tesselink {

class CMainFrame;
class Backdrop;
class CTesselinkDoc;
class LiveSource;
struct LiveFrame;

// The setting that remembers the last source opened.
constexpr const char* LastSourceKey = "Live/LastSource";

class LiveSourceCommands : public QObject {
    Q_OBJECT
public:
    LiveSourceCommands(CTesselinkDoc& doc, Backdrop& backdrop, MessageBoxes& boxes, QObject* parent = nullptr);
    ~LiveSourceCommands() override;

    // The two items after "Use Frame as Background Picture"; the status pane 0 messages. Once.
    void AddTo(CMainFrame& frame);

    // Asks for a source (the dialog, starting with the last one opened) and opens it.
    void OpenSource();
    // Opens `text` (a SOURCE as --source takes it) behind the map; an address the rule refuses
    // is reported with its reason and changes nothing. True when opened.
    bool OpenSourceText(const QString& text);
    // Stops the source; `backToPicture` shows the background picture again (false when a video
    // takes its place).
    void CloseSource(bool backToPicture = true);

    bool IsOpen() const { return source_ != nullptr; }
    QString SourceText() const;
    LiveSignal Signal() const { return signal_; }
    // The "No signal" card is what the document shows now.
    bool CardShown() const { return cardShown_; }

    QAction* OpenAction() const { return open_; }
    QAction* CloseAction() const { return close_; }

signals:
    // Before a source starts: whatever else is behind the map gives way.
    void aboutToOpen();
    void openChanged(bool open);

private:
    // Hands the newest frame (or the card) to the backdrop and follows the signal.
    void Tick();
    // Follows a changed original size: the source's frames and the card.
    void FollowOriginalSize();
    void ShowCard();
    void SetStatus(const QString& text);

    CTesselinkDoc& doc_;
    Backdrop& backdrop_;
    MessageBoxes& boxes_;
    CMainFrame* frame_ = nullptr;
    QAction* open_ = nullptr;
    QAction* close_ = nullptr;
    QTimer* timer_ = nullptr;
    std::unique_ptr<LiveSource> source_;
    std::unique_ptr<LiveFrame> liveFrame_;
    ColourPlanes card_;
    ColourPlanes shown_;  // what the backdrop handed back for the card
    bool cardShown_ = false;
    bool anyFrame_ = false;
    LiveSignal signal_ = LiveSignal::Waiting;
    int originalWidth_ = 0;
    int originalHeight_ = 0;
};

}  // namespace tesselink
