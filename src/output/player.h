// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shows one source through one or more maps on output windows: a still picture (a picture file,
// the lineup) composed once, or a video decoded once on its own thread and paced at its own
// rate, every output composing its own target from the same frame at the same refresh.

#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QObject>

#include "map/map_model.h"
#include "output/frame_pacer.h"
#include "output/play_statistics.h"
#include "remap/colour_planes.h"
#include "remap/cover.h"
#include "stage/target_composer.h"
#include "video/frame_pump.h"
#include "video/live_source.h"

class QTimer;

namespace tesselink {

class OutputWindow;
class VideoDecoder;

class Player : public QObject {
    Q_OBJECT
public:
    explicit Player(QObject* parent = nullptr);
    ~Player() override;

    // An output: `window` (not owned) shows the target of `map` with `coverMode`. False, with the
    // reason, when the map's cover cannot be built.
    bool AddOutput(const Map& map, CoverMode coverMode, OutputWindow* window, std::string* why);
    int OutputCount() const { return static_cast<int>(outputs_.size()); }
    // Takes an output's window away (its screen is gone); the others go on.
    void RemoveOutput(OutputWindow* window);

    // A still source: its planes of the original area are composed once per output.
    void ShowStill(const ColourPlanes& planes);
    // A still for one output only (the lineup of its own map).
    void ShowStillOn(int output, const ColourPlanes& planes);
    // A video (an open decoder) at its own rate; `loop` starts it again at its end.
    void PlayVideo(std::unique_ptr<VideoDecoder> decoder, int originalWidth, int originalHeight, bool loop);
    // The same with frame n due at `start` + n / rate by the system clock (seconds since the
    // epoch): a player started late joins at the frame due, and one whose clock jumps finds the
    // frame due again at the next frame.
    void PlayVideoOnClock(std::unique_ptr<VideoDecoder> decoder, int originalWidth, int originalHeight, bool loop,
                          double start);
    // A live source: its newest frame at every refresh, and the "No signal" card (naming the
    // source) while it sends nothing; it is opened again every second meanwhile.
    void PlayLive(std::unique_ptr<LiveSource> source, int originalWidth, int originalHeight);
    // Once a second to stderr, one line per output.
    void EnableStatistics(bool on);

    // A decode failed on the way (the last good frame stays).
    bool Failed() const { return failed_; }
    // The source frame last shown (its index in the video; -1 before the first).
    long long ShownFrame() const { return shownFrame_; }

signals:
    // A video that failed reached its end: the player should end with status 1.
    void finished(int status);

private:
    struct Output;
    void Tick();
    void Present(PumpedFrame& frame);
    // Composes `planes` for every output (or for `only`).
    void ComposeAll(const ColourPlanes& planes, Output* only = nullptr);
    // An output lost its surface: the frame on screen again.
    void Represent(OutputWindow* window);
    // The next frame from the pump into `slot`, its time shifted by the loops before; false when
    // none is ready (or the video ended: handled here).
    bool Fetch(std::unique_ptr<PumpedFrame>& slot);
    void Schedule(int milliseconds);
    // On the system clock: ties the pacer to it now, and seeks to the frame due when the frames
    // at hand are more than a second off (a late start, a clock that jumped).
    void FollowClock();
    // The seek to the frame due at `elapsed` seconds after the clock's start.
    void SeekToClock(double elapsed);
    static double SystemSeconds();
    void PrintStatistics();
    void LiveTick();

    std::vector<std::unique_ptr<Output>> outputs_;
    std::unique_ptr<VideoFramePump> pump_;
    VideoInfo info_;
    bool loop_ = false;
    bool ended_ = false;
    bool failed_ = false;
    double loopOffset_ = 0;               // seconds added to the times of this pass through the video
    double lastTime_ = 0;                 // of the last frame fetched, loops included
    std::unique_ptr<PumpedFrame> shown_;  // kept until the next is shown, for repaints
    std::unique_ptr<PumpedFrame> pending_;
    std::unique_ptr<PumpedFrame> next_;
    FramePacer pacer_;
    long long shownFrame_ = -1;
    bool clocked_ = false;
    double clockStart_ = 0;     // seconds since the epoch
    long long passFrames_ = 0;  // frames in one pass of the video, when known
    std::unique_ptr<LiveSource> live_;
    std::unique_ptr<LiveFrame> liveFrame_;  // the live frame on the outputs, kept for repaints
    ColourPlanes card_;                     // the "No signal" card
    bool cardShown_ = false;
    LiveSignal liveSignal_ = LiveSignal::Waiting;  // as last told on stderr
    long long liveDropped_ = 0;                    // the source's drops already counted
    QTimer* timer_ = nullptr;
    QTimer* statsTimer_ = nullptr;
};

}  // namespace tesselink
