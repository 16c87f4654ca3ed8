// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A live source: a capture device, a network stream or a part of the desktop, read with FFmpeg's
// libraries on a thread of its own with as little buffering as the protocol allows. Each decoded
// frame becomes the colour planes of the original area (the crop-or-stretch rule of videos, chosen
// again for every frame, so a stream that changes size is taken as it comes) and waits in a slot
// of one frame, where a newer frame replaces it. A second without a frame is no signal; the
// source then reopens every second until frames come again.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "video/live_source_address.h"
#include "video/live_source_slot.h"
#include "video/live_source_watch.h"

namespace tesselink {

struct LiveSourceStatus {
    LiveSignal Signal = LiveSignal::Waiting;
    std::string Reason;       // why there is no signal; empty while live
    std::string LastRefusal;  // why the last refused frame was refused
    long long Received = 0;   // frames accepted
    long long Dropped = 0;    // accepted frames replaced before they were taken
    long long Refused = 0;    // frames or packets refused one by one (bad size, rate, garbage)
    long long Attempts = 0;   // times the source was opened or tried
    double SourceRate = 0;    // frames per second the stream declares; 0 when unknown
    int SourceWidth = 0;      // of the last accepted frame
    int SourceHeight = 0;
};

class LiveSource {
public:
    // Called on the source's thread when the signal changes, with the reason when it is lost.
    using SignalListener = std::function<void(LiveSignal, const std::string& reason)>;

    LiveSource(LiveSourceAddress address, int originalWidth, int originalHeight);
    ~LiveSource();  // stops the thread
    LiveSource(const LiveSource&) = delete;
    LiveSource& operator=(const LiveSource&) = delete;

    const LiveSourceAddress& Address() const { return address_; }

    // Set before Start().
    void SetSignalListener(SignalListener listener);
    // Starts opening and reading; a source that cannot be opened is retried every second.
    void Start();
    // Ends the thread; blocking reads are interrupted. The destructor calls it.
    void Stop();

    // Frames from now on come at this original size.
    void SetOriginalSize(int originalWidth, int originalHeight);
    // The newest frame since the last call, swapped into `frame` (see LiveFrameSlot::Take).
    bool TakeFrame(std::unique_ptr<LiveFrame>& frame) { return slot_.Take(frame); }

    LiveSourceStatus Status() const;

private:
    struct Session;
    void Run();
    // Reads and decodes an open session until it fails; returns why it ended.
    std::string Read(Session& session);
    bool Open(Session& session, std::string* why);
    // A decoded frame into the slot, or refused.
    void Accept(Session& session);
    void Refuse(const std::string& why);
    void Report(LiveSignal signal, const std::string& reason);
    // No signal for `reason`, told once, while the attempt goes on.
    void MarkSilent(const std::string& reason);
    static int Interrupt(void* opaque);

    const LiveSourceAddress address_;
    SignalListener listener_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    LiveSignalWatch watch_;
    LiveSourceStatus status_;
    int originalWidth_, originalHeight_;

    LiveFrameSlot slot_;
    std::atomic<bool> stopping_{false};
    // The watch's deadline for blocking reads, in steady-clock ticks; read by FFmpeg's callback.
    std::atomic<long long> deadline_{0};
    std::atomic<bool> timedOut_{false};
    std::atomic<bool> waitingForCaller_{false};  // an SRT listener before its sender calls
    std::thread worker_;
};

}  // namespace tesselink
